// Host side: the parameter changes of one block, one queue per parameter, as
// a host passes them in ProcessData.
#pragma once

#include "sdk/ParameterValueQueue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <vector>

namespace Steinberg {
namespace Vst {

class ParameterChanges : public IParameterChanges
{
public:
    ParameterChanges() { FUNKNOWN_CTOR }
    virtual ~ParameterChanges() = default;

    int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE;
    IParamValueQueue* PLUGIN_API getParameterData(int32 index) SMTG_OVERRIDE;
    // Returns the queue of `id`, adding one when the block has none yet.
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) SMTG_OVERRIDE;

    // Empties every queue for the next block.
    void clearQueue() { queues.clear(); }

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<std::unique_ptr<ParameterValueQueue>> queues;
};

} // namespace Vst
} // namespace Steinberg
