// The LV2 UI over the effect's editor.
#include "adapters/lv2/Lv2Ui.h"

#include "adapters/lv2/Lv2Ports.h"
#include "pal/PalRunLoop.h"

#include <cstring>
#include <new>

using namespace lv2ports;

const LV2UI_Descriptor Lv2Ui::descriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};
const LV2UI_Idle_Interface Lv2Ui::idleInterface = {idle};
const LV2UI_Resize Lv2Ui::resizeInterface = {nullptr, resizedByHost};

Lv2Ui::Lv2Ui(std::unique_ptr<HostedEffect> effect, LV2UI_Write_Function write, LV2UI_Controller controller,
             const LV2UI_Resize* hostResize)
    : effect(std::move(effect))
    , editor(*this->effect, resizeRequested, this)
    , write(write)
    , controller(controller)
    , hostResize(hostResize)
{
    this->effect->setEditCallback(editMade, this);
}

LV2UI_Handle Lv2Ui::instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                                LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                const LV2_Feature* const* features)
{
    const auto parent = reinterpret_cast<uintptr_t>(featureData(features, LV2_UI__parent));
    if (!pluginUri || std::strcmp(pluginUri, kPluginUri) != 0 || !write || !widget || parent == 0)
        return nullptr;
    std::unique_ptr<HostedEffect> effect = HostedEffect::create();
    if (!effect)
        return nullptr;
    const auto* hostResize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
    std::unique_ptr<Lv2Ui> ui(new (std::nothrow) Lv2Ui(std::move(effect), write, controller, hostResize));
    if (!ui || !ui->editor.create() || !ui->editor.attach(parent))
        return nullptr;
    int32_t width = 0, height = 0;
    if (hostResize && ui->editor.size(width, height))
        hostResize->ui_resize(hostResize->handle, width, height);
    // Hosts that wrap X11 UIs want the embedded window itself.
    const unsigned long panel = ZVNPal::NewestChildWindow(parent);
    *widget = reinterpret_cast<LV2UI_Widget>(panel ? panel : parent);
    return ui.release();
}

void Lv2Ui::cleanup(LV2UI_Handle handle)
{
    delete &of(handle);
}

void Lv2Ui::portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    Lv2Ui& self = of(handle);
    // Control ports arrive as one float; other formats are not ours.
    if (format != 0 || size != sizeof(float) || !buffer)
        return;
    const float value = *static_cast<const float*>(buffer);
    if (isParameterPort(port)) {
        self.effect->setPlainValue(port - kFirstParameter, value);
        return;
    }
    if (port == kMeterPosition)
        self.meterPosition = value;
    else if (port == kGainReduction)
        self.gainReductionDb = value;
    else
        return;
    self.effect->showMeterReadings(self.meterPosition, self.gainReductionDb);
}

const void* Lv2Ui::extensionData(const char* uri)
{
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    if (uri && std::strcmp(uri, LV2_UI__resize) == 0)
        return &resizeInterface;
    return nullptr;
}

int Lv2Ui::idle(LV2UI_Handle handle)
{
    of(handle).editor.idle();
    return 0;
}

int Lv2Ui::resizedByHost(LV2UI_Feature_Handle handle, int width, int height)
{
    return handle && of(handle).editor.setSize(width, height) ? 0 : 1;
}

void Lv2Ui::editMade(void* context, Steinberg::Vst::ParamID id, double normalized)
{
    auto& self = *static_cast<Lv2Ui*>(context);
    const float value = static_cast<float>(self.effect->toPlain(id, normalized));
    self.write(self.controller, kFirstParameter + id, sizeof value, 0, &value);
}

bool Lv2Ui::resizeRequested(void* context, int32_t width, int32_t height)
{
    auto& self = *static_cast<Lv2Ui*>(context);
    return self.hostResize && self.hostResize->ui_resize(self.hostResize->handle, width, height) == 0;
}
