// A periodic timer without a thread or a platform timer of its own: whoever
// owns it polls it from calls that arrive on the user-interface thread, and it
// runs its callback once for every whole period elapsed since it last did.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <chrono>

namespace Steinberg {

class Timer;

class ITimerCallback
{
public:
    virtual void onTimer(Timer* timer) = 0;
    virtual ~ITimerCallback() = default;
};

class Timer
{
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using NowFunction = TimePoint (*)();

    Timer(ITimerCallback* callback, uint32 periodMs);

    // Runs the callback for each period that ended since the last one run, at
    // most kMaxCatchUp times per poll: after a long gap in polling, the missed
    // periods are caught up (a stalled host gets a bounded burst, not a loop).
    void poll();
    // The end of the period whose callback is running.
    TimePoint tickTime() const { return lastTick; }

    // The clock every timer reads; a test may put a clock of its own here.
    static NowFunction now;
    static constexpr int kMaxCatchUp = 64;

private:
    ITimerCallback* callback;
    Clock::duration period;
    TimePoint lastTick;
};

} // namespace Steinberg
