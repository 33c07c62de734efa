// The effect's editor in a host window that LV2 and CLAP hosts provide.
#include "adapters/hosted/EmbeddedEditor.h"

#include "adapters/hosted/HostedEffect.h"

using namespace Steinberg;

EmbeddedEditor::EmbeddedEditor(HostedEffect& effect, ResizeRequest request, void* context)
    : effect(effect)
    , request(request)
    , context(context)
{
}

EmbeddedEditor::~EmbeddedEditor()
{
    detach();
    if (view) {
        view->setFrame(nullptr);
        view->release();
    }
}

bool EmbeddedEditor::create()
{
    if (view)
        return true;
    view = effect.createView();
    if (view && view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue) {
        view->release();
        view = nullptr;
    }
    if (view)
        view->setFrame(this);
    return view != nullptr;
}

bool EmbeddedEditor::attach(uintptr_t parent)
{
    if (!view || attached || parent == 0)
        return false;
    attached = view->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID) == kResultOk;
    return attached;
}

void EmbeddedEditor::detach()
{
    if (view && attached)
        view->removed();
    attached = false;
}

bool EmbeddedEditor::size(int32_t& width, int32_t& height) const
{
    ViewRect rect;
    if (!view || view->getSize(&rect) != kResultOk)
        return false;
    width = rect.getWidth();
    height = rect.getHeight();
    return true;
}

bool EmbeddedEditor::setSize(int32_t width, int32_t height)
{
    ViewRect rect(0, 0, width, height);
    return view && view->onSize(&rect) == kResultOk;
}

tresult PLUGIN_API EmbeddedEditor::resizeView(IPlugView* requester, ViewRect* newSize)
{
    if (!requester || requester != view || !newSize)
        return kInvalidArgument;
    if (request && !request(context, newSize->getWidth(), newSize->getHeight()))
        return kResultFalse;
    return view->onSize(newSize);
}

tresult PLUGIN_API EmbeddedEditor::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPlugFrame)
    QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
    if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
        return runLoop.queryInterface(iid, obj);
    *obj = nullptr;
    return kNoInterface;
}
