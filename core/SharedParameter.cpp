// The host parameter shared by the audio and user-interface threads.
#include "core/SharedParameter.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

SharedParameter::SharedParameter(const TChar* title, ParamID tag, int32 stepCount, ParamValue defaultValue,
                                 int32 flags)
    : Parameter(title, tag, STR16(""), defaultValue, stepCount, flags, kRootUnitId)
    , value(defaultValue)
{
}

bool SharedParameter::setNormalized(ParamValue v)
{
    // What the host reads back and the saved state holds is always a number.
    if (!std::isfinite(v))
        return false;
    const ParamValue clamped = std::clamp(v, 0.0, 1.0);
    return value.exchange(clamped, std::memory_order_relaxed) != clamped;
}
