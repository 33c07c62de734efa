// The host side of an editor window: the IPlugFrame a view asks for its run
// loop, and on Linux the run loop itself, polling the registered descriptors
// and firing the registered timers on the caller's thread.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <vector>

#if SMTG_OS_LINUX
class HostFrame : public Steinberg::FObject, public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop
{
public:
    HostFrame() = default;
    ~HostFrame() override;

    // Runs the loop for the given time.
    void run(int milliseconds);
    size_t eventHandlerCount() const { return eventHandlers.size(); }
    size_t timerCount() const { return timers.size(); }
    // The registered timers' periods in milliseconds.
    std::vector<long> timerPeriods() const
    {
        std::vector<long> periods;
        for (const Timer& t : timers)
            periods.push_back(static_cast<long>(t.interval.count()));
        return periods;
    }
    // Timer callbacks made so far: the wakeups the registered timers cost.
    size_t timerFires() const { return fires; }
    // CPU milliseconds of this thread spent inside the registered handlers:
    // the view's own cost of the loop, without the host's.
    double handlerCpuMs() const { return handlerCpu; }
    // How often the loop has woken since it was made.
    size_t wakeupCount() const { return wakeups; }

    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) SMTG_OVERRIDE;

    OBJ_METHODS(HostFrame, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(Steinberg::IPlugFrame)
        DEF_INTERFACE(Steinberg::Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    using Clock = std::chrono::steady_clock;
    size_t fires = 0;
    double handlerCpu = 0;
    struct EventHandler
    {
        Steinberg::Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer
    {
        Steinberg::Linux::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    void fireDueTimers();
    int millisecondsToNextTimer(Clock::time_point end) const;

    std::vector<EventHandler> eventHandlers;
    std::vector<Timer> timers;
    size_t wakeups = 0;
};
#else
// Elsewhere the host's message loop delivers the editor's messages and timers:
// the frame only resizes, and running it pumps the thread's messages
// (HostFrameWin32.cpp).
class HostFrame : public Steinberg::FObject, public Steinberg::IPlugFrame
{
public:
    // Runs the message loop for the given time.
    void run(int milliseconds);

    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

    OBJ_METHODS(HostFrame, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(Steinberg::IPlugFrame)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)
};
#endif
