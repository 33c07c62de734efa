// The render tool run as a user runs it: its gain reduction is the model's,
// held through a pause; it warns when the effect silences audible input; and
// the README's preset table gives what a render of each preset reports now.
#include "resources/presets/FactoryPresets.h"
#include "tools/render/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <fstream>
#include <map>
#include <regex>

namespace {

// Printed with one decimal, so a difference up to the rounding is agreement.
constexpr double kToleranceDb = 0.06;

struct Reduction
{
    double average = -1;
    double largest = -1;
};

std::map<std::string, Reduction> readmeTable()
{
    std::ifstream in(OL7T_README);
    std::map<std::string, Reduction> rows;
    const std::regex row(R"(^\| ([^|]+) \| [^|]+ \| ([0-9.]+) dB \| ([0-9.]+) dB \|$)");
    std::smatch m;
    for (std::string line; std::getline(in, line);)
        if (std::regex_match(line, m, row))
            rows[m[1]] = {std::stod(m[2]), std::stod(m[3])};
    return rows;
}

// The tool's summary and warnings for the given arguments.
std::string runRender(const std::string& arguments)
{
    const std::string command =
        std::string("'") + OL7T_RENDER + "' " + arguments + " -o '" + testing::TempDir() + "render-run.wav' 2>&1";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

Reduction reductionOf(const std::string& summary)
{
    std::smatch m;
    Reduction r;
    if (std::regex_search(summary, m, std::regex(R"(largest ([0-9.]+) dB at [0-9.]+ s, average ([0-9.]+) dB)")))
        r = {std::stod(m[2]), std::stod(m[1])};
    return r;
}

// A stereo file of a 1 kHz sine for `toneSeconds`, then silence.
std::string toneThenSilence(double amplitude, double toneSeconds, double silenceSeconds)
{
    constexpr int kRate = 44100;
    const auto toneFrames = static_cast<size_t>(toneSeconds * kRate);
    AudioClip clip(kRate, 2, toneFrames + static_cast<size_t>(silenceSeconds * kRate));
    for (std::vector<float>& channel : clip.channels)
        for (size_t i = 0; i < toneFrames; ++i)
            channel[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * 1000.0 * i / kRate));
    const std::string path = testing::TempDir() + "render-run-tone.wav";
    return writeWavFile(path, clip).empty() ? path : std::string();
}

TEST(RenderRun, ReductionIsTheCellsOwnAndLastsThroughAPause)
{
    // One second of a loud tone pulls the cell to about 0.28 (11 dB); the
    // eight seconds of silence after it average well above zero, as the cell
    // recovers slowly, where a level ratio would show nothing.
    const std::string tone = toneThenSilence(0.5, 1.0, 0.0);
    ASSERT_FALSE(tone.empty());
    EXPECT_NEAR(reductionOf(runRender("'" + tone + "'")).largest, 11.0, 0.3);
    const std::string paused = toneThenSilence(0.5, 1.0, 8.0);
    const Reduction r = reductionOf(runRender("'" + paused + "'"));
    EXPECT_NEAR(r.largest, 11.0, 0.3);
    EXPECT_GT(r.average, 1.0);
}

TEST(RenderRun, WarnsWhenTheEffectSilencesAudibleInput)
{
    EXPECT_NE(runRender("--seconds 1 --gain 0").find("WARNING: the output is silent"), std::string::npos);
    EXPECT_EQ(runRender("--seconds 1").find("WARNING"), std::string::npos);
}

TEST(ReadmePresetTable, ListsEveryPresetWithTheReductionARenderGives)
{
    const std::map<std::string, Reduction> table = readmeTable();
    EXPECT_EQ(table.size(), factoryPresets().size());
    for (const FactoryPreset& preset : factoryPresets()) {
        SCOPED_TRACE(preset.name);
        ASSERT_EQ(table.count(preset.name), 1u);
        const Reduction rendered = reductionOf(runRender("--preset '" + std::string(preset.name) + "'"));
        EXPECT_NEAR(rendered.average, table.at(preset.name).average, kToleranceDb);
        EXPECT_NEAR(rendered.largest, table.at(preset.name).largest, kToleranceDb);
    }
}

} // namespace
