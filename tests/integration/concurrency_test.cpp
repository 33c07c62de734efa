// Hosts that create and initialise effects on several threads at once: every
// object ends up with the shared texts, and nothing races.
#include "BundleHost.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/base/ustring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using testing_support::BundleHost;
using testing_support::queryInterface;

namespace {

TEST(BundleConcurrency, ObjectsInitialisedOnSeveralThreadsAllGetTheirTitles)
{
    setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
    BundleHost host(OL7T_BUNDLE_DIR);
    ASSERT_TRUE(host.loaded());
    std::atomic<int> titled{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 5; ++round) {
                IComponent* component = host.createComponent();
                if (!component)
                    continue;
                HostApplication context;
                if (component->initialize(&context) == kResultOk) {
                    auto* controller = queryInterface<IEditController>(component);
                    ParameterInfo info{};
                    if (controller && controller->getParameterInfo(1, info) == kResultTrue && info.title[0] != 0)
                        ++titled;
                    if (controller)
                        controller->release();
                }
                component->terminate();
                component->release();
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(titled, 20);
}

} // namespace
