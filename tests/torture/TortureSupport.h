// Test support for the host torture tests: seeded random choices, the values
// hostile hosts send, a loud programme, the record of the last valid value of
// each parameter, the judge of every output block, and a real parent window
// on the X display for editors.
#pragma once

// GoogleTest first: the X headers define macros (None) that clash with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace torture {

constexpr int kParameterCount = 8;
constexpr int kGainId = 1;
constexpr int kMaxBlock = 4096;
constexpr double kLoudLevel = 0.5;
// Below this a block fed with kLoudLevel on every sample counts as silent:
// the quietest audible gain (-30 dB) under the deepest cell reduction stays
// orders of magnitude above it.
constexpr float kSilence = 1e-7f;
// The gain from which the judge expects sound.
constexpr double kAudibleGain = 0.05;

using Rng = std::mt19937_64;
using Clock = std::chrono::steady_clock;

// Every rate a host may set, the odd ones included.
inline const std::vector<double> kSampleRates = {8000,  11025, 16000, 22050,  24000,  32000,  44100,
                                                 48000, 88200, 96000, 176400, 192000, 352800, 384000};

// The seed (OL7T_TORTURE_SEED, else a fresh one) and the length of a run
// (OL7T_TORTURE_SECONDS per test, 9 unless told: both tests together about 20 s).
struct RunSettings
{
    uint64_t seed;
    Clock::duration length;
};

inline RunSettings runSettings()
{
    const char* seedText = std::getenv("OL7T_TORTURE_SEED");
    const char* secondsText = std::getenv("OL7T_TORTURE_SECONDS");
    const uint64_t seed = seedText ? std::strtoull(seedText, nullptr, 10) : std::random_device{}();
    const double seconds = secondsText ? std::max(0.5, std::atof(secondsText)) : 9.0;
    // Printed first, so that every failing run's output names it.
    std::cerr << "host torture seed: " << seed << " (OL7T_TORTURE_SEED)\n";
    return {seed, std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds))};
}

inline bool chance(Rng& rng, double p)
{
    return std::uniform_real_distribution<double>(0, 1)(rng) < p;
}

inline int between(Rng& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// Block lengths from 1 to 4096, short ones as often as long ones.
inline int blockLength(Rng& rng)
{
    return std::clamp(int(std::exp2(std::uniform_real_distribution<double>(0, 12)(rng))), 1, kMaxBlock);
}

// Values no host should send but some do.
inline double hostileValue(Rng& rng)
{
    static const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    1e30,
                                    -1e30,
                                    1.5,
                                    -0.25,
                                    1e300};
    return values[between(rng, 0, int(std::size(values)) - 1)];
}

// Automation: mostly values in range (ends included), one in five hostile.
inline double automationValue(Rng& rng)
{
    if (chance(rng, 0.2))
        return hostileValue(rng);
    if (chance(rng, 0.1))
        return double(between(rng, 0, 1));
    return std::uniform_real_distribution<double>(0, 1)(rng);
}

// A value for a parameter that another thread than the judging one sets:
// gain stays audible (or is ignored, or held to its top), so that the audio
// thread's judge never sees a silence it did not cause itself.
inline double audibleValue(Rng& rng, int id)
{
    if (id != kGainId)
        return automationValue(rng);
    static const double hostile[] = {std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(), 1e30, 1.5};
    if (chance(rng, 0.2))
        return hostile[between(rng, 0, int(std::size(hostile)) - 1)];
    return std::uniform_real_distribution<double>(kAudibleGain, 1)(rng);
}

// The saved state: magic, version, count, then eight doubles.
constexpr size_t kStateSize = 76;
constexpr size_t kValuesOffset = 12;

inline double storedValue(const std::vector<uint8_t>& state, int id)
{
    double value = 0;
    std::memcpy(&value, state.data() + kValuesOffset + 8 * id, 8);
    return value;
}

inline void storeValue(std::vector<uint8_t>& state, int id, double value)
{
    std::memcpy(state.data() + kValuesOffset + 8 * id, &value, 8);
}

// Whether every value of a saved state is one a restore can take back.
inline bool holdsValidValues(const std::vector<uint8_t>& state)
{
    if (state.size() != kStateSize)
        return false;
    for (int id = 0; id < kParameterCount; ++id)
        if (!(storedValue(state, id) >= 0 && storedValue(state, id) <= 1))
            return false;
    return true;
}

// A saved state made safe for the silence judge: its gain audible.
inline std::vector<uint8_t> audible(std::vector<uint8_t> state)
{
    if (state.size() == kStateSize && !(storedValue(state, kGainId) >= kAudibleGain))
        storeValue(state, kGainId, 0.5);
    return state;
}

// A saved state spoilt the ways damaged presets and careless hosts spoil them.
inline std::vector<uint8_t> hostileState(Rng& rng, std::vector<uint8_t> state)
{
    state = audible(std::move(state));
    if (state.size() != kStateSize)
        return state;
    switch (between(rng, 0, 5)) {
    case 0:
        for (int n = between(rng, 1, 4); n > 0; --n) {
            const int id = between(rng, 0, kParameterCount - 1);
            storeValue(state, id, audibleValue(rng, id));
        }
        break;
    case 1:
        state.resize(size_t(between(rng, 0, int(kStateSize) - 1)));
        break;
    case 2:
        state[0] ^= 0xFF;
        break;
    case 3: {
        const int32_t counts[] = {0, -1, 3, 1000};
        std::memcpy(state.data() + 8, &counts[between(rng, 0, 3)], 4);
        break;
    }
    case 4:
        std::fill(state.begin() + 4, state.begin() + 8, 0);
        break;
    default:
        state.resize(size_t(between(rng, 0, 100)));
        for (uint8_t& byte : state)
            byte = uint8_t(between(rng, 0, 255));
        break;
    }
    return state;
}

// Failures seen on any thread, counted by kind with the first instance of
// each kept in full, for the end of the run, where the test reports them
// with the seed.
class Findings
{
public:
    void add(const std::string& kind, const std::string& detail = "")
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto [entry, added] = kinds.try_emplace(kind, 0, detail);
        ++entry->second.first;
    }
    int total() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        int count = 0;
        for (const auto& [kind, entry] : kinds)
            count += entry.first;
        return count;
    }
    std::string summary() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::string text;
        for (const auto& [kind, entry] : kinds)
            text += "\n  " + std::to_string(entry.first) + " x " + kind + (entry.second.empty() ? "" : ", first ")
                    + entry.second;
        return text;
    }

private:
    mutable std::mutex mutex;
    std::map<std::string, std::pair<int, std::string>> kinds;
};

// The last valid value set for each parameter: non-finite values are ignored,
// finite ones held to 0…1.
struct Ledger
{
    double expected[kParameterCount] = {1.0, 0.4, 0.5, 0.0, 0.5, 0.0, 0.0, 0.0};

    void set(int id, double value)
    {
        if (std::isfinite(value))
            expected[id] = std::clamp(value, 0.0, 1.0);
    }

    // Compares what the effect holds and what it saved with the record.
    void check(Findings& findings, const char* when, const double (&held)[kParameterCount],
               const std::vector<uint8_t>& state) const
    {
        for (int id = 0; id < kParameterCount; ++id) {
            const double saved = state.size() == kStateSize ? storedValue(state, id) : -1;
            if (!(std::fabs(held[id] - expected[id]) < 1e-6 && std::fabs(saved - expected[id]) < 1e-6))
                findings.add(std::string(when) + ": parameter " + std::to_string(id) + " not on its last valid value",
                             "holds " + std::to_string(held[id]) + ", saved " + std::to_string(saved) + ", last valid "
                                 + std::to_string(expected[id]));
        }
    }
};

inline double randomRate(Rng& rng)
{
    return kSampleRates[between(rng, 0, int(kSampleRates.size()) - 1)];
}

// Activations until `end`, each at a random rate for a random time:
// `activate` (rate) between them, `audio` (stop flag) on a thread of its own
// meanwhile, and `step` on this thread until the activation ends.
template <typename Activate, typename Audio, typename Step>
void runActivations(Rng& rng, Clock::time_point end, Activate activate, Audio audio, Step step)
{
    while (Clock::now() < end) {
        activate(randomRate(rng));
        const auto activationEnd = std::min(end, Clock::now() + std::chrono::milliseconds(between(rng, 150, 900)));
        std::atomic<bool> stop{false};
        std::thread audioThread([&] { audio(stop); });
        while (Clock::now() < activationEnd)
            step();
        stop = true;
        audioThread.join();
    }
}

// A square wave at kLoudLevel: loud on every sample, so that even a block of
// one sample can be judged.
class LoudProgramme
{
public:
    void fill(float* const* channels, int channelCount, int frames)
    {
        for (int i = 0; i < frames; ++i, ++phase) {
            const float v = (phase / 64) % 2 ? float(kLoudLevel) : -float(kLoudLevel);
            for (int c = 0; c < channelCount; ++c)
                if (channels[c])
                    channels[c][i] = v;
        }
    }

private:
    uint64_t phase = 0;
};

// Judges each output block of one activation: always finite, and never silent
// once the model has settled at this rate while the audio thread's own
// automation keeps the gain audible.
class BlockJudge
{
public:
    BlockJudge(Findings& findings, double rate)
        : findings(findings)
        , rate(rate)
        , settle(std::max<int64_t>(kMaxBlock, int64_t(rate * 0.1)))
    {
    }

    // `gainAudible`: the last valid gain this thread sent is kAudibleGain or more.
    void judge(const float* const* outputs, int channelCount, int frames, bool gainAudible)
    {
        float peak = 0;
        bool finite = true;
        for (int c = 0; c < channelCount; ++c) {
            for (int i = 0; outputs[c] && i < frames; ++i) {
                finite = finite && std::isfinite(outputs[c][i]);
                peak = std::max(peak, std::fabs(outputs[c][i]));
            }
        }
        if (!finite)
            report("non-finite output");
        audibleFor = gainAudible ? audibleFor + frames : 0;
        processed += frames;
        if (finite && processed - frames >= settle && audibleFor - frames >= settle && peak < kSilence)
            report("silent output", "peak " + std::to_string(peak) + " ");
    }

private:
    // One report per kind and activation keeps a broken run readable.
    void report(const std::string& what, const std::string& detail = "")
    {
        if (reported.insert(what).second)
            findings.add(what, detail + "at " + std::to_string(int(rate)) + " Hz after " + std::to_string(processed)
                                   + " samples");
    }

    Findings& findings;
    double rate;
    int64_t settle;
    int64_t processed = 0;
    int64_t audibleFor = 0;
    std::set<std::string> reported;
};

// A mapped top-level window on the test's display for editors to embed in,
// away from where the editor tests place theirs.
class ParentWindow
{
public:
    ParentWindow()
    {
        display = XOpenDisplay(nullptr);
        if (!display) {
            std::cerr << "no X display (set DISPLAY): no editor is opened\n";
            return;
        }
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        window = XCreateWindow(display, DefaultRootWindow(display), 420, 700, 800, 300, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(display, window);
        XSync(display, False);
    }
    ~ParentWindow()
    {
        if (!display)
            return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    bool available() const { return display != nullptr; }
    void* handle() const { return reinterpret_cast<void*>(window); }

private:
    Display* display = nullptr;
    Window window = 0;
};

// One whole run of a torture host over the built bundle, as the test of each
// entry makes it: the host's findings, with the seed that repeats them.
template <class Host, class Bundle>
void runThroughBundle(const char* bundleDir)
{
    setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
    setenv("OL7T_MESSAGEBOX", "stderr", 1);
    const RunSettings settings = runSettings();
    Bundle bundle(bundleDir);
    ASSERT_TRUE(bundle.loaded());
    Host host(bundle, settings);
    ASSERT_TRUE(host.ready());
    host.run();
    host.settle();
    EXPECT_EQ(host.findings.total(), 0) << "seed " << settings.seed << ": " << host.findings.summary();
}

} // namespace torture
