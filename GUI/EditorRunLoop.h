// Drives the platform layer from a host's Linux run loop: an event handler on
// the display connection and a timer at the period of the layer's fastest
// timer (the meter's tick while a panel shows), both pumping the layer's
// events, timers and repaints on the host's user-interface thread. Nothing
// else wakes the loop. Windows hosts need none of it.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#if SMTG_OS_LINUX
class EditorRunLoop : public Steinberg::FObject,
                      public Steinberg::Linux::IEventHandler,
                      public Steinberg::Linux::ITimerHandler
{
public:
    // Registers with the run loop the frame offers; false when it offers none.
    bool start(Steinberg::IPlugFrame* frame);
    void stop();

    void PLUGIN_API onFDIsSet(Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    void PLUGIN_API onTimer() SMTG_OVERRIDE;

    OBJ_METHODS(EditorRunLoop, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(Steinberg::Linux::IEventHandler)
        DEF_INTERFACE(Steinberg::Linux::ITimerHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    // Pumps, then keeps the host's timer at the layer's period.
    void pump(bool read);

    Steinberg::Linux::IRunLoop* runLoop = nullptr;
    int timerPeriod = -1; // of the registered host timer, -1 when none is registered
    bool watchesConnection = false;
};
#else
// Elsewhere the host's own message loop delivers the layer's messages,
// timers and repaints: there is nothing to register.
class EditorRunLoop : public Steinberg::FObject
{
public:
    bool start(Steinberg::IPlugFrame*) { return false; }
    void stop() {}
};
#endif
