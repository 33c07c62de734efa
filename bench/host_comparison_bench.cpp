// What a host pays per stereo sample, in one run: the literal reference
// model, our `process` through IAudioProcessor with each kernel (and through
// the built bundle, loaded as a host loads it), and the compressors a user
// could load instead, through lilv. Every contender gets the same signal:
// blocks of 512, a 0.5 sine plus noise on both channels, controls at their
// defaults, at 44.1, 48 and 96 kHz (the last argument of each case).
#include "core/ModelKernel.h"
#include "core/ReferenceModel.h"
#include "core/ol7t.h"
#include "BuiltBundle.h"
#include "integration/BundleHost.h"
#include "sdk/HostProcessData.h"

#ifdef OL7T_BENCH_PEERS
#include "Lv2Peer.h"
#endif

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32_t kBlock = 512;
const std::vector<int64_t> kRates = {44100, 48000, 96000};

// One second of the test signal at a rate, the same on both channels.
const std::vector<float>& testSignal(double rate)
{
    static std::map<double, std::vector<float>> signals;
    std::vector<float>& s = signals[rate];
    if (s.empty()) {
        s.resize(static_cast<size_t>(rate));
        uint32_t noise = 12345;
        for (size_t i = 0; i < s.size(); ++i) {
            noise = noise * 1664525u + 1013904223u;
            const double white = double(noise >> 8) / double(1u << 24) * 2.0 - 1.0;
            s[i] = static_cast<float>(0.5 * std::sin(6.283185307179586 * 997.0 * double(i) / rate) + 0.05 * white);
        }
    }
    return s;
}

// The rate a case runs at: its last argument.
double rateOf(const benchmark::State& state, int argument)
{
    return static_cast<double>(state.range(argument));
}

// Blocks of the signal in turn, and the per-sample counter of the report.
struct BlockFeed
{
    explicit BlockFeed(double rate)
        : signal(testSignal(rate))
    {
    }
    const float* next()
    {
        if (at + kBlock > signal.size())
            at = 0;
        const float* block = signal.data() + at;
        at += kBlock;
        return block;
    }
    const std::vector<float>& signal;
    size_t at = 0;
};

void reportPerSample(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kBlock);
    // Inverted rate scaled by 1e-9: nanoseconds per stereo sample (printed
    // with an "s" suffix).
    state.counters["ns_per_stereo_sample"] = benchmark::Counter(
        double(state.iterations()) * kBlock * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Brings an effect through the host's set-up calls: stereo in and out with
// the side-chain bus, the rate, 32-bit samples, active.
bool setUp(IComponent& component, IAudioProcessor& processor, FUnknown* context, double rate, HostProcessData& data)
{
    if (component.initialize(context) != kResultOk)
        return false;
    SpeakerArrangement in[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo}, out[1] = {SpeakerArr::kStereo};
    ProcessSetup setup{kRealtime, kSample32, kBlock, rate};
    if (processor.setBusArrangements(in, 2, out, 1) != kResultOk || processor.setupProcessing(setup) != kResultOk
        || component.setActive(true) != kResultOk)
        return false;
    data.prepare(component, processor, kBlock);
    return true;
}

void runProcess(benchmark::State& state, IAudioProcessor& processor, double rate, HostProcessData& data)
{
    BlockFeed feed(rate);
    for (auto _ : state) {
        const float* block = feed.next();
        std::copy_n(block, kBlock, data.input(0, 0));
        std::copy_n(block, kBlock, data.input(0, 1));
        processor.process(data);
        benchmark::DoNotOptimize(data.output(0, 0));
    }
    reportPerSample(state);
}

// Argument: rate.
void BM_LiteralModel(benchmark::State& state)
{
    const double rate = rateOf(state, 0);
    ol7t* effect = new ol7t;
    effect->registerParameters(nullptr);
    effect->setSampleRate(static_cast<float>(rate));
    ReferenceModel reference;
    std::vector<double> mainL(kBlock), mainR(kBlock), scL(kBlock), scR(kBlock);
    BlockFeed feed(rate);
    for (auto _ : state) {
        const float* block = feed.next();
        std::copy_n(block, kBlock, scL.begin());
        std::copy_n(block, kBlock, scR.begin());
        mainL = scL;
        mainR = scR;
        reference.process(*effect, mainL.data(), mainR.data(), scL.data(), scR.data(), kBlock);
        benchmark::DoNotOptimize(mainL.data());
    }
    reportPerSample(state);
    effect->release();
}

// Arguments: kernel (0 SSE2, 1 AVX2 with FMA, 2 AVX-512), rate.
void BM_OurProcess(benchmark::State& state)
{
    const double rate = rateOf(state, 1);
    const auto kernel = static_cast<ModelKernel>(state.range(0));
    if (kernel > supportedModelKernel()) {
        state.SkipWithError("this processor lacks the kernel's instructions");
        return;
    }
    useBuiltBundle();
    selectModelKernel(kernel);
    HostApplication context;
    auto* effect = static_cast<IAudioProcessor*>(ol7t::createInstance(nullptr));
    auto* component = static_cast<ol7t*>(effect);
    HostProcessData data;
    if (setUp(*component, *effect, &context, rate, data))
        runProcess(state, *effect, rate, data);
    else
        state.SkipWithError("the effect does not initialise");
    component->terminate();
    effect->release();
    selectModelKernel(supportedModelKernel());
}

// The built bundle, loaded and driven through its exports only. Argument: rate.
void BM_OurProcessFromBundle(benchmark::State& state)
{
    const double rate = rateOf(state, 0);
    useBuiltBundle();
    testing_support::BundleHost host(OL7T_BUNDLE_DIR);
    HostApplication context;
    IComponent* component = host.createComponent();
    auto* processor = testing_support::queryInterface<IAudioProcessor>(component);
    HostProcessData data;
    if (processor && setUp(*component, *processor, &context, rate, data))
        runProcess(state, *processor, rate, data);
    else
        state.SkipWithError("the bundle does not load");
    if (processor)
        processor->release();
    if (component) {
        component->terminate();
        component->release();
    }
}

BENCHMARK(BM_LiteralModel)->ArgsProduct({kRates})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OurProcess)->ArgsProduct({{0, 1, 2}, kRates})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OurProcessFromBundle)->ArgsProduct({kRates})->Unit(benchmark::kMicrosecond);

#ifdef OL7T_BENCH_PEERS
// Arguments: index into the peers below, rate.
const char* const kPeers[] = {
    "http://gareus.org/oss/lv2/darc#stereo",
    "urn:zamaudio:ZamCompX2",
    "http://calf.sourceforge.net/plugins/Compressor",
    "http://lsp-plug.in/plugins/lv2/compressor_stereo",
};

void BM_Peer(benchmark::State& state)
{
    const char* uri = kPeers[state.range(0)];
    const double rate = rateOf(state, 1);
    state.SetLabel(uri);
    auto peer = Lv2Peer::load(uri, rate, kBlock);
    if (!peer) {
        state.SkipWithError("not installed");
        return;
    }
    std::vector<float> outL(kBlock), outR(kBlock);
    BlockFeed feed(rate);
    for (auto _ : state) {
        const float* block = feed.next();
        peer->run(block, block, outL.data(), outR.data(), kBlock);
        benchmark::DoNotOptimize(outL.data());
    }
    reportPerSample(state);
}

BENCHMARK(BM_Peer)->ArgsProduct({{0, 1, 2, 3}, kRates})->Unit(benchmark::kMicrosecond);
#endif

} // namespace
