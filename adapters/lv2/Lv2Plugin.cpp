// The LV2 plug-in instance over the effect.
#include "adapters/lv2/Lv2Plugin.h"

#include "lv2/atom/atom.h"

#include <cmath>
#include <cstring>
#include <new>

using namespace lv2ports;

const LV2_Descriptor Lv2Plugin::descriptor = {kPluginUri, instantiate, connectPort, activate, run,
                                              deactivate, cleanup,     extensionData};

const LV2_State_Interface Lv2Plugin::stateInterface = {save, restore};

Lv2Plugin::Lv2Plugin(std::unique_ptr<HostedEffect> effect, double rate, const LV2_URID_Map* map)
    : effect(std::move(effect))
    , rate(rate)
{
    std::fill(std::begin(applied), std::end(applied), NAN);
    if (map) {
        stateKey = map->map(map->handle, kStateKeyUri);
        chunkType = map->map(map->handle, LV2_ATOM__Chunk);
    }
}

LV2_Handle Lv2Plugin::instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
    if (!(rate > 0))
        return nullptr;
    std::unique_ptr<HostedEffect> effect = HostedEffect::create();
    if (!effect)
        return nullptr;
    // Without the URID map the plug-in runs; only its state cannot be saved.
    const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
    return new (std::nothrow) Lv2Plugin(std::move(effect), rate, map);
}

void Lv2Plugin::connectPort(LV2_Handle instance, uint32_t port, void* data)
{
    if (port < kPortCount)
        of(instance).ports[port] = static_cast<float*>(data);
}

void Lv2Plugin::activate(LV2_Handle instance)
{
    Lv2Plugin& self = of(instance);
    self.effect->activate(self.rate);
}

void Lv2Plugin::run(LV2_Handle instance, uint32_t frames)
{
    Lv2Plugin& self = of(instance);
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        const float* port = self.ports[kFirstParameter + id];
        // Compared bit for bit: a NaN from the host is applied once (and held
        // to the range), not again every block.
        if (port && std::memcmp(port, &self.applied[id], sizeof(float)) != 0) {
            self.applied[id] = *port;
            self.effect->queuePlainValue(id, *port);
        }
    }
    const float* main[2] = {self.ports[kInputLeft], self.ports[kInputRight]};
    const float* sideChain[2] = {self.ports[kSideChainLeft], self.ports[kSideChainRight]};
    float* out[2] = {self.ports[kOutputLeft], self.ports[kOutputRight]};
    // Unconnected channels are missing ones: silence in, nothing written out.
    self.effect->process(main, 2, sideChain, 2, out, 2, static_cast<int32_t>(frames));
    if (float* meter = self.ports[kMeterPosition])
        *meter = self.effect->meterPosition();
    if (float* reduction = self.ports[kGainReduction])
        *reduction = self.effect->gainReductionDb();
}

void Lv2Plugin::deactivate(LV2_Handle instance)
{
    of(instance).effect->deactivate();
}

void Lv2Plugin::cleanup(LV2_Handle instance)
{
    delete &of(instance);
}

const void* Lv2Plugin::extensionData(const char* uri)
{
    return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &stateInterface : nullptr;
}

LV2_State_Status Lv2Plugin::save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                                 uint32_t, const LV2_Feature* const*)
{
    Lv2Plugin& self = of(instance);
    if (!self.stateKey || !store)
        return LV2_STATE_ERR_NO_FEATURE;
    const std::vector<uint8_t> chunk = self.effect->saveState();
    if (chunk.empty())
        return LV2_STATE_ERR_UNKNOWN;
    return store(handle, self.stateKey, chunk.data(), chunk.size(), self.chunkType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                    LV2_State_Handle handle, uint32_t, const LV2_Feature* const*)
{
    Lv2Plugin& self = of(instance);
    if (!self.stateKey || !retrieve)
        return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* chunk = retrieve(handle, self.stateKey, &size, &type, &flags);
    if (!chunk)
        return LV2_STATE_ERR_NO_PROPERTY;
    if (type != self.chunkType)
        return LV2_STATE_ERR_BAD_TYPE;
    // The effect's own rules refuse a damaged or hostile chunk whole.
    return self.effect->loadState(chunk, size) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}
