// Lock-free hand-over of parameter values between threads.
#include "sdk/ParameterTransfer.h"

namespace Steinberg {
namespace Vst {

void ParameterTransfer::setParameterIds(const std::vector<ParamID>& parameterIds)
{
    ids = parameterIds;
    slots = std::make_unique<Slot[]>(ids.size());
}

void ParameterTransfer::addChange(int32 index, ParamValue value)
{
    if (index < 0 || index >= size())
        return;
    slots[index].value.store(value, std::memory_order_relaxed);
    slots[index].changed.store(true, std::memory_order_release);
}

void ParameterTransfer::discardChange(int32 index)
{
    if (index >= 0 && index < size())
        slots[index].changed.store(false, std::memory_order_relaxed);
}

} // namespace Vst
} // namespace Steinberg
