// Fuzz target of the saved-state reader: any bytes are either refused with
// nothing changed, or applied leaving finite control values.
#include "core/ol7t.h"

#include "public.sdk/source/common/memorystream.h"

#include <cmath>
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
    const float before = effect->getParamValue(PARAM_GAIN);
    Steinberg::MemoryStream stream(const_cast<uint8_t*>(data), static_cast<Steinberg::TSize>(size));
    const Steinberg::tresult result = effect->setState(&stream);
    if (result != Steinberg::kResultOk && effect->getParamValue(PARAM_GAIN) != before)
        __builtin_trap();
    if (!std::isfinite(double(effect->gainTarget)) || !std::isfinite(double(effect->thresholdLin)))
        __builtin_trap();
    return 0;
}
