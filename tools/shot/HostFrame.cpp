// A small run loop over poll(2) for the screenshot tool and the editor tests.
#include "tools/shot/HostFrame.h"

#include <poll.h>
#include <time.h>

#include <algorithm>

using namespace Steinberg;

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

} // namespace

HostFrame::~HostFrame()
{
    for (auto& e : eventHandlers)
        e.handler->release();
    for (auto& t : timers)
        t.handler->release();
}

tresult PLUGIN_API HostFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    return view && newSize ? view->onSize(newSize) : kInvalidArgument;
}

tresult PLUGIN_API HostFrame::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
    if (!handler || fd < 0)
        return kInvalidArgument;
    handler->addRef();
    eventHandlers.push_back({handler, fd});
    return kResultOk;
}

tresult PLUGIN_API HostFrame::unregisterEventHandler(Linux::IEventHandler* handler)
{
    auto it = std::find_if(eventHandlers.begin(), eventHandlers.end(),
                           [handler](const EventHandler& e) { return e.handler == handler; });
    if (it == eventHandlers.end())
        return kResultFalse;
    it->handler->release();
    eventHandlers.erase(it);
    return kResultOk;
}

tresult PLUGIN_API HostFrame::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds)
{
    if (!handler)
        return kInvalidArgument;
    handler->addRef();
    const std::chrono::milliseconds interval(std::max<Linux::TimerInterval>(milliseconds, 1));
    timers.push_back({handler, interval, Clock::now() + interval});
    return kResultOk;
}

tresult PLUGIN_API HostFrame::unregisterTimer(Linux::ITimerHandler* handler)
{
    auto it = std::find_if(timers.begin(), timers.end(), [handler](const Timer& t) { return t.handler == handler; });
    if (it == timers.end())
        return kResultFalse;
    it->handler->release();
    timers.erase(it);
    return kResultOk;
}

int HostFrame::millisecondsToNextTimer(Clock::time_point end) const
{
    Clock::time_point next = end;
    for (const Timer& t : timers)
        next = std::min(next, t.due);
    // Rounded up: a wait cut short would spin until the timer is due.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::max<long long>(wait, 0));
}

void HostFrame::fireDueTimers()
{
    const Clock::time_point now = Clock::now();
    // A handler may unregister itself or others: work on a copy of the due ones.
    std::vector<Linux::ITimerHandler*> due;
    for (Timer& t : timers) {
        if (t.due <= now) {
            due.push_back(t.handler);
            t.due = now + t.interval;
        }
    }
    for (Linux::ITimerHandler* handler : due) {
        auto still = std::find_if(timers.begin(), timers.end(), [handler](const Timer& t) { return t.handler == handler; });
        if (still != timers.end()) {
            ++fires;
            const double start = threadCpuMs();
            handler->onTimer();
            handlerCpu += threadCpuMs() - start;
        }
    }
}

void HostFrame::run(int milliseconds)
{
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        ++wakeups;
        std::vector<pollfd> fds;
        for (const EventHandler& e : eventHandlers)
            fds.push_back({e.fd, POLLIN, 0});
        const std::vector<EventHandler> polled = eventHandlers;
        poll(fds.data(), fds.size(), millisecondsToNextTimer(end));
        for (size_t i = 0; i < fds.size(); ++i) {
            // A handler may have gone meanwhile.
            const bool registered = std::any_of(eventHandlers.begin(), eventHandlers.end(), [&](const EventHandler& e) {
                return e.handler == polled[i].handler;
            });
            if (registered && (fds[i].revents & POLLIN)) {
                const double start = threadCpuMs();
                polled[i].handler->onFDIsSet(fds[i].fd);
                handlerCpu += threadCpuMs() - start;
            }
        }
        fireDueTimers();
    } while (Clock::now() < end);
}
