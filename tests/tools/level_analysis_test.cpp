// The render summary's measurements: levels of whole clips, and gain
// reduction per window relative to the effect's gain at rest.
#include "tools/render/LevelAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
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

TEST(LevelAnalysis, RestingGainIsMeasuredAfterTheSettlingPart)
{
    const AudioClip probe = sine(1, 1000, 0.01);
    // Rubbish before frame 500 must not count.
    const AudioClip out = scaled(scaled(probe, 0, 500, 10.0), 500, 1000, 2.0);
    EXPECT_NEAR(restingGainDb(probe, out, 500), 6.0206, 1e-3);
    // A silent answer gives no gain to correct for.
    EXPECT_EQ(restingGainDb(probe, AudioClip(kRate, 1, 1000), 500), 0.0);
}

TEST(LevelAnalysis, ReductionIsTheLevelChangeBelowTheRestingGain)
{
    // Resting gain +6 dB; from 0.6 s on the output is only 2 dB up, and from
    // 0.8 s 10 dB down: reductions of about 4 and 16 dB.
    const AudioClip in = sine(2, 1000, 0.1);
    AudioClip out = scaled(in, 0, 600, std::pow(10.0, 6.0 / 20));
    out = scaled(out, 600, 800, std::pow(10.0, 2.0 / 20));
    out = scaled(out, 800, 1000, std::pow(10.0, -10.0 / 20));

    const LevelSummary s = analyseLevels(in, out, 6.0, 0.1);
    ASSERT_EQ(s.windows.size(), 10u);
    EXPECT_NEAR(s.windows[0].reductionDb, 0.0, 1e-3);
    EXPECT_NEAR(s.windows[6].reductionDb, 4.0, 1e-3);
    EXPECT_NEAR(s.windows[9].reductionDb, 16.0, 1e-3);
    EXPECT_NEAR(s.largestReductionDb, 16.0, 1e-3);
    EXPECT_DOUBLE_EQ(s.largestReductionSeconds, 0.8);
    EXPECT_NEAR(s.inputRmsDb, -23.0103, 1e-3);
    EXPECT_NEAR(s.windows[3].outputDb - s.windows[3].inputDb, 6.0, 1e-3);
}

TEST(LevelAnalysis, QuietOrLouderWindowsShowNoReduction)
{
    // Input below the measuring floor in the first half, then an output
    // louder than the resting gain would give (for instance from saturation).
    AudioClip in = sine(1, 1000, 0.5);
    in = scaled(in, 0, 500, 1e-5);
    AudioClip out = scaled(in, 0, 500, 0.01);
    out = scaled(out, 500, 1000, 2.0);

    const LevelSummary s = analyseLevels(in, out, 0.0, 0.1);
    for (size_t w = 0; w < 5; ++w)
        EXPECT_FALSE(s.windows[w].hasReduction) << "window " << w;
    for (size_t w = 5; w < 10; ++w) {
        EXPECT_TRUE(s.windows[w].hasReduction) << "window " << w;
        EXPECT_EQ(s.windows[w].reductionDb, 0.0) << "window " << w;
    }
    EXPECT_EQ(s.largestReductionDb, 0.0);
}

TEST(LevelAnalysis, TheLastWindowMayBeShortAndSilenceIsNotMeasured)
{
    const AudioClip in = sine(1, 1050, 0.5);
    const LevelSummary s = analyseLevels(in, AudioClip(kRate, 1, 1050), 0.0, 0.1);
    ASSERT_EQ(s.windows.size(), 11u);
    EXPECT_DOUBLE_EQ(s.windows[10].seconds, 1.0);
    EXPECT_TRUE(std::isinf(s.outputPeakDb));
    for (const LevelWindow& w : s.windows)
        EXPECT_FALSE(w.hasReduction);
}

} // namespace
