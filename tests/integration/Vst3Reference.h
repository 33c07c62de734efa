// Test support for the other formats' hosts: a programme with a side-chain
// key, the settings every format renders it with, and the render of the same
// through the bundle's VST 3 interfaces, to compare against.
#pragma once

#include "integration/BundleHost.h"
#include "tools/render/EffectSession.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <array>
#include <cmath>

namespace testing_support {

constexpr int kReferenceRate = 44100;

// Tone bursts that swell and fall on the main input and a slower pulse on
// the key, so the cell works on both detector sources.
inline AudioClip referenceProgramme(bool key)
{
    AudioClip clip(kReferenceRate, 2, kReferenceRate);
    for (size_t i = 0; i < clip.frames(); ++i) {
        const double t = static_cast<double>(i) / kReferenceRate;
        const double envelope = key ? (std::fmod(t, 0.25) < 0.1 ? 0.9 : 0.05) : 0.1 + 0.8 * std::fabs(std::sin(3.0 * t));
        clip.channels[0][i] = static_cast<float>(envelope * std::sin(2 * M_PI * (key ? 90 : 440) * t));
        clip.channels[1][i] = static_cast<float>(envelope * std::sin(2 * M_PI * (key ? 95 : 660) * t));
    }
    return clip;
}

// Normalized values: more gain, deep reduction, limiting, fast memory and
// the detector on the key.
constexpr std::array<double, 8> kReferenceSettings = {1.0, 0.55, 0.8, 1.0, 0.3, 1.0 / 3, 1.0, 1.0};

inline AudioClip vst3Render(const BundleHost& bundle, const AudioClip& input, const AudioClip& key, int blockSize)
{
    AudioClip output(input.sampleRate, input.channelCount(), input.frames());
    Steinberg::Vst::HostApplication context;
    Steinberg::IPtr<Steinberg::Vst::IComponent> component(bundle.createComponent(), false);
    if (!component || component->initialize(&context) != Steinberg::kResultOk)
        return {};
    EffectSession session(component);
    if (!session.start(input.channelCount(), true, input.sampleRate, blockSize).empty())
        return {};
    session.render(input, &key, kReferenceSettings, output, nullptr);
    return output;
}

inline float largestDifference(const AudioClip& a, const AudioClip& b)
{
    if (a.channelCount() != b.channelCount() || a.frames() != b.frames())
        return INFINITY;
    float largest = 0.f;
    for (size_t c = 0; c < a.channelCount(); ++c)
        for (size_t i = 0; i < a.frames(); ++i)
            largest = std::max(largest, std::fabs(a.channels[c][i] - b.channels[c][i]));
    return largest;
}

} // namespace testing_support
