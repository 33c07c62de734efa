// The effect's audio processing as the host drives it: parameter changes at
// the block start, the detector source, the signal model straight from the
// host's float channels into its outputs, and the block's meter values.
#include "core/ol7t.h"

#include "core/NormalizedValue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg::Vst;

namespace {

// Output levels referred to +4 dB and +10 dB reach the needle scaled up.
const float kOutput4DbScale = powf(10.f, 0.95f);
const float kOutput10DbScale = powf(10.f, 0.65f);

float levelScaleFor(int32_t meterMode)
{
    switch (meterMode) {
    case 2:
        return kOutput4DbScale;
    case 3:
        return kOutput10DbScale;
    default:
        return 1.f;
    }
}

// Replaces the samples of an output channel that are not numbers by 0 and
// returns the largest magnitude left; 0 for a missing channel.
float clearNonFinite(float* samples, int32_t n)
{
    float peak = 0.f;
    for (int32_t i = 0; samples && i < n; ++i) {
        samples[i] = std::isfinite(samples[i]) ? samples[i] : 0.f;
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

void passThrough(const float* in, float* out, int32_t n)
{
    if (!out || in == out)
        return;
    if (in)
        std::copy(in, in + n, out);
    else
        std::fill(out, out + n, 0.f);
}

float* channelOf(const AudioBusBuffers& bus, int32_t index)
{
    return bus.numChannels > index && bus.channelBuffers32 ? bus.channelBuffers32[index] : nullptr;
}

} // namespace

tresult PLUGIN_API ol7t::setupProcessing(ProcessSetup& setup)
{
    // The rate is adopted even when the sample size is then refused.
    setSampleRate(static_cast<float>(setup.sampleRate));
    return SingleComponentEffect::setupProcessing(setup);
}

tresult PLUGIN_API ol7t::process(ProcessData& data)
{
    // Every change takes effect at the block start, for the whole block: the
    // last point of each queue wins.
    if (IParameterChanges* changes = data.inputParameterChanges) {
        const int32 queues = changes->getParameterCount();
        for (int32 q = 0; q < queues; ++q) {
            IParamValueQueue* queue = changes->getParameterData(q);
            if (!queue)
                continue;
            const int32 points = queue->getPointCount();
            int32 offset = 0;
            ParamValue value = 0;
            if (points <= 0 || queue->getPoint(points - 1, offset, value) != kResultTrue)
                continue;
            // Held to range before it is narrowed to a float, which a value
            // far outside would overflow.
            if (const std::optional<double> held = heldToNormalizedRange(value))
                applyParameter(queue->getParameterId(), static_cast<float>(*held));
        }
    }

    if (data.numInputs == 0 || data.numOutputs == 0 || !data.inputs || !data.outputs)
        return kResultOk;

    const int32_t n = std::max(data.numSamples, 0);
    const float* inL = channelOf(data.inputs[0], 0);
    const float* inR = channelOf(data.inputs[0], 1);
    float* outL = channelOf(data.outputs[0], 0);
    float* outR = channelOf(data.outputs[0], 1);

    const bool on = enabled;
    float peak = 0.f;
    float minGain = 1.f;
    if (on) {
        // The detector hears the side chain when it is switched on and the
        // host supplies it; a missing auxiliary channel falls back to the main
        // signal (left) or to the auxiliary left channel (right).
        const float* detL = inL;
        const float* detR = inR;
        if (sideChainOn && data.numInputs > 1) {
            const float* auxL = channelOf(data.inputs[1], 0);
            const float* auxR = channelOf(data.inputs[1], 1);
            detL = auxL ? auxL : inL;
            detR = auxR ? auxR : detL;
        }
        // The model reads the host's channels and writes its outputs itself,
        // so no block-sized work buffers exist and nothing is copied twice.
        const ModelChannels<float> channels{{inL, inR}, {detL, detR}, {outL, outR}};
        if (!processModel(channels, n, peak)) {
            // The block in which the model had to start again reaches the
            // host with only its samples that are numbers.
            peak = std::max(clearNonFinite(outL, n), clearNonFinite(outR, n));
        }
        peak *= levelScaleFor(meterMode);
        if (outL && n > 0)
            minGain = std::min(1.f, static_cast<float>(cellGain));
    } else {
        // Bypassed: the input unchanged, a missing channel as silence.
        passThrough(inL, outL, n);
        passThrough(inR, outR, n);
    }

    meterPeak = peak;
    meterMinGain = minGain;
    meterFresh = true;
    sampleCounter += static_cast<uint64_t>(n);
    return kResultOk;
}
