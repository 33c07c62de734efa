// A Linux run loop for hosts that call the plug-in back instead of watching
// its file descriptors: the editor registers its handlers as with a VST 3
// host, and every poll serves them all (the editor's handlers pump whatever
// is pending, so a poll without news costs little).
#pragma once

#include "pluginterfaces/gui/iplugview.h"

#include <vector>

class PolledRunLoop : public Steinberg::Linux::IRunLoop
{
public:
    // The shortest period asked for, in milliseconds; 0 while no timer runs.
    Steinberg::Linux::TimerInterval shortestInterval() const;
    // The host's call-back: every handler once.
    void poll();

    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) SMTG_OVERRIDE;

    // Owned by its adapter, never by reference count.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    struct EventEntry
    {
        Steinberg::Linux::IEventHandler* handler;
        Steinberg::Linux::FileDescriptor fd;
    };
    struct TimerEntry
    {
        Steinberg::Linux::ITimerHandler* handler;
        Steinberg::Linux::TimerInterval interval;
    };
    std::vector<EventEntry> eventHandlers;
    std::vector<TimerEntry> timerHandlers;
};
