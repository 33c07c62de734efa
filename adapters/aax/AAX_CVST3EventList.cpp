// Host side: one block's VST 3 events.
#include "adapters/aax/AAX_CVST3EventList.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

AAX_CVST3EventList::AAX_CVST3EventList()
{
    events.reserve(kMaxEvents);
}

int32 PLUGIN_API AAX_CVST3EventList::getEventCount()
{
    return static_cast<int32>(events.size());
}

tresult PLUGIN_API AAX_CVST3EventList::getEvent(int32 index, Event& e)
{
    if (index < 0 || index >= getEventCount())
        return kResultFalse;
    e = events[static_cast<size_t>(index)];
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3EventList::addEvent(Event& e)
{
    if (getEventCount() >= kMaxEvents)
        return kResultFalse;
    events.push_back(e);
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3EventList::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IEventList)
    QUERY_INTERFACE(iid, obj, IEventList::iid, IEventList)
    *obj = nullptr;
    return kNoInterface;
}
