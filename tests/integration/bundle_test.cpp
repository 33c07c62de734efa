// The built bundle as hosts see it: loaded by path, reached only through its
// exports and VST 3 interfaces.
#include "BundleHost.h"

#include "sdk/HostProcessData.h"
#include "sdk/ParameterChanges.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using testing_support::BundleHost;
using testing_support::queryInterface;

namespace {

std::string ascii(const char16* text)
{
    char out[256];
    UString(const_cast<char16*>(text), 256).toAscii(out, 256);
    return out;
}

// Keeps the tests independent of any registry file on the machine.
class BundleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
    }

    BundleHost host{OL7T_BUNDLE_DIR};
};

// An initialised effect with its three interfaces.
struct Effect
{
    explicit Effect(const BundleHost& host)
        : component(host.createComponent())
        , processor(queryInterface<IAudioProcessor>(component))
        , controller(queryInterface<IEditController>(component))
    {
        if (component)
            initialized = component->initialize(&context) == kResultOk;
    }
    ~Effect()
    {
        if (controller)
            controller->release();
        if (processor)
            processor->release();
        if (component) {
            component->terminate();
            component->release();
        }
    }

    // The SDK's host context is not reference-counted: it lives as long as we do.
    HostApplication context;
    IComponent* component;
    IAudioProcessor* processor;
    IEditController* controller;
    bool initialized = false;
};

TEST_F(BundleTest, ExportsOnlyTheEntryPoints)
{
    ASSERT_TRUE(host.loaded());
    for (const char* name : {"GetPluginFactory", "InitDll", "ExitDll", "ModuleEntry", "ModuleExit"})
        EXPECT_NE(host.symbol(name), nullptr) << name;
    for (const char* name : {"_ZN4ol7t14createInstanceEPv", "_ZN6ZVNPal10DebugTraceEPKcz"})
        EXPECT_EQ(host.symbol(name), nullptr) << name;
}

TEST_F(BundleTest, FactoryDescribesOneEffectClass)
{
    IPluginFactory* factory = host.factory();
    ASSERT_NE(factory, nullptr);
    IPluginFactory* again = host.factory();
    EXPECT_EQ(again, factory) << "one factory while it is referenced";
    again->release();

    PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Marrowby");
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
    ASSERT_EQ(factory->countClasses(), 1);

    auto* factory3 = queryInterface<IPluginFactory3>(factory);
    ASSERT_NE(factory3, nullptr);
    PClassInfo2 c2;
    ASSERT_EQ(factory3->getClassInfo2(0, &c2), kResultOk);
    const uint8_t cid[16] = {0xC1, 0x3C, 0x56, 0xA3, 0x72, 0xCE, 0x41, 0x6F,
                             0x9F, 0xB2, 0x81, 0x1A, 0xD0, 0xC3, 0x8F, 0xC2};
    EXPECT_EQ(std::memcmp(c2.cid, cid, 16), 0);
    EXPECT_STREQ(c2.name, "OL-7T");
    EXPECT_STREQ(c2.category, "Audio Module Class");
    EXPECT_STREQ(c2.subCategories, "Fx|Dynamics");
    EXPECT_STREQ(c2.vendor, "");
    EXPECT_STREQ(c2.version, "2.0.0.0");
    EXPECT_STREQ(c2.sdkVersion, "VST 3.6.6");
    EXPECT_EQ(c2.classFlags, 0u);
    EXPECT_EQ(c2.cardinality, PClassInfo::kManyInstances);

    PClassInfoW cw;
    ASSERT_EQ(factory3->getClassInfoUnicode(0, &cw), kResultOk);
    EXPECT_EQ(ascii(cw.name), "OL-7T");
    EXPECT_EQ(factory3->getClassInfoUnicode(1, &cw), kInvalidArgument);
    factory3->release();

    void* obj = nullptr;
    const uint8_t other[16] = {};
    EXPECT_NE(factory->createInstance(reinterpret_cast<FIDString>(other), IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
    factory->release();

    // Released to the end, the factory is made again on the next call.
    IPluginFactory* fresh = host.factory();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->countClasses(), 1);
    fresh->release();
}

TEST_F(BundleTest, InitialisedEffectHasItsBusesAndTitledParameters)
{
    Effect e(host);
    ASSERT_TRUE(e.initialized);
    struct
    {
        MediaType type;
        BusDirection dir;
        std::vector<std::string> names;
    } expected[] = {
        {kAudio, kInput, {"Stereo In", "Stereo Aux In"}},
        {kAudio, kOutput, {"Stereo Out"}},
        {kEvent, kInput, {"MIDI In"}},
        {kEvent, kOutput, {}},
    };
    for (const auto& x : expected) {
        ASSERT_EQ(e.component->getBusCount(x.type, x.dir), static_cast<int32>(x.names.size()));
        for (int32 i = 0; i < static_cast<int32>(x.names.size()); ++i) {
            BusInfo info{};
            ASSERT_EQ(e.component->getBusInfo(x.type, x.dir, i, info), kResultTrue);
            EXPECT_EQ(ascii(info.name), x.names[i]);
            EXPECT_EQ(info.channelCount, x.type == kAudio ? 2 : 1);
            EXPECT_EQ(info.busType, i == 1 ? kAux : kMain);
            EXPECT_TRUE(info.flags & BusInfo::kDefaultActive);
        }
    }

    ASSERT_EQ(e.controller->getParameterCount(), 8);
    const double defaults[] = {1.0, 0.4, 0.5, 0.0, 0.5, 0.0, 0.0, 0.0};
    for (int32 i = 0; i < 8; ++i) {
        ParameterInfo info{};
        ASSERT_EQ(e.controller->getParameterInfo(i, info), kResultTrue);
        EXPECT_FALSE(ascii(info.title).empty()) << "title of parameter " << i << " from the text file";
        EXPECT_TRUE(info.flags == 1 || info.flags == 9);
        EXPECT_EQ(info.defaultNormalizedValue, defaults[i]);
    }
    String128 text;
    ASSERT_EQ(e.controller->getParamStringByValue(6, 1.0, text), kResultOk);
    EXPECT_FALSE(ascii(text).empty()) << "memory texts come from the text file";
}

TEST_F(BundleTest, DefaultStateBytesAndRoundTrip)
{
    Effect e(host);
    ASSERT_TRUE(e.initialized);
    MemoryStream stream;
    ASSERT_EQ(e.component->getState(&stream), kResultOk);
    ASSERT_EQ(stream.getSize(), 76);
    const uint8_t header[12] = {0x74, 0x37, 0x6F, 0x4F, 1, 0, 0, 0, 8, 0, 0, 0};
    EXPECT_EQ(std::memcmp(stream.getData(), header, 12), 0);
    double gain;
    std::memcpy(&gain, stream.getData() + 12 + 8, 8);
    EXPECT_EQ(gain, 0.4000000059604645);

    e.controller->setParamNormalized(2, 0.9);
    stream.seek(0, IBStream::kIBSeekSet, nullptr);
    ASSERT_EQ(e.component->setState(&stream), kResultOk);
    EXPECT_EQ(e.controller->getParamNormalized(2), 0.5);
}

TEST_F(BundleTest, ProcessesASineWithTheReferenceReduction)
{
    Effect e(host);
    ASSERT_TRUE(e.initialized);
    SpeakerArrangement in[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo}, out[1] = {SpeakerArr::kStereo};
    ASSERT_EQ(e.processor->setBusArrangements(in, 2, out, 1), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, 441, 44100.0};
    ASSERT_EQ(e.processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(e.component->setActive(true), kResultOk);

    HostProcessData data;
    data.prepare(*e.component, *e.processor, 441);
    float lastPeak = 0.f;
    for (int block = 0; block < 100; ++block) {
        for (int32 i = 0; i < 441; ++i) {
            const float x = static_cast<float>(std::sin(6.283185307179586 * 1000.0 * (block * 441 + i) / 44100.0));
            data.input(0, 0)[i] = data.input(0, 1)[i] = x;
        }
        ASSERT_EQ(e.processor->process(data), kResultOk);
        lastPeak = 0.f;
        for (int32 i = 0; i < 441; ++i)
            lastPeak = std::max(lastPeak, std::fabs(data.output(0, 1)[i]));
    }
    // After one second of a full-scale 1 kHz sine the cell holds about 0.163;
    // with the default output gain of 1.2422 the output peak follows.
    EXPECT_NEAR(lastPeak, 0.163 * 1.2422, 0.02);
    EXPECT_EQ(e.component->setActive(false), kResultOk);
}

TEST_F(BundleTest, LowRatesAndValuesThatAreNotNumbersNeitherSilenceNorPoisonIt)
{
    Effect e(host);
    ASSERT_TRUE(e.initialized);
    EXPECT_EQ(e.controller->setParamNormalized(1, std::nan("")), kResultFalse);
    e.controller->setParamNormalized(2, 1e30);
    HostProcessData data;
    data.prepare(*e.component, *e.processor, 256);
    ParameterChanges changes;
    int32 index = 0, point = 0;
    changes.addParameterData(4, index)->addPoint(0, -std::numeric_limits<double>::infinity(), point);
    data.inputParameterChanges = &changes;

    // Down to 32 and 8 kHz and back, as a host's project changes rate.
    for (double rate : {32000.0, 8000.0, 44100.0}) {
        ProcessSetup setup{kRealtime, kSample32, 256, rate};
        ASSERT_EQ(e.processor->setupProcessing(setup), kResultOk);
        float lastPeak = 0.f;
        for (int64_t at = 0; at < static_cast<int64_t>(rate); at += 256) {
            for (int32 i = 0; i < 256; ++i)
                data.input(0, 0)[i] = data.input(0, 1)[i] =
                    static_cast<float>(std::sin(6.283185307179586 * 1000.0 * double(at + i) / rate));
            ASSERT_EQ(e.processor->process(data), kResultOk);
            changes.clearQueue();
            lastPeak = 0.f;
            for (int32 i = 0; i < 256; ++i) {
                ASSERT_TRUE(std::isfinite(data.output(0, 0)[i])) << rate << " Hz";
                lastPeak = std::max(lastPeak, std::fabs(data.output(0, 0)[i]));
            }
        }
        EXPECT_GT(lastPeak, 0.01f) << rate << " Hz";
    }

    MemoryStream stream;
    ASSERT_EQ(e.component->getState(&stream), kResultOk);
    double saved[8];
    std::memcpy(saved, stream.getData() + 12, sizeof saved);
    EXPECT_EQ(saved[1], 0.4000000059604645) << "gain kept";
    EXPECT_EQ(saved[2], 1.0) << "peak reduction held";
    EXPECT_EQ(saved[4], 0.5) << "R37 kept";
}

TEST(BundleWithoutResources, InitialiseFailsWithTheFatalMessage)
{
    namespace fs = std::filesystem;
    const fs::path bundle = fs::temp_directory_path() / ("ol7t-no-resources-" + std::to_string(getpid()) + ".vst3");
    fs::create_directories(bundle / "Contents/x86_64-linux");
    fs::copy_file(fs::path(OL7T_BUNDLE_DIR) / "Contents/x86_64-linux/OL-7T.so",
                  bundle / "Contents/x86_64-linux/OL-7T.so", fs::copy_options::overwrite_existing);
    setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
    setenv("OL7T_MESSAGEBOX", "stderr", 1);

    // In a child process: the copy is a library of its own, loaded fresh.
    EXPECT_EXIT(
        {
            BundleHost copy(bundle.string());
            Effect e(copy);
            const bool failedCleanly = !e.initialized && e.controller && e.controller->getParameterCount() == 0;
            std::exit(failedCleanly ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "Failed to locate resources folder");
    fs::remove_all(bundle);
}

} // namespace
