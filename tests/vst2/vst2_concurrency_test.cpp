// The adapter under a host that processes on one thread while its user
// interface changes parameters, idles and saves chunks on another; run under
// ThreadSanitizer, it shows the hand-over between the two is free of races.
#include "Vst2Host.h"
#include "integration/BundleHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using testing_support::BundleHost;
using testing_support::dispatch;
using testing_support::useRegistry;
using testing_support::Vst2Buffers;
using testing_support::Vst2Host;

TEST(Vst2Concurrency, ParameterChangesAndIdleBesideProcessing)
{
    setenv("OL7T_MESSAGEBOX", "stderr", 1);
    useRegistry("vst2_concurrency_test", "");
    BundleHost library(OL7T_BUNDLE_DIR);
    Vst2Host host;
    auto main = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(library.symbol("TORVAPluginMain"));
    ASSERT_NE(main, nullptr);
    AEffect* e = main(&Vst2Host::callback);
    ASSERT_NE(e, nullptr);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.f);
    dispatch(e, effSetBlockSize, 0, 64);
    dispatch(e, effMainsChanged, 0, 1);

    std::atomic<bool> done{false};
    std::thread audio([&] {
        Vst2Buffers buffers(4, 2, 64);
        for (int block = 0; block < 3000; ++block) {
            e->process_float(e, buffers.in.data(), buffers.out.data(), 64);
            if (block % 500 == 0) // long enough for the idle rule to end processing
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
        done = true;
    });
    for (int i = 0; !done; ++i) {
        e->set_parameter(e, static_cast<uint32_t>(i % 8), static_cast<float>(i % 100) / 100.f);
        dispatch(e, effEditIdle);
        if (i % 50 == 0) {
            void* chunk = nullptr;
            dispatch(e, effGetChunk, 0, 0, &chunk);
        }
        std::this_thread::yield();
    }
    audio.join();
    dispatch(e, effMainsChanged, 0, 0);
    dispatch(e, effClose);
}
