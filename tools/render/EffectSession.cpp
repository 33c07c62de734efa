// The host's side of processing: buses, set-up, the block loop with its
// parameter changes, and an orderly shut-down.
#include "tools/render/EffectSession.h"

#include "sdk/HostProcessData.h"
#include "sdk/ParameterChanges.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The key's sample for channel `channel` of a bus of `busChannels` channels:
// a stereo key on a mono bus is mixed down, a mono key feeds both channels,
// and past the key's end there is silence.
float keySample(const AudioClip& key, size_t busChannels, size_t channel, size_t frame)
{
    if (frame >= key.frames())
        return 0.f;
    if (busChannels == 1 && key.channelCount() == 2)
        return 0.5f * (key.channels[0][frame] + key.channels[1][frame]);
    return key.channels[std::min(channel, key.channelCount() - 1)][frame];
}

int32 busChannelCount(IAudioProcessor& processor, BusDirection direction, int32 bus)
{
    SpeakerArrangement arrangement = 0;
    if (processor.getBusArrangement(direction, bus, arrangement) != kResultOk)
        return 0;
    return SpeakerArr::getChannelCount(arrangement);
}

} // namespace

EffectSession::EffectSession(IPtr<IComponent> effect)
    : component(std::move(effect)), processor(FUnknownPtr<IAudioProcessor>(component))
{
}

EffectSession::~EffectSession()
{
    if (active) {
        processor->setProcessing(false);
        component->setActive(false);
    }
    processor = nullptr;
    component->terminate();
}

std::string EffectSession::start(size_t channels, bool sideChain, int sampleRate, int block)
{
    if (!processor)
        return "the effect has no audio processor interface";
    SpeakerArrangement arrangement = channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    SpeakerArrangement inputs[2] = {arrangement, arrangement};
    const int32 inputCount = sideChain ? 2 : 1;
    if (processor->setBusArrangements(inputs, inputCount, &arrangement, 1) != kResultOk)
        return "the effect refused the bus arrangement";
    // The effect may keep buses we did not ask for; what counts is what it reports.
    if (busChannelCount(*processor, kOutput, 0) != static_cast<int32>(channels) ||
        busChannelCount(*processor, kInput, 0) != static_cast<int32>(channels))
        return "the effect did not take " + std::string(channels == 1 ? "mono" : "stereo") + " buses";
    if (sideChain && component->getBusCount(kAudio, kInput) < 2)
        return "the effect offers no side-chain input";

    ProcessSetup setup{kOffline, kSample32, block, static_cast<SampleRate>(sampleRate)};
    if (processor->setupProcessing(setup) != kResultOk)
        return "the effect refused to process at " + std::to_string(sampleRate) + " Hz";
    if (component->setActive(true) != kResultOk)
        return "the effect could not be activated";
    active = true;
    processor->setProcessing(true);
    blockSize = block;
    return {};
}

void EffectSession::render(const AudioClip& input, const AudioClip* key,
                           const std::array<double, PARAM_COUNT>& parameters, AudioClip& output,
                           const Progress& progress)
{
    HostProcessData data;
    data.prepare(*component, *processor, blockSize);
    data.processMode = kOffline;

    ParameterChanges changes;
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        int32 index = 0;
        if (IParamValueQueue* queue = changes.addParameterData(id, index))
            queue->addPoint(0, parameters[id], index);
    }

    const size_t channels = input.channelCount();
    const int32 auxChannels = data.numInputs > 1 ? data.inputs[1].numChannels : 0;
    output = AudioClip(input.sampleRate, channels, input.frames());
    for (size_t start = 0; start < input.frames(); start += static_cast<size_t>(blockSize)) {
        const size_t count = std::min(static_cast<size_t>(blockSize), input.frames() - start);
        for (size_t c = 0; c < channels; ++c)
            std::copy_n(input.channels[c].begin() + start, count, data.input(0, static_cast<int32>(c)));
        for (int32 c = 0; c < auxChannels; ++c)
            for (size_t i = 0; i < count; ++i)
                data.input(1, c)[i] =
                    key ? keySample(*key, static_cast<size_t>(auxChannels), static_cast<size_t>(c), start + i) : 0.f;

        data.numSamples = static_cast<int32>(count);
        data.inputParameterChanges = start == 0 ? &changes : nullptr;
        processor->process(data);

        for (size_t c = 0; c < channels; ++c)
            std::copy_n(data.output(0, static_cast<int32>(c)), count, output.channels[c].begin() + start);
        if (progress)
            progress(static_cast<double>(start + count) / static_cast<double>(input.frames()));
    }
}
