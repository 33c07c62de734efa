// Level measurements for the render summary and the plot. All sums run in
// double precision over every channel, so stereo and mono read alike.
#include "tools/render/LevelAnalysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double meanSquare(const AudioClip& clip, size_t from, size_t to)
{
    if (to <= from || clip.channelCount() == 0)
        return 0.0;
    double sum = 0;
    for (const std::vector<float>& channel : clip.channels)
        for (size_t i = from; i < to; ++i)
            sum += static_cast<double>(channel[i]) * channel[i];
    return sum / static_cast<double>((to - from) * clip.channelCount());
}

} // namespace

double toDb(double linear)
{
    if (linear <= 0.0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(linear);
}

double peakDb(const AudioClip& clip)
{
    double peak = 0;
    for (const std::vector<float>& channel : clip.channels)
        for (float sample : channel)
            peak = std::max(peak, static_cast<double>(std::fabs(sample)));
    return toDb(peak);
}

double rmsDb(const AudioClip& clip)
{
    return toDb(std::sqrt(meanSquare(clip, 0, clip.frames())));
}

double restingGainDb(const AudioClip& input, const AudioClip& output, size_t fromFrame)
{
    const size_t to = std::min(input.frames(), output.frames());
    const double in = meanSquare(input, fromFrame, to);
    const double out = meanSquare(output, fromFrame, to);
    // A silent probe has no gain to speak of; treat it as unity.
    return in > 0.0 && out > 0.0 ? 10.0 * std::log10(out / in) : 0.0;
}

LevelSummary analyseLevels(const AudioClip& input, const AudioClip& output, double restingDb, double windowSeconds)
{
    LevelSummary summary;
    summary.inputPeakDb = peakDb(input);
    summary.inputRmsDb = rmsDb(input);
    summary.outputPeakDb = peakDb(output);
    summary.outputRmsDb = rmsDb(output);

    const size_t frames = std::min(input.frames(), output.frames());
    const size_t window = std::max<size_t>(1, static_cast<size_t>(std::lround(windowSeconds * input.sampleRate)));
    for (size_t start = 0; start < frames; start += window) {
        const size_t end = std::min(frames, start + window);
        LevelWindow w{};
        w.seconds = static_cast<double>(start) / input.sampleRate;
        w.inputDb = toDb(std::sqrt(meanSquare(input, start, end)));
        w.outputDb = toDb(std::sqrt(meanSquare(output, start, end)));
        w.hasReduction = w.inputDb >= kQuietestMeasuredDb && std::isfinite(w.outputDb);
        w.reductionDb = w.hasReduction ? std::max(0.0, restingDb - (w.outputDb - w.inputDb)) : 0.0;
        if (w.hasReduction && w.reductionDb > summary.largestReductionDb) {
            summary.largestReductionDb = w.reductionDb;
            summary.largestReductionSeconds = w.seconds;
        }
        summary.windows.push_back(w);
    }
    return summary;
}
