// The built LV2 bundle in a lilv host of the test's own: its description
// against the VST 3 class, its render against the VST 3 render, its state and
// many instances in a row.
#include "lv2/Lv2Host.h"
#include "integration/Vst3Reference.h"

#include "resources/presets/FactoryPresets.h"

#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace testing_support;
using namespace lv2ports;
using namespace Steinberg;

namespace {

class Lv2PluginTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
    }
    void SetUp() override { ASSERT_NE(lv2.plugin, nullptr) << "no plug-in in " << OL7T_LV2_BUNDLE_DIR; }

    // One instance with its control values, all ports connected.
    struct Instance
    {
        LilvInstance* instance = nullptr;
        std::array<float, kPortCount> controls{};
        ~Instance() { lilv_instance_free(instance); }
    };

    void start(Instance& i, const std::array<double, 8>& settings, bool connectControls = true)
    {
        i.instance = lv2.instantiate(kReferenceRate);
        ASSERT_NE(i.instance, nullptr);
        for (uint32_t id = 0; id < settings.size(); ++id) {
            LilvNode* max = nullptr;
            lilv_port_get_range(lv2.plugin, lv2.port(kFirstParameter + id), nullptr, nullptr, &max);
            i.controls[kFirstParameter + id] = static_cast<float>(settings[id] * lilv_node_as_float(max));
            lilv_node_free(max);
            lilv_instance_connect_port(i.instance, kFirstParameter + id,
                                       connectControls ? &i.controls[kFirstParameter + id] : nullptr);
        }
        lilv_instance_connect_port(i.instance, kMeterPosition, &i.controls[kMeterPosition]);
        lilv_instance_connect_port(i.instance, kGainReduction, &i.controls[kGainReduction]);
        lilv_instance_activate(i.instance);
    }

    AudioClip render(Instance& i, const AudioClip& input, const AudioClip& key, uint32_t block)
    {
        AudioClip output(input.sampleRate, 2, input.frames());
        for (size_t start = 0; start < input.frames(); start += block) {
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, input.frames() - start));
            const float* buffers[6] = {&input.channels[0][start], &input.channels[1][start], &key.channels[0][start],
                                       &key.channels[1][start], &output.channels[0][start], &output.channels[1][start]};
            for (uint32_t p = 0; p < 6; ++p)
                lilv_instance_connect_port(i.instance, p, const_cast<float*>(buffers[p]));
            lilv_instance_run(i.instance, n);
        }
        return output;
    }

    Lv2World lv2{OL7T_LV2_BUNDLE_DIR};
    BundleHost bundle{OL7T_BUNDLE_DIR};
};

std::string vst3Text(Vst::IEditController* controller, Vst::ParamID id, double normalized)
{
    Vst::String128 text{};
    controller->getParamStringByValue(id, normalized, text);
    std::string out;
    for (const char16* c = text; *c; ++c)
        out += static_cast<char>(*c);
    return out;
}

TEST_F(Lv2PluginTest, DescribesItselfAsTheVst3ClassDoes)
{
    IPtr<Vst::IComponent> component(bundle.createComponent(), false);
    Vst::HostApplication context;
    ASSERT_EQ(component->initialize(&context), kResultOk);
    IPtr<Vst::IEditController> controller(queryInterface<Vst::IEditController>(component), false);
    ASSERT_EQ(lilv_plugin_get_num_ports(lv2.plugin), kPortCount);
    const LilvNode* toggled = lv2.uri(LV2_CORE__toggled);
    const LilvNode* enumeration = lv2.uri(LV2_CORE__enumeration);
    const LilvNode* sideChain = lv2.uri(LV2_CORE_PREFIX "isSideChain");

    for (int32 i = 0; i < controller->getParameterCount(); ++i) {
        Vst::ParameterInfo vst{};
        controller->getParameterInfo(i, vst);
        const LilvPort* port = lv2.port(kFirstParameter + vst.id);
        ASSERT_NE(port, nullptr);
        LilvNode* name = lilv_port_get_name(lv2.plugin, port);
        const std::string title = lilv_node_as_string(name);
        lilv_node_free(name);
        std::string vstTitle;
        for (const char16* c = vst.title; *c; ++c)
            vstTitle += static_cast<char>(*c);
        EXPECT_EQ(title, vstTitle);

        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(lv2.plugin, port, &def, &min, &max);
        const double top = vst.stepCount > 0 ? vst.stepCount : 1;
        EXPECT_EQ(lilv_node_as_float(min), 0.f) << title;
        EXPECT_EQ(lilv_node_as_float(max), top) << title;
        EXPECT_FLOAT_EQ(lilv_node_as_float(def), static_cast<float>(vst.defaultNormalizedValue * top)) << title;
        for (LilvNode* n : {def, min, max})
            lilv_node_free(n);

        const bool onOff = vst.stepCount == 1 && vst3Text(controller, vst.id, 1) == "On";
        EXPECT_EQ(lilv_port_has_property(lv2.plugin, port, toggled), onOff) << title;
        EXPECT_EQ(lilv_port_has_property(lv2.plugin, port, enumeration), vst.stepCount > 0 && !onOff) << title;
        // Each scale point carries the VST 3 text of its step.
        LilvScalePoints* points = lilv_port_get_scale_points(lv2.plugin, port);
        LILV_FOREACH (scale_points, it, points) {
            const LilvScalePoint* point = lilv_scale_points_get(points, it);
            const float step = lilv_node_as_float(lilv_scale_point_get_value(point));
            EXPECT_EQ(std::string(lilv_node_as_string(lilv_scale_point_get_label(point))),
                      vst3Text(controller, vst.id, step / vst.stepCount));
        }
        EXPECT_EQ(points ? lilv_scale_points_size(points) : 0u, onOff || vst.stepCount == 0 ? 0u : vst.stepCount + 1u);
        lilv_scale_points_free(points);
    }
    component->terminate();

    for (uint32_t p : {kSideChainLeft, kSideChainRight})
        EXPECT_TRUE(lilv_port_has_property(lv2.plugin, lv2.port(p), sideChain));
    EXPECT_FALSE(lilv_port_has_property(lv2.plugin, lv2.port(kInputLeft), sideChain));
    EXPECT_FALSE(lilv_plugin_has_latency(lv2.plugin));
    LilvUIs* uis = lilv_plugin_get_uis(lv2.plugin);
    EXPECT_EQ(lilv_uis_size(uis), 1u);
    lilv_uis_free(uis);
}

TEST_F(Lv2PluginTest, RendersAsTheVst3EffectDoesInBlocksOfAnySize)
{
    const AudioClip input = referenceProgramme(false);
    const AudioClip key = referenceProgramme(true);
    const AudioClip expected = vst3Render(bundle, input, key, 512);
    ASSERT_EQ(expected.frames(), input.frames());
    // Blocks longer than the effect's work buffers, and short odd ones.
    for (uint32_t block : {5000u, 333u}) {
        Instance i;
        start(i, kReferenceSettings);
        EXPECT_LE(largestDifference(render(i, input, key, block), expected), 1e-7f) << block;
        EXPECT_LT(i.controls[kGainReduction], -1.f) << "the cell reduces the gain";
    }
}

TEST_F(Lv2PluginTest, LeftOnlyConnectionIsTheMonoLayout)
{
    AudioClip input = referenceProgramme(false);
    AudioClip key = referenceProgramme(true);
    input.channels.resize(1);
    key.channels.resize(1);
    const AudioClip expected = vst3Render(bundle, input, key, 512);
    ASSERT_EQ(expected.frames(), input.frames());
    Instance i;
    start(i, kReferenceSettings);
    AudioClip output(input.sampleRate, 1, input.frames());
    lilv_instance_connect_port(i.instance, kInputLeft, input.channels[0].data());
    lilv_instance_connect_port(i.instance, kSideChainLeft, key.channels[0].data());
    lilv_instance_connect_port(i.instance, kOutputLeft, output.channels[0].data());
    for (uint32_t p : {kInputRight, kSideChainRight, kOutputRight})
        lilv_instance_connect_port(i.instance, p, nullptr);
    lilv_instance_run(i.instance, static_cast<uint32_t>(input.frames()));
    EXPECT_LE(largestDifference(output, expected), 1e-7f);
}

// A host's state store of one property.
struct StoredState
{
    uint32_t key = 0, type = 0;
    std::vector<uint8_t> bytes;

    static LV2_State_Status store(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                                  uint32_t)
    {
        auto& self = *static_cast<StoredState*>(h);
        self.key = key;
        self.type = type;
        self.bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
        return LV2_STATE_SUCCESS;
    }
    static const void* retrieve(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
    {
        auto& self = *static_cast<StoredState*>(h);
        *size = self.bytes.size();
        *type = self.type;
        *flags = LV2_STATE_IS_POD;
        return key == self.key ? self.bytes.data() : nullptr;
    }
};

TEST_F(Lv2PluginTest, StateMovesBetweenInstancesAndHostileStateIsRefused)
{
    const AudioClip input = referenceProgramme(false);
    const AudioClip key = referenceProgramme(true);
    Instance a, b;
    start(a, kReferenceSettings);
    const AudioClip fromA = render(a, input, key, 512);
    auto stateOf = [](Instance& i) {
        return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(i.instance, LV2_STATE__interface));
    };
    ASSERT_NE(stateOf(a), nullptr);
    StoredState saved;
    ASSERT_EQ(stateOf(a)->save(lilv_instance_get_handle(a.instance), StoredState::store, &saved, 0, lv2.features),
              LV2_STATE_SUCCESS);
    EXPECT_EQ(saved.bytes.size(), 76u);
    EXPECT_EQ(saved.type, lv2.map.map(&lv2.uris, LV2_ATOM__Chunk));

    // B's controls are left unconnected: only the restored chunk sets it.
    start(b, {}, false);
    ASSERT_EQ(stateOf(b)->restore(lilv_instance_get_handle(b.instance), StoredState::retrieve, &saved, 0, lv2.features),
              LV2_STATE_SUCCESS);

    std::vector<StoredState> hostile(4, saved);
    hostile[0].bytes.resize(40);                                                    // cut short
    hostile[1].bytes[0] ^= 0xFF;                                                    // wrong magic
    std::memcpy(hostile[2].bytes.data() + 20, "\x00\x00\x00\x00\x00\x00\xF8\x7F", 8); // NaN
    hostile[3].type = lv2.map.map(&lv2.uris, LV2_ATOM__String);                     // wrong type
    for (StoredState& s : hostile)
        EXPECT_NE(stateOf(b)->restore(lilv_instance_get_handle(b.instance), StoredState::retrieve, &s, 0, lv2.features),
                  LV2_STATE_SUCCESS);
    EXPECT_LE(largestDifference(render(b, input, key, 512), fromA), 1e-7f);
}

TEST_F(Lv2PluginTest, HundredInstancesComeAndGo)
{
    std::vector<float> audio(6 * 256, 0.f);
    for (int cycle = 0; cycle < 100; ++cycle) {
        Instance i;
        start(i, kReferenceSettings);
        for (uint32_t p = 0; p < 6; ++p)
            lilv_instance_connect_port(i.instance, p, &audio[p * 256]);
        lilv_instance_run(i.instance, 256);
        lilv_instance_deactivate(i.instance);
    }
}

// Every factory preset is offered to LV2 hosts and, applied as hosts apply
// one, sets exactly the control values of the table, in the ports' units.
TEST_F(Lv2PluginTest, FactoryPresetsSetTheirTableValues)
{
    LilvNodes* presets = lilv_plugin_get_related(lv2.plugin, lv2.uri(LV2_PRESETS__Preset));
    ASSERT_EQ(presets ? lilv_nodes_size(presets) : 0u, factoryPresets().size());
    size_t matched = 0;
    LILV_FOREACH (nodes, it, presets) {
        const LilvNode* uri = lilv_nodes_get(presets, it);
        lilv_world_load_resource(lv2.world, uri);
        LilvState* state = lilv_state_new_from_world(lv2.world, &lv2.map, uri);
        ASSERT_NE(state, nullptr) << lilv_node_as_uri(uri);
        const FactoryPreset* preset = findFactoryPreset(lilv_state_get_label(state));
        ASSERT_NE(preset, nullptr) << lilv_state_get_label(state);
        std::array<float, kPortCount> controls{};
        controls.fill(-1.f);
        struct Target { Lv2World* lv2; std::array<float, kPortCount>* controls; } target{&lv2, &controls};
        lilv_state_restore(state, nullptr,
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
                auto* t = static_cast<Target*>(data);
                LilvNode* name = lilv_new_string(t->lv2->world, symbol);
                const LilvPort* port = lilv_plugin_get_port_by_symbol(t->lv2->plugin, name);
                lilv_node_free(name);
                if (port && size == sizeof(float))
                    (*t->controls)[lilv_port_get_index(t->lv2->plugin, port)] = *static_cast<const float*>(value);
            },
            &target, 0, nullptr);
        for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
            LilvNode* max = nullptr;
            lilv_port_get_range(lv2.plugin, lv2.port(kFirstParameter + id), nullptr, nullptr, &max);
            const float steps = lilv_node_as_float(max);
            lilv_node_free(max);
            const bool whole = lilv_port_has_property(lv2.plugin, lv2.port(kFirstParameter + id),
                                                      lv2.uri(LV2_CORE__integer));
            const float expected = whole ? std::round(preset->values[id] * steps) : preset->values[id];
            EXPECT_FLOAT_EQ(controls[kFirstParameter + id], expected) << preset->name << " parameter " << id;
        }
        lilv_state_free(state);
        ++matched;
    }
    lilv_nodes_free(presets);
    EXPECT_EQ(matched, factoryPresets().size());
}

} // namespace
