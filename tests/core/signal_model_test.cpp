// The leveling amplifier's sound: filter shapes, how hard the cell pulls at
// given levels, how it lets go, what R37 does, and where the needle sits.
#include "EffectFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace testing_support;

namespace {

// Runs `seconds` of a signal in blocks of `block` samples.
void run(Host& host, double seconds, const std::function<float(int, int, int64_t)>& signal, double rate = 44100)
{
    const int64_t end = host.position + static_cast<int64_t>(seconds * rate);
    while (host.position < end)
        host.block(signal);
}

double cellGainDb(const Effect& e)
{
    return 20.0 * std::log10(e->cellGain);
}

TEST(SignalModel, DetectorFiltersHaveTheirShapesAt44100)
{
    Effect e;
    const FilterSets f = e->currentFilters();
    struct Case
    {
        const BiquadCoefficients* filter;
        double frequency;
        double expectedDb;
    } cases[] = {
        {&f.detLowShelf, 1, -17.7},     {&f.detLowShelf, 10, -9.0},     {&f.detLowShelf, 100, -0.3},
        {&f.detHighShelf, 5000, -0.65}, {&f.detHighShelf, 17000, -6.0}, {&f.detHighShelf, 20000, -9.0},
        {&f.detBell, 100, -5.7},        {&f.detBell, 220, -6.5},        {&f.detBell, 1000, -3.5},
        {&f.detBell, 5000, -0.3},       {&f.envLowShelf, 1, 58.7},      {&f.envLowShelf, 43, 30.0},
        {&f.envLowShelf, 220, 14.4},    {&f.envLowShelf, 1000, 3.5},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(magnitudeDb(*c.filter, c.frequency, 44100), c.expectedDb, 0.1) << c.frequency << " Hz";
}

TEST(SignalModel, R37FullyOpenMakesTheBellFlatAndItsCutFollowsTheScrew)
{
    Effect e;
    e->setParamNormalized(PARAM_R37, 1.0);
    for (double hz : {50.0, 220.0, 1000.0})
        EXPECT_NEAR(magnitudeDb(e->currentFilters().detBell, hz, 44100), 0.0, 1e-9);
    e->setParamNormalized(PARAM_R37, 0.0);
    EXPECT_NEAR(magnitudeDb(e->currentFilters().detBell, 220, 44100), -13.0, 0.05);
}

TEST(SignalModel, SineAtOneKilohertzIsReducedByItsLevelAfterOneSecond)
{
    struct Case
    {
        double amplitude;
        bool limit;
        double gain;
    } cases[] = {{0.1, false, 0.952}, {0.5, false, 0.282}, {1.0, false, 0.163}, {1.0, true, 0.115}};
    for (const Case& c : cases) {
        Effect e;
        Host host(*e, 441);
        host.change(PARAM_LIMITMODE, c.limit ? 1.0 : 0.0);
        run(host, 1.0, sine(c.amplitude, 1000));
        EXPECT_NEAR(e->cellGain, c.gain, 0.002) << "amplitude " << c.amplitude << " limit " << c.limit;
    }
}

TEST(SignalModel, CellRecoversQuicklyOnlyToMidThenSlowlyInBothMemoryModes)
{
    for (double memory : {0.0, 1.0}) {
        Effect e;
        Host host(*e, 441);
        host.change(PARAM_MEMORY, memory);
        run(host, 2.0, sine(1.0, 1000));
        const struct
        {
            double at;
            double gain;
        } marks[] = {{0.1, 0.43}, {1.0, 0.74}, {2.0, 0.87}, {4.0, 0.95}};
        double elapsed = 0;
        for (const auto& mark : marks) {
            run(host, mark.at - elapsed, silence());
            elapsed = mark.at;
            EXPECT_NEAR(e->cellGain, mark.gain, 0.005) << "memory " << memory << " after " << mark.at << " s";
        }
    }
}

TEST(SignalModel, AttackAfterLongRestIsSlowerThanAfterLongReduction)
{
    // Classic memory: the first attack after rest runs on the long time
    // scale, a repeated one on the short scale set by the cell's track.
    Effect e;
    Host host(*e, 441);
    // Shares of the way to the settled gain covered in the first 20 ms.
    constexpr double settled = 0.163;
    run(host, 0.02, sine(1.0, 1000));
    const double first = (1.0 - e->cellGain) / (1.0 - settled);
    run(host, 4.0, sine(1.0, 1000));
    run(host, 0.3, silence());
    const double before = e->cellGain;
    run(host, 0.02, sine(1.0, 1000));
    const double repeated = (before - e->cellGain) / (before - settled);
    EXPECT_GT(repeated, first);
}

TEST(SignalModel, R37MostlyChangesTheResponseToLowFrequencies)
{
    auto settled = [](double r37, double hz) {
        Effect e;
        Host host(*e, 441);
        host.change(PARAM_R37, r37);
        run(host, 3.0, sine(0.5, hz));
        return cellGainDb(e);
    };
    EXPECT_NEAR(settled(0.0, 100), -4.3, 0.4);
    EXPECT_NEAR(settled(1.0, 100), -12.6, 0.4);
    EXPECT_LT(std::fabs(settled(0.0, 5000) - settled(1.0, 5000)), 1.0);
}

TEST(SignalModel, SilenceLeavesTheCellAtRestAndGainZeroSilencesEverything)
{
    Effect e;
    Host host(*e);
    run(host, 0.5, silence());
    EXPECT_EQ(e->cellGain, 1.0);
    EXPECT_EQ(host.data.output(0, 0)[100], 0.f);

    host.change(PARAM_GAIN, 0.0);
    run(host, 0.5, sine(0.8, 440));
    for (int32_t i = 0; i < host.data.numSamples; ++i)
        ASSERT_EQ(host.data.output(0, 1)[i], 0.f);
}

TEST(SignalModel, TimeConstantsAreTheSameInMillisecondsAtAnyRate)
{
    double gains[2];
    const double rates[2] = {44100, 96000};
    for (int r = 0; r < 2; ++r) {
        Effect e(static_cast<float>(rates[r]));
        Host host(*e, 480);
        run(host, 0.5, sine(0.7, 1000, rates[r]), rates[r]);
        gains[r] = e->cellGain;
        // A follower covers 95 % of a step in its time.
        EXPECT_NEAR(std::pow(1.0 - e->tcRms, rates[r] * 0.036), 0.05, 1e-9);
    }
    EXPECT_NEAR(gains[0], gains[1], 0.01);
}

TEST(SignalModel, EveryFilterIsStableAndKeepsItsShapeAtAnyRate)
{
    for (float rate : {8000.f, 11025.f, 16000.f, 22050.f, 32000.f, 44100.f, 48000.f, 96000.f, 192000.f, 384000.f}) {
        Effect e(rate);
        const FilterSets f = e->currentFilters();
        for (const BiquadCoefficients* c : {&f.detLowShelf, &f.detHighShelf, &f.detBell, &f.envLowShelf}) {
            // Both poles inside the unit circle.
            EXPECT_LT(std::fabs(c->a2), 1.0) << rate;
            EXPECT_LT(std::fabs(c->a1), 1.0 + c->a2) << rate;
        }
        EXPECT_NEAR(magnitudeDb(f.detLowShelf, 1, rate), -17.7, 0.1) << rate;
        EXPECT_NEAR(magnitudeDb(f.detHighShelf, 100, rate), 0.0, 0.1) << rate;
        EXPECT_LT(magnitudeDb(f.detHighShelf, 0.49 * rate, rate), -6.0) << rate;
        EXPECT_NEAR(magnitudeDb(f.detBell, 220, rate), -6.5, 0.05) << rate;
        EXPECT_NEAR(magnitudeDb(f.envLowShelf, 1, rate), 58.7, 0.1) << rate;
    }
}

TEST(SignalModel, LoudInputAtLowRatesIsReducedWithoutFallingSilent)
{
    for (double rate : {8000.0, 11025.0, 16000.0, 22050.0, 32000.0}) {
        Effect e(static_cast<float>(rate));
        Host host(*e, 256);
        float lastPeak = 0.f;
        while (host.position < static_cast<int64_t>(2.0 * rate)) {
            host.block(sine(1.0, 1000, rate));
            lastPeak = 0.f;
            for (int32_t i = 0; i < 256; ++i) {
                const float out = host.data.output(0, 0)[i];
                ASSERT_TRUE(std::isfinite(out)) << rate << " Hz, sample " << host.position + i;
                lastPeak = std::max(lastPeak, std::fabs(out));
            }
        }
        EXPECT_LT(e->cellGain, 0.5) << rate;
        EXPECT_GT(lastPeak, 0.1f) << rate;
    }
}

TEST(SignalModel, ARateChangeStartsTheModelAgainLikeANewInstance)
{
    Effect e(32000.f);
    Host before(*e, 512);
    run(before, 1.0, sine(1.0, 1000, 32000), 32000);
    e->setSampleRate(44100.f);

    Effect fresh;
    Host changed(*e, 512), reference(*fresh, 512);
    for (int b = 0; b < 40; ++b) {
        changed.block(sine(0.8, 1000));
        reference.block(sine(0.8, 1000));
        for (int32_t i = 0; i < 512; ++i)
            ASSERT_EQ(changed.data.output(0, 1)[i], reference.data.output(0, 1)[i]) << "block " << b;
    }
}

TEST(SignalModel, AStateThatStopsBeingANumberStartsAgainFromRest)
{
    Effect e;
    Host host(*e, 256);
    run(host, 0.1, sine(0.8, 1000));
    e->channel[1].detHighShelf.y1 = std::numeric_limits<double>::infinity();
    host.block(sine(0.8, 1000));
    for (int32_t i = 0; i < 256; ++i)
        ASSERT_TRUE(std::isfinite(host.data.output(0, 0)[i])) << i;
    EXPECT_TRUE(e->modelStateIsFinite());
    host.block(sine(0.8, 1000));
    EXPECT_GT(std::fabs(host.data.output(0, 0)[255]) + std::fabs(host.data.output(0, 0)[250]), 0.1f);
}

TEST(SignalModel, OutputGainGlidesFromItsValueAndNeverFromConstruction)
{
    Effect e;
    Host host(*e, 64);
    host.block(sine(0.01, 1000));
    EXPECT_EQ(e->gainSmoothed, e->gainTarget);
    host.change(PARAM_GAIN, 1.0);
    host.block(sine(0.01, 1000));
    EXPECT_GT(e->gainSmoothed, 1.2422);
    EXPECT_LT(e->gainSmoothed, 24.0);
    run(host, 0.5, sine(0.01, 1000));
    EXPECT_EQ(e->gainSmoothed, 24.0);
}

TEST(SignalModel, NeedleRestsAtItsMarkAndFollowsTheLevelInEachMode)
{
    Effect e;
    float position = -1.f;
    EXPECT_TRUE(e->getMeterPosition(position, 10, false));
    EXPECT_NEAR(position, 0.6391f, 1e-4f);
    EXPECT_FALSE(e->getMeterPosition(position, 10, false)) << "already read";
    e->moduleMode = true;
    EXPECT_FALSE(e->getMeterPosition(position, 10, true)) << "forced, but not new";
    EXPECT_NEAR(position, 0.63f, 1e-6f);

    position = -1.f;
    EXPECT_FALSE(e->getMeterPosition(position, 11, true));
    EXPECT_EQ(position, -1.f);

    // A full-scale output peak as the driver hands it over in each mode.
    e->moduleMode = false;
    const struct
    {
        double selector;
        float peak;
        float position;
    } modes[] = {{1.0 / 3.0, 1.f, 0.6226f}, {2.0 / 3.0, 8.912509f, 1.f}, {1.0, 4.466836f, 1.f}, {1.0, 0.1f, 0.f}};
    for (const auto& m : modes) {
        e->setParamNormalized(PARAM_METERSEL, m.selector);
        e->meterPeak = m.peak;
        e->getMeterPosition(position, 10, true);
        EXPECT_NEAR(position, m.position, 1e-4f) << m.selector;
    }
}

TEST(SignalModel, MeterModesScaleTheOutputLevelSixDecibelsApart)
{
    auto peakIn = [](double selector) {
        Effect e;
        Host host(*e, 512);
        host.change(PARAM_METERSEL, selector);
        host.block(sine(0.01, 1000));
        return double(e->meterPeak);
    };
    EXPECT_NEAR(peakIn(2.0 / 3.0) / peakIn(1.0), std::pow(10.0, 0.3), 1e-4);
    EXPECT_NEAR(peakIn(2.0 / 3.0) / peakIn(1.0 / 3.0), std::pow(10.0, 0.95), 1e-4);
}

} // namespace
