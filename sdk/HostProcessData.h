// Host side: ProcessData with its own 32-bit audio buffers, laid out bus by
// bus as a host lays them out for a processor's `process` call.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <vector>

namespace Steinberg {
namespace Vst {

class HostProcessData : public ProcessData
{
public:
    HostProcessData();
    HostProcessData(const HostProcessData&) = delete;
    HostProcessData& operator=(const HostProcessData&) = delete;

    // One bus per entry with that many channels, each channel `maxSamples`
    // long and zeroed.
    void prepare(const std::vector<int32>& inputChannels, const std::vector<int32>& outputChannels,
                 int32 maxSamples);
    // Buses as the component reports its audio buses and their arrangements.
    void prepare(IComponent& component, IAudioProcessor& processor, int32 maxSamples);

    float* input(int32 bus, int32 channel) const;
    float* output(int32 bus, int32 channel) const;
    // Hosts sometimes pass a null channel pointer; this lets a caller do so.
    void setInputChannelPointer(int32 bus, int32 channel, float* pointer);
    int32 maxSamples() const { return capacity; }

private:
    void build(std::vector<AudioBusBuffers>& buses, std::vector<std::vector<float*>>& pointers,
               const std::vector<int32>& channels);

    int32 capacity = 0;
    std::vector<std::vector<float>> storage;
    std::vector<std::vector<float*>> inputPointers;
    std::vector<std::vector<float*>> outputPointers;
    std::vector<AudioBusBuffers> inputBuses;
    std::vector<AudioBusBuffers> outputBuses;
};

} // namespace Vst
} // namespace Steinberg
