// The eight parameters: registration, the values they map to, and the texts
// a host shows for them.
#include "EffectFixture.h"

#include "pal/DebugTrace.h"
#include "pluginterfaces/base/ustring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

using namespace testing_support;
using namespace Steinberg::Vst;

namespace {

std::string textFor(ol7t& e, uint32_t id, double value, tresult expected = kResultOk)
{
    String128 s;
    Steinberg::UString(s, 128).fromAscii("untouched");
    EXPECT_EQ(e.getParamStringByValue(id, value, s), expected) << "id " << id << " value " << value;
    char ascii[128];
    Steinberg::UString(s, 128).toAscii(ascii, 128);
    return ascii;
}

TEST(ParameterSet, RegistersEightParametersWithTheirFlagsStepsAndDefaults)
{
    Effect e;
    ASSERT_EQ(e->getParameterCount(), 8);
    const int32 expectedFlags[] = {1, 1, 1, 9, 1, 9, 9, 9};
    const int32 expectedSteps[] = {1, 0, 0, 1, 0, 3, 1, 1};
    for (int32 i = 0; i < 8; ++i) {
        ParameterInfo info{};
        ASSERT_EQ(e->getParameterInfo(i, info), kResultTrue);
        EXPECT_EQ(info.id, static_cast<ParamID>(i));
        EXPECT_EQ(info.flags, expectedFlags[i]);
        EXPECT_EQ(info.stepCount, expectedSteps[i]);
        EXPECT_EQ(info.unitId, 0);
        EXPECT_EQ(info.units[0], 0);
        EXPECT_EQ(e->normalizedParamToPlain(i, 0.37), 0.37);
    }
    const float defaults[] = {1.f, 0.4f, 0.5f, 0.f, 0.5f, 0.f, 0.f, 0.f};
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(e->getParamValue(i), defaults[i]) << i;
    EXPECT_EQ(e->getParamValue(8), 0.f);
    EXPECT_NEAR(e->gainTarget, 1.2422, 1e-4);
}

TEST(ParameterSet, BeforeRegistrationNothingChanges)
{
    ol7t* e = new ol7t;
    EXPECT_EQ(e->getParameterCount(), 0);
    EXPECT_EQ(e->setParamNormalized(PARAM_GAIN, 1.0), kResultFalse);
    EXPECT_EQ(e->gainTarget, 0.0);
    EXPECT_EQ(e->getParamValue(PARAM_ENABLE), 1.f);
    EXPECT_TRUE(e->fastReset);
    e->release();
}

TEST(ParameterSet, GainLawMapsItsEndsAndMiddle)
{
    Effect e;
    const struct
    {
        double v;
        double gain;
        double tolerance;
    } cases[] = {{0.0, 0.0, 0.0}, {0.4, 1.2422, 1e-4}, {0.5, 2.1861, 1e-4}, {1.0, 24.0, 0.0}, {-4.0, 0.0, 0.0}};
    for (const auto& c : cases) {
        ASSERT_EQ(e->setParamNormalized(PARAM_GAIN, c.v), kResultOk);
        EXPECT_NEAR(e->gainTarget, c.gain, c.tolerance) << c.v;
    }
}

TEST(ParameterSet, PeakReductionSetsThresholdAndKnee)
{
    Effect e;
    const struct
    {
        double v, thresholdDb, kneeBase;
    } cases[] = {{0.0, 1.47, 3.2}, {0.5, -23.765, 2.6142}, {1.0, -49.0, 2.2}};
    for (const auto& c : cases) {
        e->setParamNormalized(PARAM_PEAKRED, c.v);
        EXPECT_NEAR(e->thresholdDb, c.thresholdDb, 1e-3);
        EXPECT_NEAR(e->kneeBase, c.kneeBase, 1e-4);
        EXPECT_NEAR(e->kneeDb, c.thresholdDb + 47, 1e-3);
        EXPECT_NEAR(e->thresholdLin, std::pow(10.0, c.thresholdDb / 20), 1e-6);
        EXPECT_EQ(e->peakRed, c.v);
    }
}

TEST(ParameterSet, SwitchesAreOnOnlyStrictlyAboveOneHalf)
{
    Effect e;
    for (uint32_t id : {PARAM_ENABLE, PARAM_LIMITMODE, PARAM_MEMORY, PARAM_SIDECH}) {
        auto state = [&] {
            switch (id) {
            case PARAM_ENABLE: return bool(e->enabled);
            case PARAM_LIMITMODE: return bool(e->limitMode);
            case PARAM_MEMORY: return bool(e->fastReset);
            default: return bool(e->sideChainOn);
            }
        };
        e->setParamNormalized(id, 0.5);
        EXPECT_FALSE(state()) << id;
        e->setParamNormalized(id, 0.500001);
        EXPECT_TRUE(state()) << id;
    }
}

TEST(ParameterSet, MeterSelectorTruncatesToFourModes)
{
    Effect e;
    const struct
    {
        double v;
        int mode;
    } cases[] = {{0.0, 0},  {0.25, 0}, {1.0 / 3.0, 1}, {2.0 / 3.0, 2},    {0.99, 2},
                 {1.0, 3},  {-1e33, 0}, {1e33, 3},      {std::nan(""), 3}};
    for (const auto& c : cases) {
        e->setParamNormalized(PARAM_METERSEL, c.v);
        EXPECT_EQ(e->meterMode, c.mode) << c.v;
    }
}

TEST(ParameterSet, UnknownIdsAreRefusedAndChangeNothing)
{
    Effect e;
    EXPECT_EQ(e->setParamNormalized(9, 1.0), kResultFalse);
    EXPECT_FALSE(e->getParamStringByValue(8, 0.5, nullptr) == kResultOk);
    e->applyParameter(8, 1.f);
    EXPECT_EQ(e->getParamValue(8), 0.f);
    EXPECT_NEAR(e->gainTarget, 1.2422, 1e-4);
}

TEST(ParameterSet, EveryEntryIgnoresNonNumbersAndHoldsOtherValuesToRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    using Entry = void (*)(Host&, uint32_t, double);
    const std::pair<const char*, Entry> entries[] = {
        {"host", [](Host& h, uint32_t id, double v) { h.effect.setParamNormalized(id, v); }},
        {"apply", [](Host& h, uint32_t id, double v) { h.effect.applyParameter(id, static_cast<float>(v)); }},
        {"editor", [](Host& h, uint32_t id, double v) { h.effect.editParameter(id, static_cast<float>(v)); }},
        {"automation", [](Host& h, uint32_t id, double v) {
             h.change(id, v);
             h.block(silence());
         }},
    };
    // Kept: the value set before; held: the nearer end of the range.
    const std::pair<double, double> values[] = {{nan, 0.25}, {inf, 0.25}, {-inf, 0.25},
                                                {1.5, 1.0},  {1e30, 1.0}, {-1e30, 0.0}};
    for (const auto& [name, apply] : entries) {
        Effect e;
        Host host(*e, 512);
        for (uint32_t id : {PARAM_GAIN, PARAM_PEAKRED, PARAM_R37, PARAM_METERSEL}) {
            for (const auto& [value, expected] : values) {
                e->setParamNormalized(id, 0.25);
                apply(host, id, value);
                EXPECT_EQ(e->getParamNormalized(id), expected) << name << " " << id << " " << value;
                EXPECT_EQ(e->getParamValue(id), float(expected)) << name << " " << id << " " << value;
            }
        }
        // Gain at its top is +27.6 dB, not more, and the model stays a number.
        e->setParamNormalized(PARAM_GAIN, 0.25);
        apply(host, PARAM_GAIN, 1.5);
        EXPECT_EQ(e->gainTarget, 24.0) << name;
        for (int b = 0; b < 20; ++b)
            host.block(sine(0.9, 1000));
        EXPECT_TRUE(std::isfinite(host.data.output(0, 0)[511])) << name;
        EXPECT_NE(host.data.output(0, 0)[511], 0.f) << name;
    }
}

TEST(ParameterSet, HostTextsForEveryKindOfParameter)
{
    Effect e;
    const struct
    {
        uint32_t id;
        double v;
        const char* text;
    } cases[] = {
        {PARAM_LIMITMODE, 0.5, "Compress"},   {PARAM_LIMITMODE, 0.51, "Limit"},
        {PARAM_METERSEL, 0.0, "Gain Reduction"}, {PARAM_METERSEL, 0.25, "dBFS"},
        {PARAM_METERSEL, 1.0 / 3.0, "dBFS"},  {PARAM_METERSEL, 2.0 / 3.0, "+4 dB"},
        {PARAM_METERSEL, 1.0, "+10 dB"},      {PARAM_METERSEL, 1.5, ""},
        {PARAM_METERSEL, std::nan(""), ""},   {PARAM_MEMORY, 0.5, "Classic"},
        {PARAM_MEMORY, 0.9, "Fast Reset"},    {PARAM_ENABLE, 0.5, "Off"},
        {PARAM_SIDECH, 1.0, "On"},            {PARAM_GAIN, 0.4, "0.4000"},
        {PARAM_R37, 0.12345, "0.1235"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textFor(*e, c.id, c.v), c.text) << c.id << " " << c.v;
    EXPECT_EQ(textFor(*e, 8, 0.5, kResultFalse), "untouched");
}

TEST(ParameterSet, ProgramIsReappliedAndEditsReachTheHost)
{
    struct Handler : IComponentHandler
    {
        tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
        tresult PLUGIN_API performEdit(ParamID id, ParamValue v) override
        {
            lastId = id;
            lastValue = v;
            return kResultOk;
        }
        tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
        tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
        tresult PLUGIN_API queryInterface(const Steinberg::TUID, void**) override { return kNoInterface; }
        Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
        Steinberg::uint32 PLUGIN_API release() override { return 1; }
        ParamID lastId = 99;
        double lastValue = -1;
    } handler;

    Effect e;
    e->setComponentHandler(&handler);
    e->editParameter(PARAM_GAIN, 0.75f);
    EXPECT_EQ(handler.lastId, PARAM_GAIN);
    EXPECT_EQ(handler.lastValue, 0.75);
    EXPECT_EQ(e->getParamNormalized(PARAM_GAIN), 0.75);

    e->setParamNormalized(PARAM_LIMITMODE, 1.0);
    e->limitMode = false;
    e->applyProgram();
    EXPECT_TRUE(e->limitMode);
    e->setComponentHandler(nullptr);
}

TEST(ParameterSet, EveryChangeWritesItsDebugLine)
{
    static std::string line;
    ZVNPal::SetDebugTraceSink([](const char* l) { line = l; });
    Effect e;
    e->setParamNormalized(PARAM_R37, 0.25);
    ZVNPal::SetDebugTraceSink(nullptr);
    EXPECT_EQ(line, "ol7t::setParamNormalized[4] = 0.250000\n");
}

} // namespace
