// Host side: one parameter's automation points for a block.
#include "sdk/ParameterValueQueue.h"

namespace Steinberg {
namespace Vst {

IMPLEMENT_FUNKNOWN_METHODS(ParameterValueQueue, IParamValueQueue, IParamValueQueue::iid)

ParameterValueQueue::ParameterValueQueue(ParamID id)
    : paramID(id)
{
    FUNKNOWN_CTOR
    // Room for a block's usual points, so reusing the queue allocates nothing.
    points.reserve(16);
}

int32 PLUGIN_API ParameterValueQueue::getPointCount()
{
    return static_cast<int32>(points.size());
}

tresult PLUGIN_API ParameterValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= getPointCount())
        return kResultFalse;
    sampleOffset = points[index].sampleOffset;
    value = points[index].value;
    return kResultTrue;
}

tresult PLUGIN_API ParameterValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    int32 i = 0;
    while (i < getPointCount() && points[i].sampleOffset < sampleOffset)
        ++i;
    if (i < getPointCount() && points[i].sampleOffset == sampleOffset)
        points[i].value = value;
    else
        points.insert(points.begin() + i, Point{sampleOffset, value});
    index = i;
    return kResultTrue;
}

} // namespace Vst
} // namespace Steinberg
