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
    // Hosts ask for the factory on their main thread; creation and
    // initialisation may then happen anywhere.
    IPluginFactory* factory = host.factory();
    ASSERT_NE(factory, nullptr);
    PClassInfo info;
    ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
    std::atomic<int> titled{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 5; ++round) {
                void* obj = nullptr;
                if (factory->createInstance(info.cid, IComponent::iid, &obj) != kResultOk)
                    continue;
                auto* component = static_cast<IComponent*>(obj);
                HostApplication context;
                if (component->initialize(&context) == kResultOk) {
                    auto* controller = queryInterface<IEditController>(component);
                    ParameterInfo parameter{};
                    if (controller && controller->getParameterInfo(1, parameter) == kResultTrue
                        && parameter.title[0] != 0)
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
    factory->release();
    EXPECT_EQ(titled, 20);
}

} // namespace
