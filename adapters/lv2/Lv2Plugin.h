// The LV2 adapter's plug-in instance: ports become the effect's buses and
// parameters, the state extension carries the effect's state chunk, and two
// control outputs carry the meter readings.
#pragma once

#include "adapters/hosted/HostedEffect.h"
#include "adapters/lv2/Lv2Ports.h"

#include "lv2/core/lv2.h"
#include "lv2/state/state.h"
#include "lv2/urid/urid.h"

#include <memory>

class Lv2Plugin
{
public:
    static const LV2_Descriptor descriptor;

private:
    Lv2Plugin(std::unique_ptr<HostedEffect> effect, double rate, const LV2_URID_Map* map);
    static Lv2Plugin& of(LV2_Handle instance) { return *static_cast<Lv2Plugin*>(instance); }

    static LV2_Handle instantiate(const LV2_Descriptor* descriptor, double rate, const char* bundlePath,
                                  const LV2_Feature* const* features);
    static void connectPort(LV2_Handle instance, uint32_t port, void* data);
    static void activate(LV2_Handle instance);
    static void run(LV2_Handle instance, uint32_t frames);
    static void deactivate(LV2_Handle instance);
    static void cleanup(LV2_Handle instance);
    static const void* extensionData(const char* uri);
    static LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                                 uint32_t flags, const LV2_Feature* const* features);
    static LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                    LV2_State_Handle handle, uint32_t flags, const LV2_Feature* const* features);

    static const LV2_State_Interface stateInterface;

    std::unique_ptr<HostedEffect> effect;
    double rate;
    float* ports[lv2ports::kPortCount]{};
    // The value each control input had when last applied; NaN until then,
    // so the first run applies them all.
    float applied[PARAM_COUNT];
    LV2_URID stateKey = 0;
    LV2_URID chunkType = 0;
};
