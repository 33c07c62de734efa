// Host side: audio buffers and bus records for a processor's `process` call.
#include "sdk/HostProcessData.h"

#include "pluginterfaces/vst/vstspeaker.h"

namespace Steinberg {
namespace Vst {

HostProcessData::HostProcessData()
    : ProcessData()
{
    symbolicSampleSize = kSample32;
    processMode = kRealtime;
}

void HostProcessData::build(std::vector<AudioBusBuffers>& buses, std::vector<std::vector<float*>>& pointers,
                            const std::vector<int32>& channels)
{
    buses.assign(channels.size(), AudioBusBuffers{});
    pointers.assign(channels.size(), {});
    for (size_t b = 0; b < channels.size(); ++b) {
        for (int32 c = 0; c < channels[b]; ++c) {
            storage.emplace_back(static_cast<size_t>(capacity), 0.f);
            pointers[b].push_back(storage.back().data());
        }
        buses[b].numChannels = channels[b];
        buses[b].channelBuffers32 = pointers[b].empty() ? nullptr : pointers[b].data();
    }
}

void HostProcessData::prepare(const std::vector<int32>& inputChannels, const std::vector<int32>& outputChannels,
                              int32 maxSamples)
{
    capacity = maxSamples;
    storage.clear();
    build(inputBuses, inputPointers, inputChannels);
    build(outputBuses, outputPointers, outputChannels);
    numInputs = static_cast<int32>(inputBuses.size());
    numOutputs = static_cast<int32>(outputBuses.size());
    inputs = inputBuses.empty() ? nullptr : inputBuses.data();
    outputs = outputBuses.empty() ? nullptr : outputBuses.data();
    numSamples = maxSamples;
}

void HostProcessData::prepare(IComponent& component, IAudioProcessor& processor, int32 maxSamples)
{
    auto channelsOf = [&](BusDirection dir) {
        std::vector<int32> channels;
        for (int32 i = 0; i < component.getBusCount(kAudio, dir); ++i) {
            SpeakerArrangement arr = 0;
            processor.getBusArrangement(dir, i, arr);
            channels.push_back(SpeakerArr::getChannelCount(arr));
        }
        return channels;
    };
    prepare(channelsOf(kInput), channelsOf(kOutput), maxSamples);
}

float* HostProcessData::input(int32 bus, int32 channel) const
{
    return inputPointers.at(bus).at(channel);
}

float* HostProcessData::output(int32 bus, int32 channel) const
{
    return outputPointers.at(bus).at(channel);
}

void HostProcessData::setInputChannelPointer(int32 bus, int32 channel, float* pointer)
{
    inputPointers.at(bus).at(channel) = pointer;
}

} // namespace Vst
} // namespace Steinberg
