// Cost of the leveling amplifier per stereo sample: the fast model with each
// kernel against the literal reference model in the same run, on a programme
// that keeps the cell working and on long decays into silence; and the cost
// of one 512-sample `process` call as a host makes it, and of the check on
// the model's state that each block ends with.
#include "core/ModelKernel.h"
#include "core/ol7t.h"
#include "core/ReferenceModel.h"
#include "sdk/HostProcessData.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <map>
#include <vector>

namespace {

constexpr int32_t kBlock = 512;
constexpr double kTwoPi = 6.283185307179586;

enum Material
{
    kWorkingCell,     // decaying 220/330 Hz bursts over a quiet bed
    kDecayIntoSilence // a short burst, then a long exponential decay to exact zeros
};

struct Programme
{
    Programme(Material material, double rate)
    {
        const size_t n = static_cast<size_t>(rate) * (material == kWorkingCell ? 1 : 4);
        left.resize(n);
        right.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const double t = double(i) / rate;
            if (material == kWorkingCell) {
                const double envelope = std::exp(-6.0 * std::fmod(t, 0.25));
                left[i] = 0.9 * envelope * std::sin(kTwoPi * 220.0 * t) + 0.02 * std::sin(kTwoPi * 3100.0 * t);
                right[i] = 0.8 * envelope * std::sin(kTwoPi * 330.0 * t) + 0.02 * std::sin(kTwoPi * 2300.0 * t);
            } else {
                // Host samples are floats: the decay passes through subnormal
                // floats before it reaches zero.
                const double envelope = t < 0.05 ? 1.0 : std::exp(-(t - 0.05) / 0.02);
                left[i] = static_cast<float>(0.9 * envelope * std::sin(kTwoPi * 150.0 * t));
                right[i] = static_cast<float>(0.9 * envelope * std::cos(kTwoPi * 150.0 * t));
            }
        }
    }
    std::vector<double> left, right;
};

// Nanoseconds per stereo sample of the reference, per material and rate, for
// the speed-up of the fast model measured later in the same run.
std::map<std::pair<int64_t, int64_t>, double> g_referenceNs;

ol7t* makeEffect(double rate)
{
    ol7t* effect = new ol7t;
    effect->registerParameters(nullptr);
    effect->setSampleRate(static_cast<float>(rate));
    effect->setParamNormalized(PARAM_PEAKRED, 0.7);
    return effect;
}

void reportPerSample(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kBlock);
    // Inverted rate of samples scaled by 1e-9: nanoseconds per stereo sample
    // (the report prints it with an "s" suffix).
    state.counters["ns_per_stereo_sample"] = benchmark::Counter(
        double(state.iterations()) * kBlock * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// CPU time of this thread in nanoseconds, as the benchmark itself measures.
double threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// Runs `model` over the programme block by block and returns the measured
// CPU nanoseconds per stereo sample.
template <class Model>
double runBlocks(benchmark::State& state, const Programme& programme, Model&& model)
{
    std::vector<double> mainL(kBlock), mainR(kBlock), scL(kBlock), scR(kBlock);
    size_t at = 0;
    const double start = threadCpuNs();
    for (auto _ : state) {
        if (at + kBlock > programme.left.size())
            at = 0;
        std::copy_n(programme.left.begin() + at, kBlock, scL.begin());
        std::copy_n(programme.right.begin() + at, kBlock, scR.begin());
        mainL = scL;
        mainR = scR;
        model(mainL.data(), mainR.data(), scL.data(), scR.data());
        benchmark::DoNotOptimize(mainL.data());
        at += kBlock;
    }
    const double elapsed = threadCpuNs() - start;
    reportPerSample(state);
    return elapsed / (double(state.iterations()) * kBlock);
}

// Arguments: material, sample rate.
void BM_ReferenceModel(benchmark::State& state)
{
    const double rate = static_cast<double>(state.range(1));
    const Programme programme(static_cast<Material>(state.range(0)), rate);
    ol7t* effect = makeEffect(rate);
    ReferenceModel reference;
    g_referenceNs[{state.range(0), state.range(1)}] =
        runBlocks(state, programme, [&](double* mL, double* mR, const double* sL, const double* sR) {
            reference.process(*effect, mL, mR, sL, sR, kBlock);
        });
    effect->release();
}

// Arguments: material, sample rate, kernel (0 SSE2, 1 AVX2 with FMA, 2 AVX-512).
void BM_FastModel(benchmark::State& state)
{
    const auto kernel = static_cast<ModelKernel>(state.range(2));
    if (kernel > supportedModelKernel()) {
        state.SkipWithError("this processor lacks the kernel's instructions");
        return;
    }
    selectModelKernel(kernel);
    const double rate = static_cast<double>(state.range(1));
    const Programme programme(static_cast<Material>(state.range(0)), rate);
    ol7t* effect = makeEffect(rate);
    const double ns = runBlocks(state, programme, [&](double* mL, double* mR, const double* sL, const double* sR) {
        effect->processModel(mL, mR, sL, sR, kBlock);
        effect->sampleCounter += kBlock;
    });
    const auto reference = g_referenceNs.find({state.range(0), state.range(1)});
    if (reference != g_referenceNs.end())
        state.counters["speedup"] = reference->second / ns;
    effect->release();
    selectModelKernel(supportedModelKernel());
}

// One 512-sample block of stereo audio with a stereo side chain through
// IAudioProcessor::process, as a host calls it.
void BM_ProcessCall512(benchmark::State& state)
{
    const double rate = 44100;
    const Programme programme(kWorkingCell, rate);
    ol7t* effect = makeEffect(rate);
    Steinberg::Vst::HostProcessData data;
    data.prepare({2, 2}, {2}, kBlock);
    Steinberg::Vst::IAudioProcessor* processor = effect;
    size_t at = 0;
    for (auto _ : state) {
        if (at + kBlock > programme.left.size())
            at = 0;
        for (int32_t bus = 0; bus < 2; ++bus) {
            for (int32_t i = 0; i < kBlock; ++i) {
                data.input(bus, 0)[i] = static_cast<float>(programme.left[at + i]);
                data.input(bus, 1)[i] = static_cast<float>(programme.right[at + i]);
            }
        }
        processor->process(data);
        benchmark::DoNotOptimize(data.output(0, 0));
        at += kBlock;
    }
    reportPerSample(state);
    effect->release();
}

// The check, once per block, that the model's state is still a number.
void BM_ModelStateCheck(benchmark::State& state)
{
    ol7t* effect = makeEffect(44100);
    for (auto _ : state) {
        benchmark::DoNotOptimize(effect->modelStateIsFinite());
        benchmark::ClobberMemory();
    }
    effect->release();
}

void materialsAndRates(benchmark::internal::Benchmark* b, bool withKernels)
{
    for (int64_t material : {kWorkingCell, kDecayIntoSilence}) {
        for (int64_t rate : {44100, 96000}) {
            if (material == kDecayIntoSilence && rate != 44100)
                continue;
            if (!withKernels) {
                b->Args({material, rate});
                continue;
            }
            for (int64_t kernel : {0, 1, 2})
                b->Args({material, rate, kernel});
        }
    }
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_ReferenceModel)->Apply([](benchmark::internal::Benchmark* b) { materialsAndRates(b, false); });
BENCHMARK(BM_FastModel)->Apply([](benchmark::internal::Benchmark* b) { materialsAndRates(b, true); });
BENCHMARK(BM_ProcessCall512)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ModelStateCheck);

} // namespace
