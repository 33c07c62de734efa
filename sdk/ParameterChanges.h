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

    // Empties the block's queues for the next one. The queues themselves are
    // kept for reuse, so a steady stream of changes allocates nothing.
    void clearQueue() { used = 0; }

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<std::unique_ptr<ParameterValueQueue>> queues;
    int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
