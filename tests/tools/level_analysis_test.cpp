// The render summary's measurements: levels of whole clips, gain reduction
// from a pilot pass relative to the effect's gain at rest, and the warnings.
#include "tools/render/LevelAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int kRate = 1000;

AudioClip sine(size_t channels, size_t frames, double amplitude)
{
    AudioClip clip(kRate, channels, frames);
    for (std::vector<float>& channel : clip.channels)
        for (size_t i = 0; i < frames; ++i)
            channel[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * 50.0 * i / kRate));
    return clip;
}

// The clip with its samples from `from` to `to` multiplied by `gain`.
AudioClip scaled(AudioClip clip, size_t from, size_t to, double gain)
{
    for (std::vector<float>& channel : clip.channels)
        for (size_t i = from; i < to; ++i)
            channel[i] = static_cast<float>(channel[i] * gain);
    return clip;
}

TEST(LevelAnalysis, LevelsOfWholeClips)
{
    EXPECT_DOUBLE_EQ(toDb(1.0), 0.0);
    EXPECT_NEAR(toDb(0.5), -6.0206, 1e-4);
    EXPECT_TRUE(std::isinf(toDb(0.0)) && toDb(0.0) < 0);

    const AudioClip fullScale = sine(2, 1000, 1.0);
    EXPECT_NEAR(peakDb(fullScale), 0.0, 1e-6);
    EXPECT_NEAR(rmsDb(fullScale), -3.0103, 1e-3);

    // One silent channel halves the power of a stereo clip.
    AudioClip oneSided = fullScale;
    std::fill(oneSided.channels[1].begin(), oneSided.channels[1].end(), 0.f);
    EXPECT_NEAR(rmsDb(oneSided), -6.0206, 1e-3);

    const AudioClip silence(kRate, 1, 100);
    EXPECT_TRUE(std::isinf(peakDb(silence)));
    EXPECT_TRUE(std::isinf(rmsDb(silence)));
}

// A pilot pass's output: the pilot times `gain` on every frame.
AudioClip pilotOutput(const std::vector<double>& gains, double pilot)
{
    AudioClip clip(kRate, 2, gains.size());
    for (std::vector<float>& channel : clip.channels)
        for (size_t i = 0; i < gains.size(); ++i)
            channel[i] = static_cast<float>(pilot * gains[i]);
    return clip;
}

TEST(LevelAnalysis, RestingGainIsMeasuredAfterTheSettlingPart)
{
    std::vector<double> gains(1000, 2.0);
    // Rubbish before frame 500 must not count.
    std::fill(gains.begin(), gains.begin() + 500, 10.0);
    EXPECT_NEAR(pilotGain(pilotOutput(gains, 1e-3), 1e-3, 500), 2.0, 1e-6);
    // A silent answer has no gain to speak of.
    EXPECT_EQ(pilotGain(AudioClip(kRate, 1, 1000), 1e-3, 500), 0.0);
}

TEST(LevelAnalysis, ReductionIsThePilotsGainBelowTheRestingGain)
{
    // Resting gain 2; from 0.6 s the pilot comes out at 2 dB below it, from
    // 0.8 s at 16 dB below, while the input falls silent: the trace goes on.
    std::vector<double> gains(1000, 2.0);
    std::fill(gains.begin() + 600, gains.end(), 2.0 * std::pow(10.0, -2.0 / 20));
    std::fill(gains.begin() + 800, gains.end(), 2.0 * std::pow(10.0, -16.0 / 20));
    const std::vector<float> trace = reductionTrace(pilotOutput(gains, 1e-3), 1e-3, 2.0);
    const AudioClip in = scaled(sine(2, 1000, 0.1), 800, 1000, 0.0);

    const LevelSummary s = analyseLevels(in, in, trace, 0.1);
    ASSERT_EQ(s.windows.size(), 10u);
    EXPECT_NEAR(s.windows[0].reductionDb, 0.0, 1e-3);
    EXPECT_NEAR(s.windows[6].reductionDb, 2.0, 1e-3);
    for (size_t w = 8; w < 10; ++w) {
        EXPECT_TRUE(s.windows[w].hasReduction) << "window " << w;
        EXPECT_NEAR(s.windows[w].reductionDb, 16.0, 1e-3) << "window " << w;
    }
    EXPECT_NEAR(s.largestReductionDb, 16.0, 1e-3);
    EXPECT_DOUBLE_EQ(s.largestReductionSeconds, 0.8);
    EXPECT_NEAR(s.averageReductionDb, 0.2 * 2.0 + 0.2 * 16.0, 1e-3);
    EXPECT_NEAR(s.inputRmsDb, -23.0103 - 10.0 * std::log10(1.0 / 0.8), 1e-3);
    EXPECT_TRUE(renderWarnings(s).empty());
}

TEST(LevelAnalysis, ASilentOrBrokenPilotLeavesTheReductionUnknown)
{
    std::vector<double> gains(1000, 1.0);
    std::fill(gains.begin() + 500, gains.end(), 0.0);
    AudioClip out = pilotOutput(gains, 1e-3);
    out.channels[0][100] = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> trace = reductionTrace(out, 1e-3, 1.0);
    EXPECT_TRUE(std::isnan(trace[100]));
    EXPECT_TRUE(std::isnan(trace[700]));
    EXPECT_NEAR(trace[99], 0.0, 1e-6);
    // Without a resting gain nothing is known at all.
    const std::vector<float> none = reductionTrace(out, 1e-3, 0.0);
    EXPECT_TRUE(std::all_of(none.begin(), none.end(), [](float v) { return std::isnan(v); }));
    const LevelSummary s = analyseLevels(sine(1, 1000, 0.5), sine(1, 1000, 0.5), none, 0.1);
    EXPECT_FALSE(s.reductionKnown);
    EXPECT_FALSE(s.windows[0].hasReduction);
}

TEST(LevelAnalysis, WarnsWhenTheOutputIsSilentOrNotFiniteWhileTheInputIsNot)
{
    const AudioClip in = sine(1, 1050, 0.5);
    // The whole output silent, with a short last window.
    const LevelSummary silent = analyseLevels(in, AudioClip(kRate, 1, 1050), {}, 0.1);
    ASSERT_EQ(silent.windows.size(), 11u);
    EXPECT_DOUBLE_EQ(silent.windows[10].seconds, 1.0);
    ASSERT_EQ(renderWarnings(silent).size(), 1u);
    EXPECT_NE(renderWarnings(silent)[0].find("silent"), std::string::npos);

    // Silent from half way on: named as stretches.
    const LevelSummary half = analyseLevels(in, scaled(in, 500, 1050, 0.0), {}, 0.1);
    ASSERT_EQ(renderWarnings(half).size(), 1u);
    EXPECT_NE(renderWarnings(half)[0].find("6 of 11"), std::string::npos);

    AudioClip broken = in;
    broken.channels[0][10] = std::numeric_limits<float>::infinity();
    broken.channels[0][20] = std::numeric_limits<float>::quiet_NaN();
    const LevelSummary bad = analyseLevels(in, broken, {}, 0.1);
    EXPECT_EQ(bad.outputNotFinite, 2u);
    ASSERT_FALSE(renderWarnings(bad).empty());
    EXPECT_NE(renderWarnings(bad)[0].find("2 output samples"), std::string::npos);

    // Silence in, silence out is no fault; nor is a NaN the input brought.
    EXPECT_TRUE(renderWarnings(analyseLevels(AudioClip(kRate, 1, 100), AudioClip(kRate, 1, 100), {}, 0.1)).empty());
    AudioClip nanIn = in;
    nanIn.channels[0][20] = std::numeric_limits<float>::quiet_NaN();
    AudioClip nanOut = in;
    nanOut.channels[0][20] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(renderWarnings(analyseLevels(nanIn, nanOut, {}, 0.1)).empty());
}

} // namespace
