// The built-in demo programme: the same on every run, of the asked length,
// never clipping, with every section audible and silence at the end.
#include "tools/render/DemoProgramme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double rmsOver(const AudioClip& clip, double fromShare, double toShare)
{
    const size_t from = static_cast<size_t>(fromShare * clip.frames());
    const size_t to = static_cast<size_t>(toShare * clip.frames());
    double sum = 0;
    for (const std::vector<float>& channel : clip.channels)
        for (size_t i = from; i < to; ++i)
            sum += static_cast<double>(channel[i]) * channel[i];
    return std::sqrt(sum / static_cast<double>((to - from) * clip.channelCount()));
}

TEST(DemoProgramme, IsRepeatableInRangeAndShapedAsSections)
{
    const struct
    {
        int rate;
        double seconds;
    } cases[] = {{48000, 20.0}, {44100, 3.5}, {8000, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.seconds) + " s");
        const AudioClip clip = makeDemoProgramme(c.rate, c.seconds);
        ASSERT_EQ(clip.channelCount(), 2u);
        EXPECT_EQ(clip.sampleRate, c.rate);
        EXPECT_EQ(clip.frames(), static_cast<size_t>(std::llround(c.rate * c.seconds)));
        EXPECT_EQ(makeDemoProgramme(c.rate, c.seconds).channels, clip.channels);

        float peak = 0.f;
        for (const std::vector<float>& channel : clip.channels)
            for (float sample : channel) {
                ASSERT_TRUE(std::isfinite(sample));
                peak = std::max(peak, std::fabs(sample));
            }
        EXPECT_LE(peak, std::pow(10.0, -1.0 / 20.0) + 1e-6);

        // Speech, drums and the tone are clearly audible; the end is silent.
        EXPECT_GT(rmsOver(clip, 0.0, 0.35), 0.003);
        EXPECT_GT(rmsOver(clip, 0.35, 0.65), 0.003);
        EXPECT_GT(rmsOver(clip, 0.65, 0.9), 0.003);
        EXPECT_EQ(rmsOver(clip, 0.91, 1.0), 0.0);
    }
}

} // namespace
