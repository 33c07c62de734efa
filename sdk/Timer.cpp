// A periodic timer driven by polling, for hosts that offer no run loop.
#include "sdk/Timer.h"

namespace Steinberg {

Timer::NowFunction Timer::now = &Timer::Clock::now;

Timer::Timer(ITimerCallback* callback, uint32 periodMs)
    : callback(callback)
    , period(std::chrono::milliseconds(periodMs))
    , lastTick(now())
{
}

void Timer::poll()
{
    const TimePoint current = now();
    for (int n = 0; current - lastTick >= period; ++n) {
        if (n == kMaxCatchUp) {
            // Forget the rest of a long gap rather than replaying it.
            lastTick = current;
            break;
        }
        lastTick += period;
        callback->onTimer(this);
    }
}

} // namespace Steinberg
