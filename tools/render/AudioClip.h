// A piece of audio held in memory: one float array per channel and its rate.
#pragma once

#include <cstddef>
#include <vector>

struct AudioClip
{
    int sampleRate = 0;
    std::vector<std::vector<float>> channels;

    AudioClip() = default;
    AudioClip(int rate, size_t channelCount, size_t frameCount)
        : sampleRate(rate), channels(channelCount, std::vector<float>(frameCount, 0.f))
    {
    }

    size_t channelCount() const { return channels.size(); }
    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
    double seconds() const { return sampleRate > 0 ? static_cast<double>(frames()) / sampleRate : 0.0; }
};
