// Google Benchmark: one 512-sample stereo block with a side chain through the
// built library in each of its native Linux formats, so the cost of the LV2
// and CLAP adapters shows beside the VST 3 process call they wrap.
#include "clap/ClapHost.h"
#include "integration/BundleHost.h"
#include "lv2/Lv2Host.h"
#include "sdk/HostProcessData.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

using namespace testing_support;

namespace {

constexpr uint32_t kBlock = 512;

// A loud tone, so the cell works in every block.
std::vector<float> tone()
{
    std::vector<float> samples(kBlock);
    for (uint32_t i = 0; i < kBlock; ++i)
        samples[i] = 0.8f * std::sin(0.05f * static_cast<float>(i));
    return samples;
}

void quiet()
{
    setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
    setenv("OL7T_MESSAGEBOX", "stderr", 1);
}

void BM_Vst3Process512(benchmark::State& state)
{
    quiet();
    BundleHost bundle(OL7T_BUNDLE_DIR);
    Steinberg::Vst::HostApplication context;
    Steinberg::IPtr<Steinberg::Vst::IComponent> component(bundle.createComponent(), false);
    component->initialize(&context);
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor(
        queryInterface<Steinberg::Vst::IAudioProcessor>(component), false);
    Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, kBlock, 44100};
    processor->setupProcessing(setup);
    component->setActive(true);
    Steinberg::Vst::HostProcessData data;
    data.prepare(*component, *processor, kBlock);
    const std::vector<float> in = tone();
    for (int32_t bus = 0; bus < 2; ++bus)
        for (int32_t c = 0; c < 2; ++c)
            std::copy(in.begin(), in.end(), data.input(bus, c));
    data.numSamples = kBlock;
    for (auto _ : state) {
        processor->process(data);
        benchmark::DoNotOptimize(data.output(0, 0)[0]);
    }
    component->setActive(false);
    component->terminate();
}

void BM_Lv2Run512(benchmark::State& state)
{
    quiet();
    Lv2World lv2(OL7T_LV2_BUNDLE_DIR);
    LilvInstance* instance = lv2.instantiate(44100);
    std::vector<float> in = tone(), outL(kBlock), outR(kBlock);
    std::vector<float> controls(lv2ports::kPortCount, 0.f);
    controls[lv2ports::kFirstParameter] = 1.f; // on
    for (uint32_t p : {lv2ports::kInputLeft, lv2ports::kInputRight, lv2ports::kSideChainLeft, lv2ports::kSideChainRight})
        lilv_instance_connect_port(instance, p, in.data());
    lilv_instance_connect_port(instance, lv2ports::kOutputLeft, outL.data());
    lilv_instance_connect_port(instance, lv2ports::kOutputRight, outR.data());
    for (uint32_t p = lv2ports::kFirstParameter; p < lv2ports::kPortCount; ++p)
        lilv_instance_connect_port(instance, p, &controls[p]);
    lilv_instance_activate(instance);
    for (auto _ : state) {
        lilv_instance_run(instance, kBlock);
        benchmark::DoNotOptimize(outL[0]);
    }
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void BM_ClapProcess512(benchmark::State& state)
{
    quiet();
    ClapLibrary library(OL7T_CLAP_FILE);
    ClapTestHost host;
    const clap_plugin_t* plugin = library.factory->create_plugin(
        library.factory, &host.host, library.factory->get_plugin_descriptor(library.factory, 0)->id);
    plugin->init(plugin);
    plugin->activate(plugin, 44100, 1, kBlock);
    plugin->start_processing(plugin);
    std::vector<float> in = tone(), outL(kBlock), outR(kBlock);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    clap_audio_buffer_t inBuffers[2] = {{inputs, nullptr, 2, 0, 0}, {inputs, nullptr, 2, 0, 0}};
    clap_audio_buffer_t outBuffer{outputs, nullptr, 2, 0, 0};
    ClapEvents events;
    clap_process_t process{-1, kBlock, nullptr, inBuffers, &outBuffer, 2, 1, &events.in, &events.out};
    for (auto _ : state) {
        plugin->process(plugin, &process);
        benchmark::DoNotOptimize(outL[0]);
    }
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
}

} // namespace

BENCHMARK(BM_Vst3Process512)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lv2Run512)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClapProcess512)->Unit(benchmark::kMicrosecond);
