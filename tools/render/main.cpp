// ol7t-render: renders a WAV file, or the built-in demo programme, through the
// OL-7T bundle as a DAW would, then reports levels and gain reduction and can
// plot them.
#include "tools/render/DemoProgramme.h"
#include "tools/render/EffectSession.h"
#include "tools/render/LevelAnalysis.h"
#include "tools/render/LevelPlot.h"
#include "tools/render/PluginModule.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/WavFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <numbers>

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;
constexpr double kAnalysisWindowSeconds = 0.02;
// The probe that measures the effect's gain at rest: a tone far below any
// threshold the peak reduction can set, long enough for the effect to settle.
constexpr double kProbeDb = -80.0;
constexpr double kProbeHz = 1000.0;
constexpr double kProbeSeconds = 0.5;

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
    // An installed tool (<prefix>/bin) renders through the bundle installed
    // with it (<prefix>/lib/vst3), as the package lays them out.
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path beside = tool.parent_path().parent_path() / "lib/vst3/OL-7T.vst3";
    if (!ec && std::filesystem::is_directory(beside, ec))
        return beside.string();
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

// The effect's gain with these settings while it does not reduce, in dB.
std::string measureRestingGain(PluginModule& module, const RenderOptions& options, const AudioClip& input,
                               bool sideChain, double& restingDb)
{
    const size_t frames = static_cast<size_t>(kProbeSeconds * input.sampleRate);
    AudioClip probe(input.sampleRate, input.channelCount(), frames);
    const double amplitude = std::pow(10.0, kProbeDb / 20.0);
    const double step = 2.0 * std::numbers::pi * kProbeHz / input.sampleRate;
    for (std::vector<float>& channel : probe.channels)
        for (size_t i = 0; i < frames; ++i)
            channel[i] = static_cast<float>(amplitude * std::sin(step * static_cast<double>(i)));
    const AudioClip silentKey(input.sampleRate, 1, frames);
    AudioClip probed;
    if (std::string error = renderOnce(module, options, probe, sideChain ? &silentKey : nullptr, probed, {});
        !error.empty())
        return error;
    restingDb = restingGainDb(probe, probed, frames / 2);
    return {};
}

std::string describeSettings(const RenderOptions& o, const AudioClip& input)
{
    static const char* kMeters[] = {"gain reduction", "dBFS", "output +4", "output +10"};
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s · gain %.2f · peak reduction %.2f · %s · R37 %.2f · memory %s · side chain %s · meter %s · "
                  "%d Hz · block %d",
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
    std::printf("  resting gain %+.1f dB (the effect's gain while it does not reduce)\n", restingDb);
    if (s.largestReductionDb > 0.0)
        std::printf("  largest gain reduction %.1f dB at %.2f s\n", s.largestReductionDb, s.largestReductionSeconds);
    else
        std::printf("  no gain reduction\n");
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
    // An offline tool must never wait on a dialog the plug-in might raise.
    setenv("OL7T_MESSAGEBOX", "stderr", 0);

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
    if (std::string error = measureRestingGain(module, options, input, sideChain, restingDb); !error.empty())
        return fail(error);
    const LevelSummary summary = analyseLevels(input, output, restingDb, kAnalysisWindowSeconds);
    if (!options.quiet)
        printSummary(name, input, options.outputPath, summary, restingDb);
    if (!options.plotPath.empty()) {
        const PlotLabels labels{"OL-7T Leveling Amplifier: " + name, describeSettings(options, input)};
        if (std::string error = writeLevelPlot(options.plotPath, summary, input.seconds(), labels); !error.empty())
            return fail(error);
    }
    return 0;
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
