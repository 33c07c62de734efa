// The effect's audio processing as the host drives it: parameter changes at
// the block start, float buffers to doubles and back, the detector source,
// the signal model, and the block's meter values.
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

void toDoubles(const float* in, double* out, int32_t n)
{
    std::copy(in, in + n, out);
}

// Writes a channel back as floats and returns its largest scaled level.
float toFloatsMeasuring(const double* in, float* out, int32_t n, float scale)
{
    float peak = 0.f;
    for (int32_t i = 0; i < n; ++i) {
        out[i] = static_cast<float>(in[i]);
        peak = std::max(peak, std::fabs(out[i]) * scale);
    }
    return peak;
}

// One sample that is not a finite number would stay in the filters' and the
// cell's memory for good and silence the effect: such samples enter as 0.
void clearNonFinite(double* samples, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        samples[i] = std::isfinite(samples[i]) ? samples[i] : 0.0;
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

void ol7t::prepareBuffers(int32_t n)
{
    if (capacity >= n && n != 0)
        return;
    for (int c = 0; c < 2; ++c) {
        mainBuffer[c].reset();
        detectorBuffer[c].reset();
    }
    if (n > 0) {
        for (int c = 0; c < 2; ++c) {
            mainBuffer[c] = std::make_unique<double[]>(static_cast<size_t>(n));
            detectorBuffer[c] = std::make_unique<double[]>(static_cast<size_t>(n));
        }
    }
    capacity = std::max(n, 0);
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
    prepareBuffers(n);

    double* mainL = mainBuffer[0].get();
    double* mainR = mainBuffer[1].get();
    double* detL = detectorBuffer[0].get();
    double* detR = detectorBuffer[1].get();

    const float* inL = channelOf(data.inputs[0], 0);
    const float* inR = channelOf(data.inputs[0], 1);
    float* outL = channelOf(data.outputs[0], 0);
    float* outR = channelOf(data.outputs[0], 1);

    if (n > 0) {
        // A missing input channel is silence.
        if (inL)
            toDoubles(inL, mainL, n);
        else
            std::fill(mainL, mainL + n, 0.0);
        if (inR)
            toDoubles(inR, mainR, n);
        else
            std::fill(mainR, mainR + n, 0.0);

        // The detector hears the side chain when it is switched on and the
        // host supplies it; a missing auxiliary channel falls back to the main
        // signal (left) or to the auxiliary left channel (right).
        const float* auxL = nullptr;
        const float* auxR = nullptr;
        const bool useSideChain = sideChainOn && data.numInputs > 1;
        if (useSideChain) {
            auxL = channelOf(data.inputs[1], 0);
            auxR = channelOf(data.inputs[1], 1);
        }
        if (useSideChain && auxL)
            toDoubles(auxL, detL, n);
        else
            std::copy(mainL, mainL + n, detL);
        if (useSideChain && auxR)
            toDoubles(auxR, detR, n);
        else
            std::copy(useSideChain ? detL : mainR, (useSideChain ? detL : mainR) + n, detR);
    }

    const bool on = enabled;
    if (on) {
        for (double* channel : {mainL, mainR, detL, detR})
            clearNonFinite(channel, n);
        // The block in which the model had to start again reaches the host
        // with only its samples that are numbers.
        if (!processModel(mainL, mainR, detL, detR, n)) {
            clearNonFinite(mainL, n);
            clearNonFinite(mainR, n);
        }
    }

    const float scale = levelScaleFor(meterMode);
    float peak = 0.f;
    float minGain = 1.f;
    if (outL && n > 0) {
        peak = toFloatsMeasuring(mainL, outL, n, scale);
        minGain = std::min(1.f, static_cast<float>(cellGain));
    }
    if (outR && n > 0)
        peak = std::max(peak, toFloatsMeasuring(mainR, outR, n, scale));

    meterPeak = on ? peak : 0.f;
    meterMinGain = on ? minGain : 1.f;
    meterFresh = true;
    sampleCounter += static_cast<uint64_t>(n);
    return kResultOk;
}
