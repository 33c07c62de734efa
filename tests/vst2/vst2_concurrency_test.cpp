// The adapter under a host that processes on one thread while its user
// interface changes parameters and loads presets on another; run under
// ThreadSanitizer, it shows that the hand-over of the host's changes to the
// audio thread is free of races, that the last change of each parameter
// arrives, and that a preset is never undone by a change made before it.
#include "Vst2Host.h"
#include "integration/BundleHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using testing_support::BundleHost;
using testing_support::dispatch;
using testing_support::useRegistry;
using testing_support::Vst2Buffers;
using testing_support::Vst2Host;

namespace {

// An instance in the channel strip's form, switched on with blocks announced
// as a second long: a stalled audio thread must not make the adapter think
// the host stopped and deliver on the user-interface thread.
class Vst2ConcurrencyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        useRegistry("vst2_concurrency_test", "");
        auto main = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(library.symbol("TORVAPluginMain"));
        ASSERT_NE(main, nullptr);
        e = main(&Vst2Host::callback);
        ASSERT_NE(e, nullptr);
        dispatch(e, effSetSampleRate, 0, 0, nullptr, 8000.f);
        dispatch(e, effSetBlockSize, 0, 8192);
    }
    void TearDown() override
    {
        if (audio.joinable()) {
            done = true;
            audio.join();
        }
        if (e) {
            dispatch(e, effMainsChanged, 0, 0);
            dispatch(e, effClose);
        }
    }
    // Switches the effect on and processes on a thread of its own; returns
    // after the first block, which marks the host as processing, so that
    // changes from then on only queue for the audio thread.
    void startProcessing()
    {
        dispatch(e, effMainsChanged, 0, 1);
        audio = std::thread([this] {
            Vst2Buffers buffers(4, 2, 64);
            while (!done) {
                e->process_float(e, buffers.in.data(), buffers.out.data(), 64);
                started = true;
            }
        });
        while (!started)
            std::this_thread::yield();
    }
    void stopProcessing()
    {
        done = true;
        audio.join();
    }

    BundleHost library{OL7T_BUNDLE_DIR};
    Vst2Host host;
    AEffect* e = nullptr;
    std::thread audio;
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
};

} // namespace

TEST_F(Vst2ConcurrencyTest, ParameterChangesBesideProcessingArriveWithTheBlocks)
{
    startProcessing();
    float last[8] = {};
    for (int i = 0; i < 20000; ++i) {
        const auto index = static_cast<uint32_t>(i % 8);
        last[index] = static_cast<float>(i % 101) / 100.f;
        e->set_parameter(e, index, last[index]);
    }
    stopProcessing();
    Vst2Buffers buffers(4, 2, 64);
    e->process_float(e, buffers.in.data(), buffers.out.data(), 64);
    for (uint32_t index = 0; index < 8; ++index)
        EXPECT_FLOAT_EQ(e->get_parameter(e, index), last[index]) << index;
}

TEST_F(Vst2ConcurrencyTest, PresetLoadedBesideProcessingIsNeverUndoneByAnOlderChange)
{
    e->set_parameter(e, 1, 0.7f);
    void* data = nullptr;
    const auto size = dispatch(e, effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    std::vector<uint8_t> preset(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    startProcessing();
    int undone = 0;
    for (int i = 0; i < 1000; ++i) {
        e->set_parameter(e, 1, static_cast<float>(i % 50) / 100.f);
        dispatch(e, effSetChunk, 0, static_cast<intptr_t>(preset.size()), preset.data());
        std::this_thread::yield();
        undone += e->get_parameter(e, 1) != 0.7f;
    }
    stopProcessing();
    EXPECT_EQ(undone, 0);
}
