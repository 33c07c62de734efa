// The README's preset table against the render tool: every factory preset is
// listed, and its average and largest gain reduction on the demo programme
// are what a render of it reports now.
#include "resources/presets/FactoryPresets.h"

#include <gtest/gtest.h>

#include <cstdio>
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

Reduction render(const std::string& preset)
{
    const std::string command = std::string("'") + OL7T_RENDER + "' --preset '" + preset + "' -o '" +
                                testing::TempDir() + "readme-preset.wav' 2>&1";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    std::smatch m;
    Reduction r;
    if (std::regex_search(text, m, std::regex(R"(largest ([0-9.]+) dB at [0-9.]+ s, average ([0-9.]+) dB)")))
        r = {std::stod(m[2]), std::stod(m[1])};
    return r;
}

TEST(ReadmePresetTable, ListsEveryPresetWithTheReductionARenderGives)
{
    const std::map<std::string, Reduction> table = readmeTable();
    EXPECT_EQ(table.size(), factoryPresets().size());
    for (const FactoryPreset& preset : factoryPresets()) {
        SCOPED_TRACE(preset.name);
        ASSERT_EQ(table.count(preset.name), 1u);
        const Reduction rendered = render(preset.name);
        EXPECT_NEAR(rendered.average, table.at(preset.name).average, kToleranceDb);
        EXPECT_NEAR(rendered.largest, table.at(preset.name).largest, kToleranceDb);
    }
}

} // namespace
