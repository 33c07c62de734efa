// The library's LV2 entries: the one plug-in and its one UI.
#include "adapters/lv2/Lv2Plugin.h"
#include "adapters/lv2/Lv2Ui.h"

extern "C" {

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &Lv2Plugin::descriptor : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &Lv2Ui::descriptor : nullptr;
}

} // extern "C"
