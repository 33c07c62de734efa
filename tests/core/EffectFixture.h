// Test support: an effect with its eight parameters registered and the rate
// set, as the host sees it after initialisation, and a host-side way to run
// blocks of audio through its `process`.
#pragma once

#include "core/ol7t.h"
#include "sdk/HostProcessData.h"
#include "sdk/ParameterChanges.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace testing_support {

inline const char* testTexts(const char* key)
{
    static const char* const table[][2] = {
        {"IDS_METERSEL_GAINRED", "Gain Reduction"},
        {"IDS_METERSEL_DBFULLSCALE", "dBFS"},
        {"IDS_METERSEL_OUTPUT4DB", "+4 dB"},
        {"IDS_METERSEL_OUTPUT10DB", "+10 dB"},
        {"IDS_MEMORY_CLASSIC", "Classic"},
        {"IDS_MEMORY_FASTRESET", "Fast Reset"},
    };
    for (const auto& entry : table) {
        if (std::strcmp(entry[0], key) == 0)
            return entry[1];
    }
    return "";
}

// Owns one effect object the way a host does: by reference count.
class Effect
{
public:
    explicit Effect(float rate = 44100.f)
        : object(new ol7t)
    {
        object->registerParameters(testTexts);
        object->setSampleRate(rate);
    }
    ~Effect() { object->release(); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    ol7t* operator->() const { return object; }
    ol7t& operator*() const { return *object; }

private:
    ol7t* object;
};

// A stereo host: main input, side-chain input, main output.
class Host
{
public:
    explicit Host(ol7t& effect, int32_t blockSize = 512, std::vector<int32_t> inputs = {2, 2},
                  std::vector<int32_t> outputs = {2})
        : effect(effect)
    {
        data.prepare(inputs, outputs, blockSize);
        data.inputParameterChanges = &changes;
    }

    // Queues a change for the next block.
    void change(uint32_t id, double value, int32_t offset = 0)
    {
        int32 index = 0, point = 0;
        changes.addParameterData(id, index)->addPoint(offset, value, point);
    }

    // Runs one block; `fill` writes main and side-chain samples (channel, index).
    void block(const std::function<float(int bus, int channel, int64_t sample)>& fill)
    {
        for (int32 b = 0; b < data.numInputs; ++b) {
            for (int32 c = 0; c < data.inputs[b].numChannels; ++c) {
                float* in = data.inputs[b].channelBuffers32[c];
                if (!in)
                    continue;
                for (int32 i = 0; i < data.numSamples; ++i)
                    in[i] = fill(b, c, position + i);
            }
        }
        effect.process(data);
        changes.clearQueue();
        position += data.numSamples;
    }

    Steinberg::Vst::HostProcessData data;
    Steinberg::Vst::ParameterChanges changes;
    ol7t& effect;
    int64_t position = 0;
};

inline std::function<float(int, int, int64_t)> sine(double amplitude, double frequency, double rate = 44100.0)
{
    return [=](int, int, int64_t n) {
        return static_cast<float>(amplitude * std::sin(6.283185307179586 * frequency * double(n) / rate));
    };
}

inline std::function<float(int, int, int64_t)> silence()
{
    return [](int, int, int64_t) { return 0.f; };
}

// Magnitude in dB of a biquad at `frequency`.
inline double magnitudeDb(const BiquadCoefficients& c, double frequency, double rate)
{
    const double w = 6.283185307179586 * frequency / rate;
    const double cr1 = std::cos(w), ci1 = -std::sin(w), cr2 = std::cos(2 * w), ci2 = -std::sin(2 * w);
    const double nr = c.b0 + c.b1 * cr1 + c.b2 * cr2, ni = c.b1 * ci1 + c.b2 * ci2;
    const double dr = 1.0 + c.a1 * cr1 + c.a2 * cr2, di = c.a1 * ci1 + c.a2 * ci2;
    return 10.0 * std::log10((nr * nr + ni * ni) / (dr * dr + di * di));
}

} // namespace testing_support
