// The render tool's command line: values reach the effect's parameters as
// normalized numbers, and every bad argument is refused with a message.
#include "tools/render/RenderOptions.h"

#include "resources/presets/FactoryPresets.h"

#include <gtest/gtest.h>

namespace {

struct Parsed
{
    RenderOptions options;
    std::string error;
};

Parsed parse(std::vector<std::string> args)
{
    Parsed p;
    p.error = parseRenderOptions(args, p.options);
    return p;
}

TEST(RenderOptions, WithoutSettingsTheEffectKeepsItsDefaults)
{
    const Parsed p = parse({"-o", "out.wav"});
    ASSERT_EQ(p.error, "");
    const double defaults[PARAM_COUNT] = {1.0, 0.4, 0.5, 0.0, 0.5, 0.0, 0.0, 0.0};
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        EXPECT_EQ(p.options.parameters[id], defaults[id]) << "parameter " << id;
    EXPECT_EQ(p.options.inputPath, "");
    EXPECT_EQ(p.options.outputPath, "out.wav");
    EXPECT_EQ(p.options.blockSize, 512);
    EXPECT_EQ(p.options.demoRate, 48000);
    EXPECT_FALSE(p.options.quiet);
}

TEST(RenderOptions, EverySettingReachesItsParameter)
{
    const Parsed p = parse({"--gain", "0.5", "--peak-reduction=0.7", "--limit", "--r37", "0.3", "--memory", "fast",
                            "--meter", "output4", "--sidechain", "key.wav", "--block", "64", "--plot", "p.png",
                            "--bundle", "/b/OL-7T.vst3", "-q", "in.wav", "-o", "out.wav"});
    ASSERT_EQ(p.error, "");
    const RenderOptions& o = p.options;
    EXPECT_EQ(o.parameters[PARAM_ENABLE], 1.0);
    EXPECT_EQ(o.parameters[PARAM_GAIN], 0.5);
    EXPECT_EQ(o.parameters[PARAM_PEAKRED], 0.7);
    EXPECT_EQ(o.parameters[PARAM_LIMITMODE], 1.0);
    EXPECT_EQ(o.parameters[PARAM_R37], 0.3);
    EXPECT_EQ(o.parameters[PARAM_MEMORY], 1.0);
    EXPECT_DOUBLE_EQ(o.parameters[PARAM_METERSEL], 2.0 / 3.0);
    EXPECT_EQ(o.parameters[PARAM_SIDECH], 1.0);
    EXPECT_EQ(o.sideChainPath, "key.wav");
    EXPECT_EQ(o.blockSize, 64);
    EXPECT_EQ(o.plotPath, "p.png");
    EXPECT_EQ(o.bundlePath, "/b/OL-7T.vst3");
    EXPECT_EQ(o.inputPath, "in.wav");
    EXPECT_TRUE(o.quiet);
}

TEST(RenderOptions, SwitchesAndChoicesGiveTheirValues)
{
    const struct
    {
        std::vector<std::string> args;
        ParameterId id;
        double value;
    } cases[] = {
        {{"--meter", "gr"}, PARAM_METERSEL, 0.0},
        {{"--meter", "dbfs"}, PARAM_METERSEL, 1.0 / 3.0},
        {{"--meter", "output4"}, PARAM_METERSEL, 2.0 / 3.0},
        {{"--meter", "output10"}, PARAM_METERSEL, 1.0},
        {{"--memory", "classic"}, PARAM_MEMORY, 0.0},
        {{"--memory=fast"}, PARAM_MEMORY, 1.0},
        {{"--limit", "--compress"}, PARAM_LIMITMODE, 0.0},
        {{"--compress", "--limit"}, PARAM_LIMITMODE, 1.0},
        {{"--bypass"}, PARAM_ENABLE, 0.0},
        {{"--gain", "0"}, PARAM_GAIN, 0.0},
        {{"--gain", "1"}, PARAM_GAIN, 1.0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", "out.wav"});
        const Parsed p = parse(args);
        ASSERT_EQ(p.error, "") << c.args[0];
        EXPECT_DOUBLE_EQ(p.options.parameters[c.id], c.value) << c.args[0];
    }
}

TEST(RenderOptions, DemoLengthAndRateAreSettableForTheDemoOnly)
{
    const Parsed demo = parse({"--rate", "44100", "--seconds", "2.5", "-o", "out.wav"});
    ASSERT_EQ(demo.error, "");
    EXPECT_EQ(demo.options.demoRate, 44100);
    EXPECT_EQ(demo.options.demoSeconds, 2.5);

    EXPECT_NE(parse({"in.wav", "--rate", "44100", "-o", "out.wav"}).error, "");
    EXPECT_NE(parse({"--seconds", "3", "in.wav", "-o", "out.wav"}).error, "");
}

TEST(RenderOptions, HelpAndThePresetListNeedNoOutput)
{
    const Parsed p = parse({"--help"});
    EXPECT_EQ(p.error, "");
    EXPECT_TRUE(p.options.help);
    const Parsed list = parse({"--list-presets"});
    EXPECT_EQ(list.error, "");
    EXPECT_TRUE(list.options.listPresets);
}

TEST(RenderOptions, APresetSetsEveryValueAndLaterOptionsChangeThem)
{
    const Parsed p = parse({"--gain", "0.9", "--preset", "drum BUS", "--r37", "0.1", "-o", "o.wav"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.presetName, "Drum Bus");
    const FactoryPreset* drums = findFactoryPreset("Drum Bus");
    ASSERT_NE(drums, nullptr);
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        EXPECT_EQ(p.options.parameters[id], id == PARAM_R37 ? 0.1 : drums->values[id]) << "parameter " << id;
}

TEST(RenderOptions, BadArgumentsAreRefusedWithAMessageNamingThem)
{
    const struct
    {
        std::vector<std::string> args;
        const char* mentions;
    } cases[] = {
        {{"--loud", "-o", "o.wav"}, "--loud"},
        {{"-x", "-o", "o.wav"}, "-x"},
        {{"-o", "o.wav", "--gain"}, "needs a value"},
        {{"-o"}, "needs a value"},
        {{"--gain", "1.5", "-o", "o.wav"}, "1.5"},
        {{"--gain", "-0.1", "-o", "o.wav"}, "-0.1"},
        {{"--peak-reduction", "half", "-o", "o.wav"}, "half"},
        {{"--r37", "nan", "-o", "o.wav"}, "nan"},
        {{"--r37", "inf", "-o", "o.wav"}, "inf"},
        {{"--gain", "0.5x", "-o", "o.wav"}, "0.5x"},
        {{"--gain", "", "-o", "o.wav"}, "--gain"},
        {{"--block", "0", "-o", "o.wav"}, "--block"},
        {{"--block", "65537", "-o", "o.wav"}, "65537"},
        {{"--block", "1.5", "-o", "o.wav"}, "1.5"},
        {{"--block", "99999999999999999999", "-o", "o.wav"}, "--block"},
        {{"--rate", "100", "-o", "o.wav"}, "--rate"},
        {{"--seconds", "0", "-o", "o.wav"}, "--seconds"},
        {{"--seconds", "-3", "-o", "o.wav"}, "--seconds"},
        {{"--memory", "slow", "-o", "o.wav"}, "classic|fast"},
        {{"--meter", "vu", "-o", "o.wav"}, "gr|dbfs|output4|output10"},
        {{"--limit=1", "-o", "o.wav"}, "takes no value"},
        {{"--sidechain", "", "-o", "o.wav"}, "--sidechain"},
        {{"a.wav", "b.wav", "-o", "o.wav"}, "b.wav"},
        {{"in.wav"}, "no output"},
        {{}, "no output"},
        {{"-o", ""}, "-o"},
        {{"--preset", "Loud", "-o", "o.wav"}, "Loud"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_NE(p.error.find(c.mentions), std::string::npos)
            << "args starting " << (c.args.empty() ? "(none)" : c.args[0]) << " gave: '" << p.error << "'";
        EXPECT_EQ(p.error.find('\n'), std::string::npos);
    }
}

} // namespace
