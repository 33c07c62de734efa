// The benchmark's LV2 host: one lilv world for the process, a URID map, the
// block-length options hosts usually give, and port connections.
#include "Lv2Peer.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr uint32_t kAtomCapacity = 8192;

LilvWorld* world()
{
    static LilvWorld* w = [] {
        LilvWorld* created = lilv_world_new();
        lilv_world_load_all(created);
        return created;
    }();
    return w;
}

// URIDs for the life of the process; plug-ins map only while instantiating
// and on their first runs, never in a timed loop after that.
std::map<std::string, LV2_URID>& uridTable()
{
    static std::map<std::string, LV2_URID> table;
    return table;
}

LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri)
{
    auto& table = uridTable();
    return table.emplace(uri, LV2_URID(table.size() + 1)).first->second;
}

const char* unmapUrid(LV2_URID_Unmap_Handle, LV2_URID urid)
{
    for (const auto& [uri, id] : uridTable())
        if (id == urid)
            return uri.c_str();
    return nullptr;
}

LV2_URID_Map g_map{nullptr, mapUri};
LV2_URID_Unmap g_unmap{nullptr, unmapUrid};

// Node of a URI, owned by the world.
struct Uris
{
    LilvNode* audio = lilv_new_uri(world(), LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(world(), LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(world(), LV2_CORE__InputPort);
    LilvNode* atom = lilv_new_uri(world(), LV2_ATOM__AtomPort);
};

const Uris& uris()
{
    static const Uris u;
    return u;
}

} // namespace

std::unique_ptr<Lv2Peer> Lv2Peer::load(const std::string& uri, double rate, uint32_t maxBlock)
{
    LilvNode* node = lilv_new_uri(world(), uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world()), node);
    lilv_node_free(node);
    if (!plugin)
        return nullptr;

    static int32_t blockLength;
    static float sampleRate;
    blockLength = static_cast<int32_t>(maxBlock);
    sampleRate = static_cast<float>(rate);
    const LV2_URID intType = mapUri(nullptr, LV2_ATOM__Int);
    const LV2_URID floatType = mapUri(nullptr, LV2_ATOM__Float);
    static LV2_Options_Option options[5];
    options[0] = {LV2_OPTIONS_INSTANCE, 0, mapUri(nullptr, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType,
                  &blockLength};
    options[1] = {LV2_OPTIONS_INSTANCE, 0, mapUri(nullptr, LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType,
                  &blockLength};
    options[2] = {LV2_OPTIONS_INSTANCE, 0, mapUri(nullptr, LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t),
                  intType, &blockLength};
    options[3] = {LV2_OPTIONS_INSTANCE, 0, mapUri(nullptr, "http://lv2plug.in/ns/ext/parameters#sampleRate"),
                  sizeof(float), floatType, &sampleRate};
    options[4] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};

    static LV2_Feature mapFeature{LV2_URID__map, &g_map};
    static LV2_Feature unmapFeature{LV2_URID__unmap, &g_unmap};
    static LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    static LV2_Feature boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    static const LV2_Feature* features[] = {&mapFeature, &unmapFeature, &optionsFeature, &boundedFeature, nullptr};

    std::unique_ptr<Lv2Peer> peer(new Lv2Peer);
    peer->instance = lilv_plugin_instantiate(plugin, rate, features);
    if (!peer->instance || !peer->connect(plugin, maxBlock))
        return nullptr;
    lilv_instance_activate(peer->instance);
    return peer;
}

bool Lv2Peer::connect(const LilvPlugin* plugin, uint32_t maxBlock)
{
    const uint32_t ports = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(ports), maximum(ports), defaults(ports);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    controls.assign(ports, 0.f);
    const LV2_URID sequenceType = mapUri(nullptr, LV2_ATOM__Sequence);
    const LV2_URID chunkType = mapUri(nullptr, LV2_ATOM__Chunk);

    for (uint32_t p = 0; p < ports; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        const bool input = lilv_port_is_a(plugin, port, uris().input);
        if (lilv_port_is_a(plugin, port, uris().audio)) {
            (input ? audioIn : audioOut).push_back(p);
        } else if (lilv_port_is_a(plugin, port, uris().control)) {
            controls[p] = std::isnan(defaults[p]) ? (std::isnan(minimum[p]) ? 0.f : minimum[p]) : defaults[p];
            lilv_instance_connect_port(instance, p, &controls[p]);
        } else if (lilv_port_is_a(plugin, port, uris().atom)) {
            atomStorage.push_back(std::make_unique<uint64_t[]>(kAtomCapacity / sizeof(uint64_t)));
            auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(atomStorage.back().get());
            sequence->atom = {input ? uint32_t(sizeof(LV2_Atom_Sequence_Body)) : kAtomCapacity,
                              input ? sequenceType : chunkType};
            atoms.push_back({sequence, !input});
            lilv_instance_connect_port(instance, p, sequence);
        } else {
            // CV and other ports get a buffer of silence.
            spareAudio.emplace_back(maxBlock, 0.f);
            lilv_instance_connect_port(instance, p, spareAudio.back().data());
        }
    }
    // Audio inputs beyond the stereo pair (side chains) hear silence.
    for (size_t i = 2; i < audioIn.size(); ++i) {
        spareAudio.emplace_back(maxBlock, 0.f);
        lilv_instance_connect_port(instance, audioIn[i], spareAudio.back().data());
    }
    for (size_t i = 2; i < audioOut.size(); ++i) {
        spareAudio.emplace_back(maxBlock, 0.f);
        lilv_instance_connect_port(instance, audioOut[i], spareAudio.back().data());
    }
    return audioIn.size() >= 2 && audioOut.size() >= 2;
}

Lv2Peer::~Lv2Peer()
{
    if (instance) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
}

void Lv2Peer::run(const float* left, const float* right, float* outLeft, float* outRight, uint32_t n)
{
    lilv_instance_connect_port(instance, audioIn[0], const_cast<float*>(left));
    lilv_instance_connect_port(instance, audioIn[1], const_cast<float*>(right));
    lilv_instance_connect_port(instance, audioOut[0], outLeft);
    lilv_instance_connect_port(instance, audioOut[1], outRight);
    // Output sequences are handed over empty, with their whole capacity.
    for (const AtomBuffer& a : atoms)
        if (a.output)
            a.sequence->atom.size = kAtomCapacity - sizeof(LV2_Atom);
    lilv_instance_run(instance, n);
}
