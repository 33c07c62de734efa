// The built .clap file in a CLAP host of the test's own: its description
// against the VST 3 class, its render against the VST 3 render, its state,
// its thread checks and many instances in a row.
#include "clap/ClapHost.h"
#include "integration/Vst3Reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace testing_support;
using namespace Steinberg;

namespace {

class ClapPluginTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
    }
    void SetUp() override { ASSERT_NE(library.factory, nullptr) << "cannot load " << OL7T_CLAP_FILE; }
    void TearDown() override
    {
        for (const clap_plugin_t* p : plugins)
            p->destroy(p);
    }

    const clap_plugin_t* create()
    {
        const clap_plugin_descriptor_t* d = library.factory->get_plugin_descriptor(library.factory, 0);
        const clap_plugin_t* p = library.factory->create_plugin(library.factory, &host.host, d->id);
        if (p && p->init(p))
            plugins.push_back(p);
        else if (p)
            p->destroy(p);
        return plugins.empty() || plugins.back() != p ? nullptr : p;
    }

    // The reference settings as the plug-in's plain values.
    void addReferenceSettings(const clap_plugin_t* p, ClapEvents& events)
    {
        auto params = clapExtension<clap_plugin_params_t>(p, CLAP_EXT_PARAMS);
        for (uint32_t i = 0; i < kReferenceSettings.size(); ++i) {
            clap_param_info_t info{};
            params->get_info(p, i, &info);
            events.add(info.id, kReferenceSettings[i] * info.max_value);
        }
    }

    AudioClip render(const clap_plugin_t* p, const AudioClip& input, const AudioClip& key, uint32_t block)
    {
        AudioClip output(input.sampleRate, 2, input.frames());
        ClapEvents events;
        addReferenceSettings(p, events);
        p->activate(p, input.sampleRate, 1, block);
        p->start_processing(p);
        for (size_t start = 0; start < input.frames(); start += block) {
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, input.frames() - start));
            float* in[2] = {const_cast<float*>(&input.channels[0][start]), const_cast<float*>(&input.channels[1][start])};
            float* sc[2] = {const_cast<float*>(&key.channels[0][start]), const_cast<float*>(&key.channels[1][start])};
            float* out[2] = {&output.channels[0][start], &output.channels[1][start]};
            clap_audio_buffer_t inputs[2] = {{in, nullptr, 2, 0, 0}, {sc, nullptr, 2, 0, 0}};
            clap_audio_buffer_t outputs[1] = {{out, nullptr, 2, 0, 0}};
            clap_process_t process{-1, n, nullptr, inputs, outputs, 2, 1, &events.in, &events.out};
            EXPECT_EQ(p->process(p, &process), CLAP_PROCESS_CONTINUE);
            events.values.clear();
        }
        p->stop_processing(p);
        p->deactivate(p);
        return output;
    }

    std::vector<double> values(const clap_plugin_t* p)
    {
        auto params = clapExtension<clap_plugin_params_t>(p, CLAP_EXT_PARAMS);
        std::vector<double> v(params->count(p));
        for (uint32_t i = 0; i < v.size(); ++i)
            params->get_value(p, i, &v[i]);
        return v;
    }

    ClapLibrary library{OL7T_CLAP_FILE};
    BundleHost bundle{OL7T_BUNDLE_DIR};
    ClapTestHost host;
    std::vector<const clap_plugin_t*> plugins;
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

TEST_F(ClapPluginTest, DescribesItselfAsTheVst3ClassDoes)
{
    IPluginFactory* factory = bundle.factory();
    ASSERT_NE(factory, nullptr);
    PClassInfo classInfo;
    factory->getClassInfo(0, &classInfo);
    PFactoryInfo factoryInfo;
    factory->getFactoryInfo(&factoryInfo);
    factory->release();
    const clap_plugin_descriptor_t* d = library.factory->get_plugin_descriptor(library.factory, 0);
    EXPECT_EQ(library.factory->get_plugin_count(library.factory), 1u);
    EXPECT_EQ(library.factory->get_plugin_descriptor(library.factory, 1), nullptr);
    EXPECT_STREQ(d->name, classInfo.name);
    EXPECT_STREQ(d->vendor, factoryInfo.vendor);
    EXPECT_EQ(library.factory->create_plugin(library.factory, &host.host, "com.other.plugin"), nullptr);

    const clap_plugin_t* p = create();
    ASSERT_NE(p, nullptr);
    IPtr<Vst::IComponent> component(bundle.createComponent(), false);
    Vst::HostApplication context;
    ASSERT_EQ(component->initialize(&context), kResultOk);
    IPtr<Vst::IEditController> controller(queryInterface<Vst::IEditController>(component), false);

    auto params = clapExtension<clap_plugin_params_t>(p, CLAP_EXT_PARAMS);
    ASSERT_EQ(params->count(p), static_cast<uint32_t>(controller->getParameterCount()));
    for (int32 i = 0; i < controller->getParameterCount(); ++i) {
        Vst::ParameterInfo vst{};
        controller->getParameterInfo(i, vst);
        clap_param_info_t info{};
        ASSERT_TRUE(params->get_info(p, static_cast<uint32_t>(i), &info));
        EXPECT_EQ(info.id, vst.id);
        std::string title;
        for (const char16* c = vst.title; *c; ++c)
            title += static_cast<char>(*c);
        EXPECT_EQ(std::string(info.name), title);
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, vst.stepCount > 0 ? vst.stepCount : 1.0) << title;
        EXPECT_DOUBLE_EQ(info.default_value / info.max_value, vst.defaultNormalizedValue) << title;
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, vst.stepCount > 0) << title;
        EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
        // Every step of a list, and points along a continuous range.
        const int32 points = vst.stepCount > 0 ? vst.stepCount : 4;
        for (int32 k = 0; k <= points; ++k) {
            char text[64] = {};
            ASSERT_TRUE(params->value_to_text(p, vst.id, info.max_value * k / points, text, sizeof text));
            EXPECT_EQ(std::string(text), vst3Text(controller, vst.id, static_cast<double>(k) / points)) << title;
            double back = -1;
            EXPECT_TRUE(params->text_to_value(p, vst.id, text, &back)) << text;
            EXPECT_NEAR(back, info.max_value * k / points, 1e-4) << text;
        }
    }
    component->terminate();

    auto ports = clapExtension<clap_plugin_audio_ports_t>(p, CLAP_EXT_AUDIO_PORTS);
    ASSERT_EQ(ports->count(p, true), 2u);
    ASSERT_EQ(ports->count(p, false), 1u);
    clap_audio_port_info_t main{}, side{};
    ASSERT_TRUE(ports->get(p, 0, true, &main));
    ASSERT_TRUE(ports->get(p, 1, true, &side));
    EXPECT_TRUE(main.flags & CLAP_AUDIO_PORT_IS_MAIN);
    EXPECT_FALSE(side.flags & CLAP_AUDIO_PORT_IS_MAIN);
    EXPECT_EQ(main.channel_count, 2u);
    EXPECT_EQ(clapExtension<clap_plugin_latency_t>(p, CLAP_EXT_LATENCY)->get(p), 0u);
}

TEST_F(ClapPluginTest, RendersAsTheVst3EffectDoes)
{
    const AudioClip input = referenceProgramme(false);
    const AudioClip key = referenceProgramme(true);
    const AudioClip expected = vst3Render(bundle, input, key, 512);
    ASSERT_EQ(expected.frames(), input.frames());
    const clap_plugin_t* p = create();
    ASSERT_NE(p, nullptr);
    const AudioClip output = render(p, input, key, 512);
    EXPECT_LE(largestDifference(output, expected), 1e-7f);
    EXPECT_GT(largestDifference(output, input), 0.1f) << "the settings must change the sound";
}

TEST_F(ClapPluginTest, MonoHostGetsTheMonoLayout)
{
    const clap_plugin_t* p = create();
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(p->activate(p, 44100, 1, 64));
    std::vector<float> in(64, 0.5f), out(64, 0.f), untouched(64, 7.f);
    float* inputs[1] = {in.data()};
    float* outputs[2] = {out.data(), untouched.data()};
    clap_audio_buffer_t inBuffer{inputs, nullptr, 1, 0, 0};
    clap_audio_buffer_t outBuffer{outputs, nullptr, 1, 0, 0};
    clap_process_t process{-1, 64, nullptr, &inBuffer, &outBuffer, 1, 1, nullptr, nullptr};
    EXPECT_EQ(p->process(p, &process), CLAP_PROCESS_CONTINUE);
    EXPECT_NE(out[63], 0.f);
    EXPECT_EQ(untouched[0], 7.f) << "a second output channel the host did not hand over is left alone";
}

struct ByteStream
{
    std::vector<uint8_t> bytes;
    size_t readAt = 0;
    clap_ostream_t out{this, [](const clap_ostream_t* s, const void* b, uint64_t n) {
                           auto& self = *static_cast<ByteStream*>(s->ctx);
                           // A host stream that takes at most 10 bytes a call.
                           n = std::min<uint64_t>(n, 10);
                           self.bytes.insert(self.bytes.end(), static_cast<const uint8_t*>(b),
                                             static_cast<const uint8_t*>(b) + n);
                           return static_cast<int64_t>(n);
                       }};
    clap_istream_t in{this, [](const clap_istream_t* s, void* b, uint64_t n) {
                          auto& self = *static_cast<ByteStream*>(s->ctx);
                          n = std::min<uint64_t>({n, self.bytes.size() - self.readAt, 7});
                          if (n > 0)
                              std::memcpy(b, self.bytes.data() + self.readAt, n);
                          self.readAt += n;
                          return static_cast<int64_t>(n);
                      }};
};

TEST_F(ClapPluginTest, StateMovesBetweenInstancesAndHostileStateIsRefused)
{
    const clap_plugin_t* a = create();
    const clap_plugin_t* b = create();
    ASSERT_TRUE(a && b);
    ClapEvents events;
    addReferenceSettings(a, events);
    clapExtension<clap_plugin_params_t>(a, CLAP_EXT_PARAMS)->flush(a, &events.in, &events.out);
    auto state = clapExtension<clap_plugin_state_t>(a, CLAP_EXT_STATE);

    ByteStream saved;
    ASSERT_TRUE(state->save(a, &saved.out));
    EXPECT_EQ(saved.bytes.size(), 76u);
    ASSERT_TRUE(state->load(b, &saved.in));
    // The effect keeps restored values in single precision.
    for (size_t i = 0; i < values(a).size(); ++i)
        EXPECT_NEAR(values(b)[i], values(a)[i], 1e-7) << i;
    EXPECT_GE(host.rescans, 1) << "the host re-reads the restored values";

    const std::vector<double> before = values(a);
    std::vector<std::vector<uint8_t>> hostile;
    hostile.push_back({});                                           // nothing
    hostile.push_back({saved.bytes.begin(), saved.bytes.begin() + 40}); // cut short
    hostile.push_back(saved.bytes);
    hostile.back()[0] ^= 0xFF;                                       // wrong magic
    hostile.push_back(saved.bytes);
    std::memcpy(hostile.back().data() + 12 + 8, "\x00\x00\x00\x00\x00\x00\xF8\x7F", 8); // NaN
    hostile.push_back(std::vector<uint8_t>(1 << 20, 0x41));          // far too long
    for (size_t i = 0; i < hostile.size(); ++i) {
        ByteStream s;
        s.bytes = hostile[i];
        EXPECT_FALSE(state->load(a, &s.in)) << "case " << i;
        EXPECT_EQ(values(a), before) << "case " << i;
    }

    // Calls the host's thread check puts on the wrong thread are refused.
    host.mainThread = false;
    ByteStream offThread;
    EXPECT_FALSE(state->save(a, &offThread.out));
    EXPECT_FALSE(a->activate(a, 44100, 1, 512));
}

TEST_F(ClapPluginTest, HundredInstancesComeAndGo)
{
    std::vector<float> silence(256, 0.f), out(256 * 2, 0.f);
    for (int i = 0; i < 100; ++i) {
        const clap_plugin_t* p = create();
        ASSERT_NE(p, nullptr) << "cycle " << i;
        ASSERT_TRUE(p->activate(p, 48000, 1, 256));
        float* in[2] = {silence.data(), silence.data()};
        float* o[2] = {out.data(), out.data() + 256};
        clap_audio_buffer_t inBuffer{in, nullptr, 2, 0, 0};
        clap_audio_buffer_t outBuffer{o, nullptr, 2, 0, 0};
        clap_process_t process{-1, 256, nullptr, &inBuffer, &outBuffer, 1, 1, nullptr, nullptr};
        EXPECT_EQ(p->process(p, &process), CLAP_PROCESS_CONTINUE);
        p->deactivate(p);
        plugins.pop_back();
        p->destroy(p);
    }
}

} // namespace
