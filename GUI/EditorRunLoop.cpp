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
    runLoop->registerTimer(this, kPumpMs);
    return true;
}

void EditorRunLoop::stop()
{
    if (!runLoop)
        return;
    runLoop->unregisterEventHandler(this);
    runLoop->unregisterTimer(this);
    runLoop->release();
    runLoop = nullptr;
}

void PLUGIN_API EditorRunLoop::onFDIsSet(Linux::FileDescriptor)
{
    ZVNPal::PumpEvents();
}

void PLUGIN_API EditorRunLoop::onTimer()
{
    ZVNPal::PumpEvents();
}
