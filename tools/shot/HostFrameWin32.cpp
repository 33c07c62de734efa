// The host frame of the Windows screenshot tool: the thread's own message
// loop runs the editor, as a Windows host's does.
#include "tools/shot/HostFrame.h"

#include "pal/PalRunLoop.h"

using namespace Steinberg;

tresult PLUGIN_API HostFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    return view && newSize ? view->onSize(newSize) : kInvalidArgument;
}

void HostFrame::run(int milliseconds)
{
    ZVNPal::RunEventLoop(milliseconds);
}
