// The screenshot tool's run loop: it sleeps until its next timer is due
// rather than spinning through the last part of every millisecond.
#include "tools/shot/HostFrame.h"

#include <gtest/gtest.h>

namespace {

class CountingTimer : public Steinberg::FObject, public Steinberg::Linux::ITimerHandler
{
public:
    void PLUGIN_API onTimer() override { ++fired; }
    int fired = 0;

    OBJ_METHODS(CountingTimer, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(Steinberg::Linux::ITimerHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)
};

TEST(HostFrame, WakesOnlyAboutOnceForEachTimerTick)
{
    Steinberg::IPtr<HostFrame> frame = Steinberg::owned(new HostFrame);
    Steinberg::IPtr<CountingTimer> timer = Steinberg::owned(new CountingTimer);
    ASSERT_EQ(frame->registerTimer(timer, 10), Steinberg::kResultOk);
    frame->run(200);
    EXPECT_GE(timer->fired, 5);
    // A loop that rounds waits under 1 ms down to 0 wakes thousands of times.
    EXPECT_LE(frame->wakeupCount(), 3u * static_cast<size_t>(timer->fired) + 3u);
    frame->unregisterTimer(timer);
}

} // namespace
