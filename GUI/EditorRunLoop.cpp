// The run-loop glue between a host and the platform layer.
#include "GUI/EditorRunLoop.h"

#include "pal/PalRunLoop.h"

using namespace Steinberg;

bool EditorRunLoop::start(IPlugFrame* frame)
{
    stop();
    void* obj = nullptr;
    if (!frame || frame->queryInterface(Linux::IRunLoop::iid, &obj) != kResultOk || !obj)
        return false;
    runLoop = static_cast<Linux::IRunLoop*>(obj);
    const int fd = ZVNPal::GetEventFileDescriptor();
    watchesConnection = fd >= 0 && runLoop->registerEventHandler(this, fd) == kResultOk;
    pump(true);
    return true;
}

void EditorRunLoop::stop()
{
    if (!runLoop)
        return;
    if (watchesConnection)
        runLoop->unregisterEventHandler(this);
    watchesConnection = false;
    if (timerPeriod >= 0)
        runLoop->unregisterTimer(this);
    timerPeriod = -1;
    runLoop->release();
    runLoop = nullptr;
}

void EditorRunLoop::pump(bool read)
{
    if (read)
        ZVNPal::PumpEvents();
    else
        ZVNPal::PumpQueuedEvents();
    if (!runLoop)
        return;
    const int period = ZVNPal::GetTimerPeriod();
    if (period == timerPeriod)
        return;
    if (timerPeriod >= 0)
        runLoop->unregisterTimer(this);
    if (period >= 0)
        runLoop->registerTimer(this, static_cast<Linux::TimerInterval>(period));
    timerPeriod = period;
}

void PLUGIN_API EditorRunLoop::onFDIsSet(Linux::FileDescriptor)
{
    pump(true);
}

// The connection wakes its own handler; a tick reads it only when the host
// does not watch it.
void PLUGIN_API EditorRunLoop::onTimer()
{
    pump(!watchesConnection);
}
