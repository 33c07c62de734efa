// Host side: the block's parameter queues.
#include "sdk/ParameterChanges.h"

namespace Steinberg {
namespace Vst {

IMPLEMENT_FUNKNOWN_METHODS(ParameterChanges, IParameterChanges, IParameterChanges::iid)

int32 PLUGIN_API ParameterChanges::getParameterCount()
{
    return used;
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= getParameterCount())
        return nullptr;
    return queues[index].get();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (int32 i = 0; i < getParameterCount(); ++i) {
        if (queues[i]->getParameterId() == id) {
            index = i;
            return queues[i].get();
        }
    }
    if (used == static_cast<int32>(queues.size()))
        queues.push_back(std::make_unique<ParameterValueQueue>(id));
    ParameterValueQueue* queue = queues[used].get();
    queue->setParamID(id);
    queue->clear();
    index = used++;
    return queue;
}

} // namespace Vst
} // namespace Steinberg
