// The AAX editor object over the effect's VST 3 editor view.
#include "adapters/aax/AAX_CVST3Wrapped_GUI.h"

#include "adapters/aax/AAX_CVST3Parameters.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <new>

using namespace Steinberg;

#if defined(_WIN32)
const char* const AAX_CVST3Wrapped_GUI::kPlatformType = kPlatformTypeHWND;
#else
const char* const AAX_CVST3Wrapped_GUI::kPlatformType = kPlatformTypeX11EmbedWindowID;
#endif

AAX_CEffectGUI* AAX_CVST3Wrapped_GUI::Create()
{
    return new (std::nothrow) AAX_CVST3Wrapped_GUI;
}

AAX_CVST3Wrapped_GUI::~AAX_CVST3Wrapped_GUI()
{
    // A host that deletes the editor without taking its window away.
    if (mView)
        DeleteViewContainer();
}

AAX_Result AAX_CVST3Wrapped_GUI::CreateViewContainer()
{
    AAX_IViewContainer* container = GetViewContainer();
    auto* parameters = dynamic_cast<AAX_CVST3Parameters*>(GetEffectParameters());
    Vst::IEditController* controller = parameters ? parameters->controller() : nullptr;
    if (!container || !controller)
        return kNoInterface;
    if (!mView) {
        mView = controller->createView(Vst::ViewType::kEditor);
        if (!mView)
            return kNoInterface;
        if (mView->isPlatformTypeSupported(kPlatformType) != kResultTrue) {
            mView->release();
            mView = nullptr;
            return kNoInterface;
        }
    }
    mView->setFrame(this);
    const tresult attached = mView->attached(container->GetPtr(), kPlatformType);
    if (attached != kResultOk) {
        mView->setFrame(nullptr);
        mView->release();
        mView = nullptr;
    }
    return attached;
}

AAX_Result AAX_CVST3Wrapped_GUI::DeleteViewContainer()
{
    if (!mView)
        return kNoInterface;
    mView->setFrame(nullptr);
    mView->removed();
    mView->release();
    mView = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAX_CVST3Wrapped_GUI::GetViewSize(AAX_Point* size) const
{
    if (!size)
        return AAX_ERROR_NULL_OBJECT;
    ViewRect rect;
    if (!mView || mView->getSize(&rect) != kResultOk)
        return kNoInterface;
    size->horz = static_cast<float>(rect.getWidth());
    size->vert = static_cast<float>(rect.getHeight());
    return AAX_SUCCESS;
}

tresult PLUGIN_API AAX_CVST3Wrapped_GUI::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (!view || view != mView || !newSize)
        return kInvalidArgument;
    if (AAX_IViewContainer* container = GetViewContainer()) {
        AAX_Point size;
        size.horz = static_cast<float>(newSize->getWidth());
        size.vert = static_cast<float>(newSize->getHeight());
        container->SetViewSize(size);
    }
    return view->onSize(newSize);
}

tresult PLUGIN_API AAX_CVST3Wrapped_GUI::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPlugFrame)
    QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
    *obj = nullptr;
    return Steinberg::kNoInterface;
}
