// Part of the plug-in library only: connects the VST 2 adapter and the
// channel-strip interface to the platform layer, whose bitmaps the strip host
// receives and whose events and timers an open editor needs at every idle
// call, and the editor's context clicks to the strip host of their instance.
// The VST 2 header comes before the VST 3 ones, which define a macro of the
// same name as one of its types.
#include "adapters/vst2/MBVst2Wrapper.h"
#include "sdk/Vst2Wrapper.h"

#include "core/ol7t.h"
#include "pal/CPalBitmap.h"
#include "pal/PalRunLoop.h"

#include <new>

namespace {

// The strip host owns the bitmap it receives and deletes it as IPalBitmap.
void* loadModuleBitmap(const std::string& path)
{
    auto* bitmap = new (std::nothrow) ZVNPal::CPalBitmap;
    if (bitmap && bitmap->Load(path.c_str(), false) == ZVNPal::kPalOk)
        return static_cast<ZVNPal::IPalBitmap*>(bitmap);
    delete bitmap;
    return nullptr;
}

void pumpEditorEvents()
{
    ZVNPal::PumpEvents();
}

void requestContextMenu(const IMBVst2StrivelPlugin* instance, uint32_t id)
{
    MBVst2Wrapper::requestHostContextMenu(instance, id);
}

const bool connected = (ol7t::moduleBitmapLoader = loadModuleBitmap,
                        Steinberg::Vst::Vst2Wrapper::editorIdleHandler = pumpEditorEvents,
                        ol7t::hostContextMenuHandler = requestContextMenu, true);

} // namespace
