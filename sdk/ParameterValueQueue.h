// Host side: the automation points of one parameter for one block, as a host
// hands them to a processor.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace Steinberg {
namespace Vst {

class ParameterValueQueue : public IParamValueQueue
{
public:
    explicit ParameterValueQueue(ParamID paramID);
    virtual ~ParameterValueQueue() = default;

    ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return paramID; }
    int32 PLUGIN_API getPointCount() SMTG_OVERRIDE;
    tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) SMTG_OVERRIDE;
    // Keeps the points ordered by offset; a point at an existing offset replaces it.
    tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) SMTG_OVERRIDE;

    void setParamID(ParamID id) { paramID = id; }
    void clear() { points.clear(); }

    DECLARE_FUNKNOWN_METHODS

private:
    struct Point
    {
        int32 sampleOffset;
        ParamValue value;
    };

    ParamID paramID;
    std::vector<Point> points;
};

} // namespace Vst
} // namespace Steinberg
