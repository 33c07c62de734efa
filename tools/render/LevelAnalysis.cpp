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

size_t countNotFinite(const AudioClip& clip)
{
    size_t count = 0;
    for (const std::vector<float>& channel : clip.channels)
        count += static_cast<size_t>(
            std::count_if(channel.begin(), channel.end(), [](float s) { return !std::isfinite(s); }));
    return count;
}

// The largest finite value of the trace over [from, to), NaN when none.
double largestOf(const std::vector<float>& trace, size_t from, size_t to)
{
    double largest = std::numeric_limits<double>::quiet_NaN();
    for (size_t i = from; i < std::min(to, trace.size()); ++i)
        if (std::isfinite(trace[i]) && !(largest >= trace[i]))
            largest = trace[i];
    return largest;
}

void summariseTrace(const std::vector<float>& trace, double rate, LevelSummary& summary)
{
    double sum = 0;
    size_t known = 0;
    for (size_t i = 0; i < trace.size(); ++i) {
        if (!std::isfinite(trace[i]))
            continue;
        sum += trace[i];
        if (known++ == 0 || trace[i] > summary.largestReductionDb) {
            summary.largestReductionDb = trace[i];
            summary.largestReductionSeconds = static_cast<double>(i) / rate;
        }
    }
    summary.reductionKnown = known > 0;
    summary.averageReductionDb = known > 0 ? sum / static_cast<double>(known) : 0.0;
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

double pilotGain(const AudioClip& pilotOutput, double pilot, size_t fromFrame)
{
    if (pilotOutput.channelCount() == 0 || fromFrame >= pilotOutput.frames() || pilot == 0.0)
        return 0.0;
    double sum = 0;
    for (size_t i = fromFrame; i < pilotOutput.frames(); ++i)
        sum += pilotOutput.channels[0][i] / pilot;
    const double gain = sum / static_cast<double>(pilotOutput.frames() - fromFrame);
    return std::isfinite(gain) && gain > 0.0 ? gain : 0.0;
}

std::vector<float> reductionTrace(const AudioClip& pilotOutput, double pilot, double restingGain)
{
    std::vector<float> trace(pilotOutput.frames(), std::numeric_limits<float>::quiet_NaN());
    if (pilotOutput.channelCount() == 0 || !(restingGain > 0.0) || pilot == 0.0)
        return trace;
    const std::vector<float>& out = pilotOutput.channels[0];
    for (size_t i = 0; i < trace.size(); ++i) {
        const double gain = out[i] / pilot;
        if (std::isfinite(gain) && gain > 0.0)
            trace[i] = static_cast<float>(20.0 * std::log10(restingGain / gain));
    }
    return trace;
}

LevelSummary analyseLevels(const AudioClip& input, const AudioClip& output, const std::vector<float>& reduction,
                           double windowSeconds)
{
    LevelSummary summary;
    summary.inputPeakDb = peakDb(input);
    summary.inputRmsDb = rmsDb(input);
    summary.outputPeakDb = peakDb(output);
    summary.outputRmsDb = rmsDb(output);
    summary.outputNotFinite = countNotFinite(output) - std::min(countNotFinite(output), countNotFinite(input));
    summariseTrace(reduction, input.sampleRate, summary);

    const size_t frames = std::min(input.frames(), output.frames());
    const size_t window = std::max<size_t>(1, static_cast<size_t>(std::lround(windowSeconds * input.sampleRate)));
    for (size_t start = 0; start < frames; start += window) {
        const size_t end = std::min(frames, start + window);
        LevelWindow w{};
        w.seconds = static_cast<double>(start) / input.sampleRate;
        w.inputDb = toDb(std::sqrt(meanSquare(input, start, end)));
        w.outputDb = toDb(std::sqrt(meanSquare(output, start, end)));
        const double largest = largestOf(reduction, start, end);
        w.hasReduction = std::isfinite(largest);
        w.reductionDb = w.hasReduction ? largest : 0.0;
        if (w.inputDb >= kQuietestAudibleDb && std::isinf(w.outputDb) && w.outputDb < 0)
            ++summary.silencedWindows;
        summary.windows.push_back(w);
    }
    return summary;
}

std::vector<std::string> renderWarnings(const LevelSummary& s)
{
    std::vector<std::string> warnings;
    if (s.outputNotFinite > 0)
        warnings.push_back(std::to_string(s.outputNotFinite) +
                           " output samples are not finite numbers although the input's are: the effect failed");
    const bool inputAudible = s.inputPeakDb >= kQuietestAudibleDb;
    if (inputAudible && std::isinf(s.outputPeakDb) && s.outputPeakDb < 0)
        warnings.push_back("the output is silent although the input is not (is the gain at 0?)");
    else if (s.silencedWindows > 0)
        warnings.push_back("the output falls silent in " + std::to_string(s.silencedWindows) + " of " +
                           std::to_string(s.windows.size()) + " stretches where the input is audible");
    return warnings;
}
