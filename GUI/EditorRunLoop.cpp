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
    if (fd >= 0)
        runLoop->registerEventHandler(this, fd);
    pump();
    return true;
}

void EditorRunLoop::stop()
{
    if (!runLoop)
        return;
    runLoop->unregisterEventHandler(this);
    if (timerPeriod >= 0)
        runLoop->unregisterTimer(this);
    timerPeriod = -1;
    runLoop->release();
    runLoop = nullptr;
}

void EditorRunLoop::pump()
{
    ZVNPal::PumpEvents();
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
    pump();
}

void PLUGIN_API EditorRunLoop::onTimer()
{
    pump();
}
