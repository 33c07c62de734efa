// A block's parameter changes without allocation on the audio thread.
#include "sdk/FixedParameterChanges.h"

namespace Steinberg {
namespace Vst {

namespace {

template <typename I>
tresult answerQuery(I* self, const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, I::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        *obj = self;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

} // namespace

void FixedParameterChanges::setCapacity(int32 n)
{
    capacity = n > 0 ? n : 0;
    queues = std::make_unique<SinglePointQueue[]>(capacity);
    count = 0;
}

void FixedParameterChanges::add(ParamID id, ParamValue value)
{
    // A later change of the same parameter replaces the earlier one.
    for (int32 i = 0; i < count; ++i) {
        if (queues[i].id == id) {
            queues[i].value = value;
            return;
        }
    }
    if (count >= capacity)
        return;
    queues[count].id = id;
    queues[count].value = value;
    ++count;
}

IParamValueQueue* PLUGIN_API FixedParameterChanges::getParameterData(int32 index)
{
    return index >= 0 && index < count ? &queues[index] : nullptr;
}

tresult PLUGIN_API FixedParameterChanges::queryInterface(const TUID iid, void** obj)
{
    return answerQuery<IParameterChanges>(this, iid, obj);
}

tresult PLUGIN_API FixedParameterChanges::SinglePointQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& v)
{
    if (index != 0)
        return kResultFalse;
    sampleOffset = 0;
    v = value;
    return kResultOk;
}

tresult PLUGIN_API FixedParameterChanges::SinglePointQueue::queryInterface(const TUID iid, void** obj)
{
    return answerQuery<IParamValueQueue>(this, iid, obj);
}

} // namespace Vst
} // namespace Steinberg
