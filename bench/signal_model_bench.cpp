// Cost of the leveling amplifier per stereo sample, on a programme that keeps
// the cell working: a burst of loud, decaying tones over a quiet bed.
#include "core/ol7t.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int32_t kBlock = 512;

struct Programme
{
    explicit Programme(double rate)
    {
        const size_t n = static_cast<size_t>(rate); // one second
        left.resize(n);
        right.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const double t = double(i) / rate;
            const double envelope = std::exp(-6.0 * std::fmod(t, 0.25));
            left[i] = 0.9 * envelope * std::sin(6.283185307179586 * 220.0 * t) + 0.02 * std::sin(6.283185307179586 * 3100.0 * t);
            right[i] = 0.8 * envelope * std::sin(6.283185307179586 * 330.0 * t) + 0.02 * std::sin(6.283185307179586 * 2300.0 * t);
        }
    }
    std::vector<double> left, right;
};

void BM_ProcessModel(benchmark::State& state)
{
    const double rate = static_cast<double>(state.range(0));
    const Programme programme(rate);
    ol7t* effect = new ol7t;
    effect->registerParameters(nullptr);
    effect->setSampleRate(static_cast<float>(rate));
    effect->setParamNormalized(PARAM_PEAKRED, 0.7);

    std::vector<double> mainL(kBlock), mainR(kBlock), scL(kBlock), scR(kBlock);
    size_t at = 0;
    for (auto _ : state) {
        if (at + kBlock > programme.left.size())
            at = 0;
        std::copy_n(programme.left.begin() + at, kBlock, scL.begin());
        std::copy_n(programme.right.begin() + at, kBlock, scR.begin());
        mainL = scL;
        mainR = scR;
        effect->processModel(mainL.data(), mainR.data(), scL.data(), scR.data(), kBlock);
        benchmark::DoNotOptimize(mainL.data());
        at += kBlock;
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    // Inverted rate of samples scaled by 1e-9: nanoseconds per stereo sample
    // (the report prints it with an "s" suffix).
    state.counters["ns_per_stereo_sample"] = benchmark::Counter(
        double(state.iterations()) * kBlock * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    effect->release();
}
BENCHMARK(BM_ProcessModel)->Arg(44100)->Arg(96000)->Unit(benchmark::kMicrosecond);

} // namespace
