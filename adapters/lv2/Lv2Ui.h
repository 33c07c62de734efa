// The LV2 adapter's X11 UI: the effect's editor on an effect object of its
// own, which holds no audio. Values travel through ports only: the host's port
// events move the editor, the editor's edits are written to the control
// inputs, and the meter readings of the processing instance reach the meter.
#pragma once

#include "adapters/hosted/EmbeddedEditor.h"
#include "adapters/hosted/HostedEffect.h"

#include "lv2/ui/ui.h"

#include <memory>

class Lv2Ui
{
public:
    static const LV2UI_Descriptor descriptor;

private:
    Lv2Ui(std::unique_ptr<HostedEffect> effect, LV2UI_Write_Function write, LV2UI_Controller controller,
          const LV2UI_Resize* hostResize);
    static Lv2Ui& of(LV2UI_Handle handle) { return *static_cast<Lv2Ui*>(handle); }

    static LV2UI_Handle instantiate(const LV2UI_Descriptor* descriptor, const char* pluginUri, const char* bundlePath,
                                    LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                    const LV2_Feature* const* features);
    static void cleanup(LV2UI_Handle handle);
    static void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    static const void* extensionData(const char* uri);
    static int idle(LV2UI_Handle handle);
    static int resizedByHost(LV2UI_Feature_Handle handle, int width, int height);
    static void editMade(void* context, Steinberg::Vst::ParamID id, double normalized);
    static bool resizeRequested(void* context, int32_t width, int32_t height);

    static const LV2UI_Idle_Interface idleInterface;
    static const LV2UI_Resize resizeInterface;

    std::unique_ptr<HostedEffect> effect;
    EmbeddedEditor editor;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Resize* hostResize;
    float meterPosition = 0.f;
    float gainReductionDb = 0.f;
};
