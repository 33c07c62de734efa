// Test support: an LV2 host on lilv that loads the built bundle by its path
// (nothing installed is seen), with a URID map of its own.
#pragma once

#include "adapters/lv2/Lv2Ports.h"

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace testing_support {

class Lv2World
{
public:
    explicit Lv2World(const std::string& bundle)
        : world(lilv_world_new())
    {
        LilvNode* uri = lilv_new_file_uri(world, nullptr, (bundle + "/").c_str());
        lilv_world_load_bundle(world, uri);
        lilv_node_free(uri);
        LilvNode* pluginUri = lilv_new_uri(world, lv2ports::kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), pluginUri);
        lilv_node_free(pluginUri);
    }
    ~Lv2World()
    {
        for (LilvNode* n : nodes)
            lilv_node_free(n);
        lilv_world_free(world);
    }
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    LilvNode* uri(const char* text) { return nodes.emplace_back(lilv_new_uri(world, text)); }
    const LilvPort* port(uint32_t index) const { return lilv_plugin_get_port_by_index(plugin, index); }

    LilvInstance* instantiate(double rate) { return lilv_plugin_instantiate(plugin, rate, features); }

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* text)
    {
        auto& uris = *static_cast<std::vector<std::string>*>(handle);
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == text)
                return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(text);
        return static_cast<LV2_URID>(uris.size());
    }
    static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid)
    {
        auto& uris = *static_cast<std::vector<std::string>*>(handle);
        return urid > 0 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
    }

    LilvWorld* world;
    const LilvPlugin* plugin = nullptr;
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, mapUri};
    LV2_URID_Unmap unmap{&uris, unmapUri};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
    const LV2_Feature* features[3] = {&mapFeature, &unmapFeature, nullptr};

private:
    std::vector<LilvNode*> nodes;
};

} // namespace testing_support
