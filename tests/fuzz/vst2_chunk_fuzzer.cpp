// Fuzz target of the VST 2 chunk reader: any bytes either fail to split, or
// split into two parts that lie inside the chunk and join back into its start.
// (What the effect makes of the component part is the state reader's own fuzz
// target.)
#include "sdk/Vst2Chunk.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> component;
    std::span<const uint8_t> controller;
    if (!Steinberg::Vst2Chunk::split({data, size}, component, controller))
        return 0;
    const size_t used = Steinberg::Vst2Chunk::kHeaderSize + component.size() + controller.size();
    if (used > size || component.data() != data + Steinberg::Vst2Chunk::kHeaderSize)
        __builtin_trap();
    const std::vector<uint8_t> joined = Steinberg::Vst2Chunk::join(component, controller);
    if (!std::equal(joined.begin(), joined.end(), data, data + used))
        __builtin_trap();
    return 0;
}
