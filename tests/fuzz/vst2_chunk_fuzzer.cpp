// Fuzz target of the VST 2 chunk reader: any bytes either fail to split, or
// split into two parts inside the chunk that join back into its start; the
// component part then goes to the effect as a saved state.
#include "core/ol7t.h"
#include "sdk/Vst2Chunk.h"

#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ol7t* effect = [] {
        auto* e = new ol7t;
        e->registerParameters(nullptr);
        e->setSampleRate(44100.f);
        return e;
    }();
    std::span<const uint8_t> chunk(data, size);
    std::span<const uint8_t> component;
    std::span<const uint8_t> controller;
    if (!Steinberg::Vst2Chunk::split(chunk, component, controller))
        return 0;
    const size_t used = Steinberg::Vst2Chunk::kHeaderSize + component.size() + controller.size();
    if (used > size)
        __builtin_trap();
    const std::vector<uint8_t> joined = Steinberg::Vst2Chunk::join(component, controller);
    if (!std::equal(joined.begin(), joined.end(), data, data + used))
        __builtin_trap();

    const float before = effect->getParamValue(PARAM_GAIN);
    Steinberg::MemoryStream stream(const_cast<uint8_t*>(component.data()), static_cast<Steinberg::TSize>(component.size()));
    if (effect->setState(&stream) != Steinberg::kResultOk && effect->getParamValue(PARAM_GAIN) != before)
        __builtin_trap();
    return 0;
}
