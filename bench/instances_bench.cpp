// A large session: 200 effects from the built bundle in one process, loaded
// and driven as a host does. Measures the time to create and initialise one
// more effect, the heap each one adds beyond the shared images and texts, and
// the share of one core that all of them take processing at 48 kHz.
#include "BuiltBundle.h"
#include "integration/BundleHost.h"
#include "sdk/HostProcessData.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kInstances = 200;
constexpr int32_t kBlock = 512;
constexpr double kRate = 48000.0;

// One effect as a host holds it, set up for stereo at 48 kHz and active.
struct Instance
{
    explicit Instance(const testing_support::BundleHost& host)
        : component(host.createComponent())
        , processor(testing_support::queryInterface<IAudioProcessor>(component))
    {
        SpeakerArrangement in[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo}, out[1] = {SpeakerArr::kStereo};
        ProcessSetup setup{kRealtime, kSample32, kBlock, kRate};
        ready = processor && component->initialize(&context) == kResultOk
                && processor->setBusArrangements(in, 2, out, 1) == kResultOk
                && processor->setupProcessing(setup) == kResultOk && component->setActive(true) == kResultOk;
    }
    ~Instance()
    {
        if (processor)
            processor->release();
        if (component) {
            component->setActive(false);
            component->terminate();
            component->release();
        }
    }

    HostApplication context;
    IComponent* component;
    IAudioProcessor* processor;
    bool ready = false;
};

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// Resident memory of the process in KiB: what loading the library costs
// beyond the heap (its code and data pages, the libraries it pulls in).
double residentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1024.0;
}

struct Session
{
    Session()
        : residentBeforeLoad(residentKiB())
        , host(OL7T_BUNDLE_DIR)
    {
    }
    double residentBeforeLoad;
    testing_support::BundleHost host;
    std::vector<std::unique_ptr<Instance>> instances;
};

Session& session()
{
    static Session s;
    return s;
}

// Each iteration creates and initialises one more effect; the first one,
// which loads the shared texts, is made before timing starts.
void BM_CreateAndInitialiseOne(benchmark::State& state)
{
    Session& s = session();
    const size_t heapBefore = heapInUse();
    const double residentBeforeFirst = residentKiB();
    s.instances.push_back(std::make_unique<Instance>(s.host));
    const size_t heapOfFirst = heapInUse() - heapBefore;
    state.counters["library_load_resident_KiB"] = residentBeforeFirst - s.residentBeforeLoad;
    state.counters["first_instance_resident_KiB"] = residentKiB() - residentBeforeFirst;
    const size_t heapAfterFirst = heapInUse();
    // Creation times of the early and the late effects: a cost that grew with
    // the number of effects would show as a difference.
    std::vector<double> microseconds;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        s.instances.push_back(std::make_unique<Instance>(s.host));
        microseconds.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        if (!s.instances.back()->ready)
            state.SkipWithError("an effect does not initialise");
    }
    if (microseconds.size() >= 100) {
        std::sort(microseconds.begin(), microseconds.begin() + 50);
        std::sort(microseconds.end() - 50, microseconds.end());
        state.counters["median_us_effects_2_to_51"] = microseconds[25];
        state.counters["median_us_last_50"] = microseconds[microseconds.size() - 25];
    }
    const double further = double(s.instances.size() - 1);
    state.counters["first_instance_KiB"] = double(heapOfFirst) / 1024.0;
    state.counters["further_instance_KiB"] = double(heapInUse() - heapAfterFirst) / further / 1024.0;
}

// One block on every effect; the share of a core is the time that takes
// against the block's duration.
void BM_ProcessAll(benchmark::State& state)
{
    Session& s = session();
    const size_t count = s.instances.size();
    std::vector<std::unique_ptr<HostProcessData>> data;
    for (const auto& instance : s.instances) {
        data.push_back(std::make_unique<HostProcessData>());
        data.back()->prepare(*instance->component, *instance->processor, kBlock);
        for (int32 c = 0; c < 2; ++c)
            for (int32 i = 0; i < kBlock; ++i)
                data.back()->input(0, c)[i] = float(0.5 * std::sin(0.13 * i) + 0.01 * ((i * 7919) % 13 - 6));
    }
    for (auto _ : state) {
        for (size_t k = 0; k < count; ++k)
            s.instances[k]->processor->process(*data[k]);
    }
    const double blockSeconds = kBlock / kRate;
    state.counters["instances"] = double(count);
    // CPU time over audio time, in percent (printed with an "s" suffix).
    state.counters["core_share_percent"] = benchmark::Counter(
        blockSeconds * double(state.iterations()) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["ns_per_instance_sample"] = benchmark::Counter(
        double(state.iterations()) * double(count) * kBlock * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ReleaseAll(benchmark::State& state)
{
    for (auto _ : state)
        session().instances.clear();
}

bool g_configured = (useBuiltBundle(), true);

BENCHMARK(BM_CreateAndInitialiseOne)->Iterations(kInstances - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProcessAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReleaseAll)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
