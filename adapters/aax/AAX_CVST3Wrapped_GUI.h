// The AAX editor object over a VST 3 effect's editor view: it asks the
// effect for its "editor" view, places it into the native window the host
// provides and removes it again; it is the view's frame meanwhile.
#pragma once

#include "sdk/aax/AAX_CEffectGUI.h"

#include "pluginterfaces/gui/iplugview.h"

class AAX_CVST3Wrapped_GUI : public AAX_CEffectGUI, public Steinberg::IPlugFrame
{
public:
    // What the calls report without an effect controller or a view.
    static constexpr AAX_Result kNoInterface = Steinberg::kNoInterface;
    // The native window type the view must accept on this platform.
    static const char* const kPlatformType;

    static AAX_CEffectGUI* Create();

    AAX_CVST3Wrapped_GUI() = default;
    ~AAX_CVST3Wrapped_GUI() override;

    AAX_Result GetViewSize(AAX_Point* size) const override;

    // IPlugFrame: the view asks for a new size; the host's window follows.
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

    // The frame belongs to this object; references are not counted.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

protected:
    AAX_Result CreateViewContainer() override;
    AAX_Result DeleteViewContainer() override;

private:
    Steinberg::IPlugView* mView = nullptr;
};
