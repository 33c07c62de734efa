// ol7t-render: renders a WAV file, or the built-in demo programme, through the
// OL-7T bundle as a DAW would, then reports levels and gain reduction and can
// plot them.
#include "resources/presets/FactoryPresets.h"
#include "tools/render/DemoProgramme.h"
#include "tools/render/EffectSession.h"
#include "tools/render/LevelAnalysis.h"
#include "tools/render/LevelPlot.h"
#include "tools/render/PluginModule.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;
constexpr double kAnalysisWindowSeconds = 0.02;
// The pilot: a constant on the main input, small enough that the output
// stage's saturation leaves it untouched, so the output over it is the gain.
constexpr double kPilot = 1e-3;
// The pass that measures the effect's gain at rest, with a silent detector.
constexpr double kRestingSeconds = 0.5;

int fail(const std::string& message, int code = kFailure)
{
    std::fprintf(stderr, "ol7t-render: %s\n", message.c_str());
    return code;
}

std::string defaultBundle()
{
    std::error_code ec;
    if (std::filesystem::is_directory(OL7T_DEFAULT_BUNDLE, ec))
        return OL7T_DEFAULT_BUNDLE;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.vst3/OL-7T.vst3";
}

std::string renderOnce(PluginModule& module, const RenderOptions& options, const AudioClip& input,
                       const AudioClip* key, AudioClip& output, const EffectSession::Progress& progress)
{
    Steinberg::IPtr<Steinberg::Vst::IComponent> component;
    if (std::string error = module.createEffect(component); !error.empty())
        return error;
    EffectSession session(component);
    if (std::string error = session.start(input.channelCount(), key != nullptr, input.sampleRate, options.blockSize);
        !error.empty())
        return error;
    session.render(input, key, options.parameters, output, progress);
    return {};
}

// The pilot constant on every channel, as long and as wide as `shape`.
AudioClip pilotLike(const AudioClip& shape, size_t frames)
{
    AudioClip pilot(shape.sampleRate, shape.channelCount(), frames);
    for (std::vector<float>& channel : pilot.channels)
        std::fill(channel.begin(), channel.end(), static_cast<float>(kPilot));
    return pilot;
}

// The effect's own gain reduction over the render, read as any host can read
// it: a second pass in which the detector hears the same material through the
// side-chain input while the main input carries the pilot. The cell then
// moves exactly as in the real render, also through silence, and the output
// over the pilot is its gain; a short pass with a silent detector gives the
// gain at rest, which takes the output gain knob out.
std::string measureReduction(PluginModule& module, const RenderOptions& options, const AudioClip& input,
                             const AudioClip& key, std::vector<float>& reduction, double& restingDb,
                             const EffectSession::Progress& progress)
{
    RenderOptions keyed = options;
    keyed.parameters[PARAM_SIDECH] = 1.0;

    const size_t restingFrames = static_cast<size_t>(kRestingSeconds * input.sampleRate);
    const AudioClip silentKey(input.sampleRate, key.channelCount(), restingFrames);
    AudioClip rested;
    if (std::string error = renderOnce(module, keyed, pilotLike(input, restingFrames), &silentKey, rested, {});
        !error.empty())
        return error;
    const double restingGain = pilotGain(rested, kPilot, restingFrames / 2);
    restingDb = toDb(restingGain);

    AudioClip piloted;
    if (std::string error = renderOnce(module, keyed, pilotLike(input, input.frames()), &key, piloted, progress);
        !error.empty())
        return error;
    reduction = reductionTrace(piloted, kPilot, restingGain);
    return {};
}

std::string describeSettings(const RenderOptions& o, const AudioClip& input)
{
    static const char* kMeters[] = {"gain reduction", "dBFS", "output +4", "output +10"};
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s%s · gain %.2f · peak reduction %.2f · %s · R37 %.2f · memory %s · side chain %s · "
                  "meter %s · %d Hz · block %d",
                  o.presetName.empty() ? "" : ("preset " + o.presetName + " · ").c_str(),
                  o.parameters[PARAM_ENABLE] > 0.5 ? "on" : "bypassed", o.parameters[PARAM_GAIN],
                  o.parameters[PARAM_PEAKRED], o.parameters[PARAM_LIMITMODE] > 0.5 ? "limit" : "compress",
                  o.parameters[PARAM_R37], o.parameters[PARAM_MEMORY] > 0.5 ? "fast" : "classic",
                  o.parameters[PARAM_SIDECH] > 0.5 ? "on" : "off",
                  kMeters[static_cast<int>(static_cast<float>(o.parameters[PARAM_METERSEL]) * 3.f)], input.sampleRate,
                  o.blockSize);
    return text;
}

std::string dbText(double db)
{
    char text[32];
    if (std::isfinite(db))
        std::snprintf(text, sizeof text, "%7.1f dBFS", db);
    else
        std::snprintf(text, sizeof text, "   -inf dBFS");
    return text;
}

void printSummary(const std::string& name, const AudioClip& input, const std::string& outputPath,
                  const LevelSummary& s, double restingDb)
{
    std::printf("%s (%.1f s, %d Hz, %s) -> %s\n", name.c_str(), input.seconds(), input.sampleRate,
                input.channelCount() == 1 ? "mono" : "stereo", outputPath.c_str());
    std::printf("            peak          RMS\n");
    std::printf("  input  %s  %s\n", dbText(s.inputPeakDb).c_str(), dbText(s.inputRmsDb).c_str());
    std::printf("  output %s  %s\n", dbText(s.outputPeakDb).c_str(), dbText(s.outputRmsDb).c_str());
    if (!std::isfinite(restingDb) || !s.reductionKnown) {
        std::printf("  gain reduction unknown: the effect's output tells nothing\n");
        return;
    }
    std::printf("  resting gain %+.1f dB (the effect's gain while it does not reduce)\n", restingDb);
    // The cell's faint coloration at rest can read as a hair below zero.
    std::printf("  gain reduction: largest %.1f dB at %.2f s, average %.1f dB\n", std::max(0.0, s.largestReductionDb),
                s.largestReductionSeconds, std::max(0.0, s.averageReductionDb));
}

void printPresets()
{
    std::printf("%-22s %5s %5s %-8s %5s %-7s  %s\n", "preset", "gain", "peak", "mode", "R37", "memory", "purpose");
    for (const FactoryPreset& p : factoryPresets())
        std::printf("%-22s %5.2f %5.2f %-8s %5.2f %-7s  %s\n", p.name, p.values[PARAM_GAIN], p.values[PARAM_PEAKRED],
                    p.values[PARAM_LIMITMODE] > 0.5f ? "limit" : "compress", p.values[PARAM_R37],
                    p.values[PARAM_MEMORY] > 0.5f ? "fast" : "classic", p.purpose);
}

int run(const std::vector<std::string>& args)
{
    RenderOptions options;
    if (std::string error = parseRenderOptions(args, options); !error.empty())
        return fail(error, kUsageError);
    if (options.help) {
        std::fputs(renderUsage(), stdout);
        return 0;
    }
    if (options.listPresets) {
        printPresets();
        return 0;
    }
    // An offline tool must never wait on a dialog the plug-in might raise.
    // (putenv exists on both platforms; the literal outlives the process's use of it.)
    static char quietMessageBoxes[] = "OL7T_MESSAGEBOX=stderr";
    if (!std::getenv("OL7T_MESSAGEBOX"))
        putenv(quietMessageBoxes);

    AudioClip input;
    std::string name = "demo programme";
    if (options.inputPath.empty())
        input = makeDemoProgramme(options.demoRate, options.demoSeconds);
    else if (std::string error = readWavFile(options.inputPath, input); !error.empty())
        return fail(error);
    else
        name = std::filesystem::path(options.inputPath).filename().string();

    AudioClip key;
    const bool sideChain = !options.sideChainPath.empty();
    if (sideChain) {
        if (std::string error = readWavFile(options.sideChainPath, key); !error.empty())
            return fail(error);
        if (key.sampleRate != input.sampleRate)
            return fail("the side-chain file runs at " + std::to_string(key.sampleRate) + " Hz, the input at " +
                        std::to_string(input.sampleRate) + " Hz");
    }

    PluginModule module;
    if (std::string error = module.open(options.bundlePath.empty() ? defaultBundle() : options.bundlePath);
        !error.empty())
        return fail(error);

    AudioClip output;
    {
        ProgressBar bar("rendering", !options.quiet);
        const auto progress = [&bar](double fraction) { bar.update(fraction); };
        if (std::string error = renderOnce(module, options, input, sideChain ? &key : nullptr, output, progress);
            !error.empty())
            return fail(error);
    }
    if (std::string error = writeWavFile(options.outputPath, output); !error.empty())
        return fail(error);

    double restingDb = 0;
    std::vector<float> reduction;
    {
        ProgressBar bar("measuring the gain reduction", !options.quiet);
        const auto progress = [&bar](double fraction) { bar.update(fraction); };
        if (std::string error =
                measureReduction(module, options, input, sideChain ? key : input, reduction, restingDb, progress);
            !error.empty())
            return fail(error);
    }
    const LevelSummary summary = analyseLevels(input, output, reduction, kAnalysisWindowSeconds);
    if (!options.quiet)
        printSummary(name, input, options.outputPath, summary, restingDb);
    const std::vector<std::string> warnings = renderWarnings(summary);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "ol7t-render: WARNING: %s\n", warning.c_str());
    if (!options.plotPath.empty()) {
        const PlotLabels labels{"OL-7T Leveling Amplifier: " + name, describeSettings(options, input)};
        if (std::string error = writeLevelPlot(options.plotPath, summary, input.seconds(), labels); !error.empty())
            return fail(error);
    }
    return summary.outputNotFinite > 0 ? kFailure : 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        // Only allocation can throw here: a file too large for memory.
        return fail(std::string("out of memory: ") + e.what());
    }
}
