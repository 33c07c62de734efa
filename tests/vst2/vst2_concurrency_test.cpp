// The adapter under a host that processes on one thread while its user
// interface changes parameters on another; run under ThreadSanitizer, it shows
// that the hand-over of the host's changes to the audio thread is free of
// races, and that the last change of each parameter arrives.
#include "Vst2Host.h"
#include "integration/BundleHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using testing_support::BundleHost;
using testing_support::dispatch;
using testing_support::useRegistry;
using testing_support::Vst2Buffers;
using testing_support::Vst2Host;

TEST(Vst2Concurrency, ParameterChangesBesideProcessingArriveWithTheBlocks)
{
    setenv("OL7T_MESSAGEBOX", "stderr", 1);
    useRegistry("vst2_concurrency_test", "");
    BundleHost library(OL7T_BUNDLE_DIR);
    Vst2Host host;
    auto main = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(library.symbol("TORVAPluginMain"));
    ASSERT_NE(main, nullptr);
    AEffect* e = main(&Vst2Host::callback);
    ASSERT_NE(e, nullptr);
    // Blocks announced as a second long: a stalled audio thread must not make
    // the adapter think the host stopped and deliver on this thread.
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 8000.f);
    dispatch(e, effSetBlockSize, 0, 8192);
    dispatch(e, effMainsChanged, 0, 1);

    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::thread audio([&] {
        Vst2Buffers buffers(4, 2, 64);
        while (!done) {
            e->process_float(e, buffers.in.data(), buffers.out.data(), 64);
            started = true;
        }
    });
    // The first block marks the host as processing; from then on changes
    // only queue for the audio thread.
    while (!started)
        std::this_thread::yield();
    float last[8] = {};
    for (int i = 0; i < 20000; ++i) {
        const auto index = static_cast<uint32_t>(i % 8);
        last[index] = static_cast<float>(i % 101) / 100.f;
        e->set_parameter(e, index, last[index]);
    }
    done = true;
    audio.join();
    Vst2Buffers buffers(4, 2, 64);
    e->process_float(e, buffers.in.data(), buffers.out.data(), 64);
    for (uint32_t index = 0; index < 8; ++index)
        EXPECT_FLOAT_EQ(e->get_parameter(e, index), last[index]) << index;
    dispatch(e, effMainsChanged, 0, 0);
    dispatch(e, effClose);
}
