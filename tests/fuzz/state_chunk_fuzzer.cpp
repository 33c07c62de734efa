// Fuzz target of the saved-state reader: any bytes are either refused with
// nothing changed, or applied as stored values within 0..1.
#include "core/ol7t.h"

#include "public.sdk/source/common/memorystream.h"

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
    float before[PARAM_COUNT];
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        before[id] = effect->getParamValue(id);
    Steinberg::MemoryStream stream(const_cast<uint8_t*>(data), static_cast<Steinberg::TSize>(size));
    const bool applied = effect->setState(&stream) == Steinberg::kResultOk;
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        const float now = effect->getParamValue(id);
        if (!(now >= 0.f && now <= 1.f) || (!applied && now != before[id]))
            __builtin_trap();
    }
    return 0;
}
