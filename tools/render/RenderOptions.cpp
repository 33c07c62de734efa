// Command-line parsing for the render tool: every option is checked here, so
// the rest of the tool only sees values it can use.
#include "tools/render/RenderOptions.h"

#include "resources/presets/FactoryPresets.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

constexpr int kMaxBlockSize = 65536;
constexpr int kMinDemoRate = 8000;
constexpr int kMaxDemoRate = 384000;
constexpr double kMaxDemoSeconds = 3600.0;

std::optional<double> toNumber(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || last != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> toInteger(std::string_view text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || last != end)
        return std::nullopt;
    return value;
}

struct NamedValue
{
    const char* name;
    double value;
};

constexpr NamedValue kMeterChoices[] = {
    {"gr", 0.0}, {"dbfs", 1.0 / 3.0}, {"output4", 2.0 / 3.0}, {"output10", 1.0}};
constexpr NamedValue kMemoryChoices[] = {{"classic", 0.0}, {"fast", 1.0}};

// Walks the argument list; each handler consumes its option's value, if any.
class Parser
{
public:
    Parser(const std::vector<std::string>& args, RenderOptions& options)
        : args(args), options(options)
    {
    }

    std::string run()
    {
        for (index = 0; index < args.size() && error.empty(); ++index)
            parseOne(args[index]);
        if (error.empty() && !options.help && !options.listPresets)
            checkCombination();
        return error;
    }

private:
    void parseOne(const std::string& arg)
    {
        if (arg.size() < 2 || arg[0] != '-') {
            positional(arg);
            return;
        }
        std::string name = arg;
        const size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        } else {
            inlineValue.reset();
        }
        option(name);
        if (error.empty() && inlineValue && !valueTaken)
            fail("option '" + name + "' takes no value");
        valueTaken = false;
    }

    void positional(const std::string& arg)
    {
        if (!options.inputPath.empty())
            fail("more than one input file given ('" + options.inputPath + "' and '" + arg + "')");
        else
            options.inputPath = arg;
    }

    void option(const std::string& name)
    {
        if (name == "-h" || name == "--help")
            options.help = true;
        else if (name == "-o" || name == "--output")
            takeText(name, options.outputPath);
        else if (name == "--bundle")
            takeText(name, options.bundlePath);
        else if (name == "--sidechain") {
            takeText(name, options.sideChainPath);
            options.parameters[PARAM_SIDECH] = 1.0;
        } else if (name == "--plot")
            takeText(name, options.plotPath);
        else if (name == "--gain")
            takeUnit(name, options.parameters[PARAM_GAIN]);
        else if (name == "--peak-reduction")
            takeUnit(name, options.parameters[PARAM_PEAKRED]);
        else if (name == "--r37")
            takeUnit(name, options.parameters[PARAM_R37]);
        else if (name == "--limit")
            options.parameters[PARAM_LIMITMODE] = 1.0;
        else if (name == "--compress")
            options.parameters[PARAM_LIMITMODE] = 0.0;
        else if (name == "--bypass")
            options.parameters[PARAM_ENABLE] = 0.0;
        else if (name == "--memory")
            takeChoice(name, kMemoryChoices, options.parameters[PARAM_MEMORY]);
        else if (name == "--meter")
            takeChoice(name, kMeterChoices, options.parameters[PARAM_METERSEL]);
        else if (name == "--block")
            takeInteger(name, 1, kMaxBlockSize, options.blockSize);
        else if (name == "--rate") {
            takeInteger(name, kMinDemoRate, kMaxDemoRate, options.demoRate);
            demoOption = name;
        } else if (name == "--seconds") {
            takeSeconds(name);
            demoOption = name;
        } else if (name == "--preset")
            takePreset(name);
        else if (name == "--list-presets")
            options.listPresets = true;
        else if (name == "-q" || name == "--quiet")
            options.quiet = true;
        else
            fail("unknown option '" + name + "' (see --help)");
    }

    std::optional<std::string> value(const std::string& name)
    {
        valueTaken = true;
        if (inlineValue)
            return inlineValue;
        if (index + 1 >= args.size()) {
            fail("option '" + name + "' needs a value");
            return std::nullopt;
        }
        return args[++index];
    }

    void takeText(const std::string& name, std::string& out)
    {
        const auto text = value(name);
        if (!text)
            return;
        if (text->empty())
            fail("option '" + name + "' needs a non-empty value");
        else
            out = *text;
    }

    void takeUnit(const std::string& name, double& out)
    {
        const auto text = value(name);
        if (!text)
            return;
        const auto number = toNumber(*text);
        if (!number || *number < 0.0 || *number > 1.0)
            fail("option '" + name + "' needs a number from 0 to 1, not '" + *text + "'");
        else
            out = *number;
    }

    void takeInteger(const std::string& name, int lowest, int highest, int& out)
    {
        const auto text = value(name);
        if (!text)
            return;
        const auto number = toInteger(*text);
        if (!number || *number < lowest || *number > highest)
            fail("option '" + name + "' needs a whole number from " + std::to_string(lowest) + " to " +
                 std::to_string(highest) + ", not '" + *text + "'");
        else
            out = *number;
    }

    void takeSeconds(const std::string& name)
    {
        const auto text = value(name);
        if (!text)
            return;
        const auto number = toNumber(*text);
        if (!number || *number <= 0.0 || *number > kMaxDemoSeconds)
            fail("option '" + name + "' needs a duration above 0 and up to 3600 seconds, not '" + *text + "'");
        else
            options.demoSeconds = *number;
    }

    // A preset sets all eight values where it stands: options after it change them.
    void takePreset(const std::string& name)
    {
        const auto text = value(name);
        if (!text)
            return;
        const FactoryPreset* preset = findFactoryPreset(*text);
        if (!preset) {
            fail("no factory preset named '" + *text + "' (see --list-presets)");
            return;
        }
        options.presetName = preset->name;
        for (uint32_t id = 0; id < PARAM_COUNT; ++id)
            options.parameters[id] = preset->values[id];
    }

    template <size_t N>
    void takeChoice(const std::string& name, const NamedValue (&choices)[N], double& out)
    {
        const auto text = value(name);
        if (!text)
            return;
        std::string names;
        for (const NamedValue& choice : choices) {
            if (*text == choice.name) {
                out = choice.value;
                return;
            }
            names += names.empty() ? choice.name : std::string("|") + choice.name;
        }
        fail("option '" + name + "' needs one of " + names + ", not '" + *text + "'");
    }

    void checkCombination()
    {
        if (options.outputPath.empty())
            fail("no output file given (-o output.wav)");
        else if (!options.inputPath.empty() && !demoOption.empty())
            fail("option '" + demoOption + "' applies to the demo programme only, not to an input file");
    }

    void fail(const std::string& message)
    {
        if (error.empty())
            error = message;
    }

    const std::vector<std::string>& args;
    RenderOptions& options;
    size_t index = 0;
    std::optional<std::string> inlineValue;
    bool valueTaken = false;
    std::string demoOption;
    std::string error;
};

} // namespace

RenderOptions::RenderOptions()
{
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        parameters[id] = kParameterDescriptions[id].defaultValue;
}

std::string parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options)
{
    return Parser(args, options).run();
}

const char* renderUsage()
{
    return R"(usage: ol7t-render [options] [input.wav] -o output.wav

Renders a mono or stereo WAV file through the OL-7T Leveling Amplifier, loaded
from its VST 3 bundle as a host loads it. Without an input file it renders a
built-in demo programme (speech, drums, a swelling tone, silence).

  -o, --output FILE        the rendered file (32-bit float WAV, so levels above
                           full scale survive)
  --bundle PATH            the OL-7T.vst3 bundle to load (default: the build
                           tree's bundle, else ~/.vst3/OL-7T.vst3)
  --gain X                 output gain, 0 to 1 (default 0.4)
  --peak-reduction X       peak reduction, 0 to 1 (default 0.5)
  --limit | --compress     limit or compress mode (default compress)
  --r37 X                  the R37 detector trim, 0 to 1 (default 0.5)
  --memory classic|fast    release memory (default classic)
  --meter gr|dbfs|output4|output10
                           meter selector (default gr)
  --preset NAME            start from a factory preset (any case; options after
                           it change its values)
  --list-presets           the factory presets with their values and purpose
  --bypass                 switch the effect off (output equals input)
  --sidechain FILE         feed the detector from this WAV (same rate; it is
                           cut or padded with silence to the input's length)
  --block N                samples per processing block, 1 to 65536 (default 512)
  --plot FILE              write a PNG plot of input level, output level and
                           gain reduction over time
  --rate HZ                sample rate of the demo programme (default 48000)
  --seconds N              length of the demo programme (default 20)
  -q, --quiet              no progress bar and no summary
  -h, --help               this text

The summary gives peak and RMS levels in and out (dBFS) and the largest and
average gain reduction. Gain reduction is the effect's own: a second pass feeds
the same material to the detector through the side-chain input and a small
constant to the main input, so the output over that constant is the optical
cell's gain, sample by sample and also through silence; a short pass with a
silent detector gives the gain at rest, which takes the gain knob out. The
summary warns when the output is silent or not finite while the input is not.
)";
}
