// The run loop that the LV2 and CLAP adapters poll on the host's UI thread.
#include "adapters/hosted/PolledRunLoop.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Linux;

TimerInterval PolledRunLoop::shortestInterval() const
{
    TimerInterval shortest = 0;
    for (const TimerEntry& t : timerHandlers)
        shortest = shortest == 0 ? t.interval : std::min(shortest, t.interval);
    return shortest;
}

void PolledRunLoop::poll()
{
    // A handler may unregister itself or another one while it runs: each list
    // is walked over a copy, skipping handlers that have gone meanwhile.
    const std::vector<EventEntry> events = eventHandlers;
    for (const EventEntry& e : events) {
        if (std::any_of(eventHandlers.begin(), eventHandlers.end(), [&](const EventEntry& x) { return x.handler == e.handler; }))
            e.handler->onFDIsSet(e.fd);
    }
    const std::vector<TimerEntry> timers = timerHandlers;
    for (const TimerEntry& t : timers) {
        if (std::any_of(timerHandlers.begin(), timerHandlers.end(), [&](const TimerEntry& x) { return x.handler == t.handler; }))
            t.handler->onTimer();
    }
}

tresult PLUGIN_API PolledRunLoop::registerEventHandler(IEventHandler* handler, FileDescriptor fd)
{
    if (!handler)
        return kInvalidArgument;
    eventHandlers.push_back({handler, fd});
    return kResultOk;
}

tresult PLUGIN_API PolledRunLoop::unregisterEventHandler(IEventHandler* handler)
{
    std::erase_if(eventHandlers, [handler](const EventEntry& e) { return e.handler == handler; });
    return kResultOk;
}

tresult PLUGIN_API PolledRunLoop::registerTimer(ITimerHandler* handler, TimerInterval milliseconds)
{
    if (!handler || milliseconds == 0)
        return kInvalidArgument;
    timerHandlers.push_back({handler, milliseconds});
    return kResultOk;
}

tresult PLUGIN_API PolledRunLoop::unregisterTimer(ITimerHandler* handler)
{
    std::erase_if(timerHandlers, [handler](const TimerEntry& t) { return t.handler == handler; });
    return kResultOk;
}

tresult PLUGIN_API PolledRunLoop::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IRunLoop)
    QUERY_INTERFACE(iid, obj, IRunLoop::iid, IRunLoop)
    *obj = nullptr;
    return kNoInterface;
}
