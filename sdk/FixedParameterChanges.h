// The parameter changes of one block as a wrapper hands them to a processor:
// at most one point per parameter, in storage sized once, so that filling it
// on the audio thread allocates nothing.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>

namespace Steinberg {
namespace Vst {

class FixedParameterChanges : public IParameterChanges
{
public:
    FixedParameterChanges() = default;
    virtual ~FixedParameterChanges() = default;
    FixedParameterChanges(const FixedParameterChanges&) = delete;
    FixedParameterChanges& operator=(const FixedParameterChanges&) = delete;

    // Room for `capacity` parameters; empties the list.
    void setCapacity(int32 capacity);
    void clear() { count = 0; }
    // Adds a change at offset 0, or replaces the parameter's earlier one;
    // ignored when the list is full.
    void add(ParamID id, ParamValue value);

    int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return count; }
    IParamValueQueue* PLUGIN_API getParameterData(int32 index) SMTG_OVERRIDE;
    // The wrapper fills the list itself; a processor cannot add to it.
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID&, int32& index) SMTG_OVERRIDE
    {
        index = -1;
        return nullptr;
    }

    // Owned by the wrapper, never by reference count.
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    class SinglePointQueue : public IParamValueQueue
    {
    public:
        ParamID id = 0;
        ParamValue value = 0;

        ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return id; }
        int32 PLUGIN_API getPointCount() SMTG_OVERRIDE { return 1; }
        tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& v) SMTG_OVERRIDE;
        tresult PLUGIN_API addPoint(int32, ParamValue, int32& index) SMTG_OVERRIDE
        {
            index = -1;
            return kResultFalse;
        }
        tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
        uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
        uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }
    };

    std::unique_ptr<SinglePointQueue[]> queues;
    int32 capacity = 0;
    int32 count = 0;
};

} // namespace Vst
} // namespace Steinberg
