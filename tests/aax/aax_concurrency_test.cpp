// The built library under a simulated AAX host whose user-interface thread
// sets parameters and saves them while its audio thread renders.
#include "aax/AAXHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

using testing_support::AAXHost;
using testing_support::AAXInstance;

namespace {

TEST(AAXConcurrency, HostCallsWhileRendering)
{
    setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
    AAXHost host{OL7T_BUNDLE_DIR};
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized);
    const std::string bypass = a.id(0), gain = a.id(2), sideChain = a.id(8);

    std::atomic<bool> done{false};
    std::thread audio([&] {
        const std::vector<std::vector<float>> in(2, std::vector<float>(256, 0.5f));
        const std::vector<float> key(256, 0.9f);
        std::vector<std::vector<float>> out;
        for (int block = 0; block < 400; ++block)
            a.process(in, out, block % 2 ? &key : nullptr);
        done = true;
    });
    AAX_CString text;
    uint32_t size = 0;
    // At least one round, however soon the audio thread ends.
    for (int i = 0; i == 0 || !done; ++i) {
        a.parameters->SetParameterNormalizedValue(gain.c_str(), (i % 100) / 100.0);
        a.parameters->SetParameterNormalizedValue(sideChain.c_str(), i % 2);
        a.parameters->SetParameterNormalizedValue(bypass.c_str(), i % 7 == 0 ? 1.0 : 0.0);
        a.parameters->GetParameterValueString(gain.c_str(), 0.5, &text, 16);
        a.parameters->GetChunkSize(AAX_CEffectParameters::cControlChunkID, &size);
    }
    audio.join();
    EXPECT_GT(size, 0u);
}

} // namespace
