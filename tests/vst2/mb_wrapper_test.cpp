// The adapter's own rules, on an effect made in this process and a clock of
// the test's own: the block duration, the idle ticks that end processing,
// immediate delivery while idle, the strip's module operations and the
// context-menu request that only reaches live adapters.
#include "Vst2Host.h"
#include "adapters/vst2/MBVst2Wrapper.h"
#include "core/ol7t.h"
#include "sdk/CPluginFactory.h"

#include "public.sdk/source/common/pluginview.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace Steinberg;
using testing_support::dispatch;
using testing_support::useRegistry;
using testing_support::Vst2Buffers;
using testing_support::Vst2Host;

namespace {

const FUID kEffectClass(0xC13C56A3, 0x72CE416F, 0x9FB2811A, 0xD0C38FC2);
const FUID kPlainClass(0x11111111, 0x22222222, 0x33333333, 0x44444444);
const FUID kViewedClass(0x55555555, 0x66666666, 0x77777777, 0x88888888);
constexpr int32 kUniqueId = 0x4F6F3774;
const std::string kLongDescription(70, 'd');

std::atomic<int64_t> fakeNanoseconds{0};
Timer::TimePoint fakeNow()
{
    return Timer::TimePoint(std::chrono::nanoseconds(fakeNanoseconds.load()));
}
void advanceMs(int64_t ms)
{
    fakeNanoseconds += ms * 1000000;
}

// An effect that is no channel-strip module.
class PlainEffect : public Vst::SingleComponentEffect
{
public:
    static FUnknown* createInstance(void*) { return static_cast<Vst::IAudioProcessor*>(new PlainEffect); }
};

// A view standing in for the editor: records what the wrapper does to it.
struct ViewLog
{
    int live = 0;
    int attached = 0;
    int removed = 0;
    void* parent = nullptr;
    bool acceptX11 = true;
    IPlugFrame* frame = nullptr;
    IPlugView* view = nullptr;
};
ViewLog viewLog;

class FakeView : public CPluginView
{
public:
    FakeView()
        : CPluginView(&kPanel)
    {
        ++viewLog.live;
    }
    ~FakeView() override { --viewLog.live; }
    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override
    {
        return viewLog.acceptX11 && std::string_view(type) == kPlatformTypeX11EmbedWindowID ? kResultTrue
                                                                                           : kResultFalse;
    }
    tresult PLUGIN_API attached(void* parent, FIDString type) override
    {
        ++viewLog.attached;
        viewLog.parent = parent;
        return CPluginView::attached(parent, type);
    }
    tresult PLUGIN_API removed() override
    {
        ++viewLog.removed;
        return CPluginView::removed();
    }
    tresult PLUGIN_API setFrame(IPlugFrame* frame) override
    {
        viewLog.frame = frame;
        viewLog.view = this;
        return CPluginView::setFrame(frame);
    }
    static const ViewRect kPanel;
};
const ViewRect FakeView::kPanel(0, 0, 765, 212);

// The effect with a view, as it will be once its editor exists.
class ViewedEffect : public ol7t
{
public:
    static FUnknown* createInstance(void*) { return static_cast<Vst::IAudioProcessor*>(new ViewedEffect); }
    IPlugView* PLUGIN_API createView(FIDString name) override
    {
        return std::string_view(name) == "editor" ? new FakeView : nullptr;
    }
};

int idleHandlerCalls = 0;
void countIdle()
{
    ++idleHandlerCalls;
}

class MBWrapperTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        // An installation of our own whose description is longer than the
        // host's 64-byte buffer.
        const auto contents = std::filesystem::path(::testing::TempDir()) /
                              ("mb_wrapper_test." + std::to_string(getpid())) / "Contents";
        std::filesystem::create_directories(contents / "Resources");
        std::ofstream(contents / "Resources" / "TextResources.mbres") << "IDS_OL7T_DESC," << kLongDescription << "\n";
        useRegistry("mb_wrapper_test", "\"AppData Path\"=\"" + contents.string() + "/\"\n");
        Timer::now = fakeNow;
    }

    MBVst2Wrapper* create(bool module, const FUID& cid = kEffectClass)
    {
        static PFactoryInfo info("Marrowby", "", "", PFactoryInfo::kUnicode);
        auto* factory = new CPluginFactory(info);
        for (auto [id, name, function] : {std::tuple{&kEffectClass, "OL-7T", &ol7t::createInstance},
                                          std::tuple{&kPlainClass, "Plain", &PlainEffect::createInstance},
                                          std::tuple{&kViewedClass, "Viewed", &ViewedEffect::createInstance}}) {
            TUID tuid;
            id->toTUID(tuid);
            PClassInfo2 classInfo(tuid, PClassInfo::kManyInstances, kVstAudioEffectClass, name, 0, "Fx|Dynamics", "",
                                  "2.0.0.0", "VST 3.6.6");
            factory->registerClass(&classInfo, function);
        }
        TUID tuid;
        cid.toTUID(tuid);
        MBVst2Wrapper* wrapper = MBVst2Wrapper::create(factory, tuid, kUniqueId, &Vst2Host::callback, true, module);
        if (wrapper)
            wrappers.push_back(wrapper);
        return wrapper;
    }
    void close(MBVst2Wrapper* wrapper)
    {
        std::erase(wrappers, wrapper);
        dispatch(wrapper->getAeffect(), effClose);
    }
    void TearDown() override
    {
        while (!wrappers.empty())
            close(wrappers.back());
    }

    static ol7t& effectOf(MBVst2Wrapper* wrapper) { return *dynamic_cast<ol7t*>(wrapper->getController()); }
    static void processOnce(MBVst2Wrapper* wrapper)
    {
        Vst2Buffers buffers(4, 2, 512);
        wrapper->processReplacing(buffers.in.data(), buffers.out.data(), 512);
    }
    // Rate 44100 Hz, 512-sample blocks (11 ms), switched on, one block processed.
    MBVst2Wrapper* processingWrapper()
    {
        MBVst2Wrapper* wrapper = create(false);
        AEffect* e = wrapper->getAeffect();
        dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.f);
        dispatch(e, effSetBlockSize, 0, 512);
        dispatch(e, effMainsChanged, 0, 1);
        processOnce(wrapper);
        return wrapper;
    }

    Vst2Host host;
    std::vector<MBVst2Wrapper*> wrappers;
};

TEST_F(MBWrapperTest, BlockDurationIsTruncatedFromSinglePrecision)
{
    MBVst2Wrapper* wrapper = create(false);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->getBlockDurationMs(), 0); // the first tick already finds the host idle
    const struct
    {
        float rate;
        int32_t block;
        int32_t ms;
    } cases[] = {{44100, 512, 11}, {48000, 480, 9}, {96000, 64, 0}, {44100, 4096, 92}, {8000, 8192, 1024},
                 {1e-30f, 4096, INT32_MAX}};
    for (const auto& c : cases) {
        dispatch(wrapper->getAeffect(), effSetSampleRate, 0, 0, nullptr, c.rate);
        dispatch(wrapper->getAeffect(), effSetBlockSize, 0, c.block);
        EXPECT_EQ(wrapper->getBlockDurationMs(), c.ms) << c.rate << " " << c.block;
    }
    dispatch(wrapper->getAeffect(), effSetSampleRate, 0, 0, nullptr, 44100.f);
    for (float rate : {INFINITY, NAN, -44100.f})
        dispatch(wrapper->getAeffect(), effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(wrapper->getBlockDurationMs(), 92) << "rates that are no positive number are ignored";
}

TEST_F(MBWrapperTest, HostValuesThatAreNoNumberAreIgnoredAndOthersHeldToRange)
{
    MBVst2Wrapper* wrapper = create(true); // the channel strip's road in
    AEffect* e = wrapper->getAeffect();
    ol7t& effect = effectOf(wrapper);
    const struct
    {
        float sent;
        double held;
    } cases[] = {{0.3f, 0.3f}, {NAN, 0.3f}, {INFINITY, 0.3f}, {-INFINITY, 0.3f}, {1.5f, 1.0}, {-2.f, 0.0}};
    for (const auto& c : cases) {
        e->set_parameter(e, PARAM_METERSEL, c.sent);
        EXPECT_EQ(effect.getParamNormalized(PARAM_METERSEL), c.held) << c.sent;
        EXPECT_EQ(effect.getParamValue(PARAM_METERSEL), static_cast<float>(c.held)) << c.sent;
    }
    const struct
    {
        const char* text;
        intptr_t taken;
        double held;
    } texts[] = {{"nan", 0, 0.0}, {"1e300", 1, 1.0}, {"1e999", 0, 1.0}, {"-1e300", 1, 0.0}};
    for (const auto& t : texts) {
        EXPECT_EQ(dispatch(e, effString2Parameter, PARAM_METERSEL, 0, const_cast<char*>(t.text)), t.taken) << t.text;
        EXPECT_EQ(effect.getParamNormalized(PARAM_METERSEL), t.held) << t.text;
    }
}

TEST_F(MBWrapperTest, ThirdIdleTickEndsProcessingAndFirstTwoDeliver)
{
    MBVst2Wrapper* wrapper = processingWrapper();
    AEffect* e = wrapper->getAeffect();
    ol7t& effect = effectOf(wrapper);
    ASSERT_TRUE(wrapper->isInProcess());

    e->set_parameter(e, 1, 0.8f);
    EXPECT_NE(effect.getParamNormalized(PARAM_GAIN), 0.8f) << "queued while the host processes";
    advanceMs(50);
    dispatch(e, effEditIdle);
    EXPECT_FLOAT_EQ(effect.getParamNormalized(PARAM_GAIN), 0.8f) << "first tick delivers";
    EXPECT_TRUE(wrapper->isInProcess());

    e->set_parameter(e, 2, 0.6f);
    EXPECT_NE(effect.getParamNormalized(PARAM_PEAKRED), 0.6f);
    advanceMs(50);
    dispatch(e, effIdle);
    EXPECT_FLOAT_EQ(effect.getParamNormalized(PARAM_PEAKRED), 0.6f) << "second tick delivers";
    EXPECT_EQ(wrapper->getIdleTicks(), 2);

    advanceMs(50);
    dispatch(e, effEditIdle);
    EXPECT_FALSE(wrapper->isInProcess()) << "150 ms > ten blocks of 11 ms";

    e->set_parameter(e, 4, 0.9f);
    EXPECT_FLOAT_EQ(effect.getParamNormalized(PARAM_R37), 0.9f) << "delivered before the call returns";
}

TEST_F(MBWrapperTest, QueuedChangeReachesTheEffectWithTheNextBlock)
{
    MBVst2Wrapper* wrapper = processingWrapper();
    AEffect* e = wrapper->getAeffect();
    e->set_parameter(e, 1, 0.3f);
    EXPECT_NE(effectOf(wrapper).getParamValue(PARAM_GAIN), 0.3f);
    processOnce(wrapper);
    EXPECT_FLOAT_EQ(effectOf(wrapper).getParamValue(PARAM_GAIN), 0.3f);
}

TEST_F(MBWrapperTest, ChunksAndEditsOutliveOlderQueuedHostChanges)
{
    MBVst2Wrapper* wrapper = processingWrapper();
    AEffect* e = wrapper->getAeffect();
    ol7t& effect = effectOf(wrapper);
    e->set_parameter(e, PARAM_GAIN, 0.7f);
    processOnce(wrapper);
    void* data = nullptr;
    const auto size = dispatch(e, effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    std::vector<uint8_t> preset(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    auto loadPresetThenRun = [&] {
        ASSERT_EQ(dispatch(e, effSetChunk, 0, static_cast<intptr_t>(preset.size()), preset.data()), 1);
        EXPECT_FLOAT_EQ(effect.getParamValue(PARAM_GAIN), 0.7f);
        // Later blocks and idle ticks must not bring an older value back.
        for (int i = 0; i < 3; ++i) {
            processOnce(wrapper);
            advanceMs(50);
            dispatch(e, effEditIdle);
        }
        EXPECT_FLOAT_EQ(effect.getParamValue(PARAM_GAIN), 0.7f);
    };

    e->set_parameter(e, PARAM_GAIN, 0.2f); // still queued when the preset loads
    loadPresetThenRun();
    e->set_parameter(e, PARAM_GAIN, 0.3f); // applied by a block before the preset loads
    processOnce(wrapper);
    loadPresetThenRun();

    e->set_parameter(e, PARAM_PEAKRED, 0.1f);
    effect.editParameter(PARAM_PEAKRED, 0.9f);
    processOnce(wrapper);
    advanceMs(50);
    dispatch(e, effEditIdle);
    EXPECT_FLOAT_EQ(effect.getParamValue(PARAM_PEAKRED), 0.9f) << "the edit is newer than the host's value";
}

TEST_F(MBWrapperTest, HostThatNeitherIdlesNorProcessesStillGetsItsChanges)
{
    MBVst2Wrapper* wrapper = processingWrapper();
    AEffect* e = wrapper->getAeffect();
    advanceMs(100); // two ticks' time: not yet ten blocks
    e->set_parameter(e, 1, 0.2f);
    EXPECT_TRUE(wrapper->isInProcess());
    EXPECT_NE(effectOf(wrapper).getParamNormalized(PARAM_GAIN), 0.2f);
    advanceMs(50);
    e->set_parameter(e, 2, 0.7f);
    EXPECT_FALSE(wrapper->isInProcess());
    EXPECT_FLOAT_EQ(effectOf(wrapper).getParamNormalized(PARAM_GAIN), 0.2f);
    EXPECT_FLOAT_EQ(effectOf(wrapper).getParamNormalized(PARAM_PEAKRED), 0.7f);
}

TEST_F(MBWrapperTest, TicksCaughtUpFromBeforeTheLastBlockDoNotCountAsIdle)
{
    MBVst2Wrapper* wrapper = processingWrapper();
    advanceMs(1000); // no idle call for a second, then the host processes again
    processOnce(wrapper);
    advanceMs(1);
    dispatch(wrapper->getAeffect(), effEditIdle);
    EXPECT_TRUE(wrapper->isInProcess());
    EXPECT_EQ(wrapper->getIdleTicks(), 0);
}

TEST_F(MBWrapperTest, ModuleModeNeedsTheStripInterface)
{
    EXPECT_EQ(create(true, kPlainClass), nullptr);
    EXPECT_NE(create(false, kPlainClass), nullptr);
    MBVst2Wrapper* strip = create(true);
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(effectOf(strip).moduleMode);
    EXPECT_FALSE(effectOf(create(false)).moduleMode);
    TUID anyClass = {};
    EXPECT_EQ(MBVst2Wrapper::create(nullptr, anyClass, kUniqueId, &Vst2Host::callback, true, true), nullptr);
}

TEST_F(MBWrapperTest, ContextMenuRequestReachesOnlyTheLiveAdapterOfItsInstance)
{
    MBVst2Wrapper* first = create(true);
    MBVst2Wrapper* second = create(true);
    MBVst2Wrapper* plain = create(false);
    ASSERT_TRUE(first && second && plain);
    const IMBVst2StrivelPlugin* firstModule = &effectOf(first);
    const IMBVst2StrivelPlugin* secondModule = &effectOf(second);
    AEffect* firstEffect = first->getAeffect();

    host.calls.clear();
    MBVst2Wrapper::requestHostContextMenu(firstModule, 3);
    ASSERT_EQ(host.calls.size(), 1u);
    const auto& call = host.calls[0];
    EXPECT_EQ(call.effect, firstEffect);
    EXPECT_EQ(call.opcode, audioMasterVendorSpecific);
    EXPECT_EQ(call.index, 0x5356434D);
    EXPECT_EQ(call.value, 3);
    EXPECT_FALSE(call.hasPointer);
    EXPECT_EQ(call.opt, 0.f);

    close(first);
    host.calls.clear();
    MBVst2Wrapper::requestHostContextMenu(firstModule, 3);
    MBVst2Wrapper::requestHostContextMenu(&effectOf(plain), 3);
    EXPECT_TRUE(host.calls.empty());
    MBVst2Wrapper::requestHostContextMenu(secondModule, 5);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].effect, second->getAeffect());
}

TEST_F(MBWrapperTest, EditsFromTheEffectReachTheHostAsAutomation)
{
    MBVst2Wrapper* wrapper = create(false);
    host.calls.clear();
    effectOf(wrapper).editParameter(PARAM_PEAKRED, 0.4f);
    const auto automated = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].effect, wrapper->getAeffect());
    EXPECT_EQ(automated[0].index, PARAM_PEAKRED);
    EXPECT_FLOAT_EQ(automated[0].opt, 0.4f);
    EXPECT_FLOAT_EQ(wrapper->getAeffect()->get_parameter(wrapper->getAeffect(), PARAM_PEAKRED), 0.4f);
}

TEST_F(MBWrapperTest, EditorOpensInTheHostWindowAndClosesAgain)
{
    viewLog = {};
    MBVst2Wrapper* wrapper = create(false, kViewedClass);
    ASSERT_NE(wrapper, nullptr);
    AEffect* e = wrapper->getAeffect();
    EXPECT_TRUE(e->flags & effFlagsHasEditor);
    EXPECT_EQ(viewLog.live, 0) << "the probing view is released";

    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(e, effEditGetRect, 0, 0, &rect), 1) << "hosts ask for the size before opening";
    EXPECT_EQ(rect->right - rect->left, 765);
    EXPECT_EQ(rect->bottom - rect->top, 212);

    void* window = reinterpret_cast<void*>(0x3a00007);
    ASSERT_EQ(dispatch(e, effEditOpen, 0, 0, window), 1);
    EXPECT_EQ(viewLog.attached, 1);
    EXPECT_EQ(viewLog.parent, window);
    EXPECT_EQ(viewLog.live, 1);
    EXPECT_EQ(dispatch(e, effEditOpen, 0, 0, window), 0) << "one editor at a time";

    Vst::Vst2Wrapper::editorIdleHandler = countIdle;
    idleHandlerCalls = 0;
    dispatch(e, effEditIdle);
    EXPECT_EQ(idleHandlerCalls, 1);

    ViewRect bigger(0, 0, 800, 300);
    ASSERT_NE(viewLog.frame, nullptr);
    host.calls.clear();
    EXPECT_EQ(viewLog.frame->resizeView(nullptr, &bigger), kInvalidArgument);
    EXPECT_TRUE(host.callsWith(audioMasterSizeWindow).empty());
    EXPECT_EQ(viewLog.frame->resizeView(viewLog.view, &bigger), kResultOk);
    const auto resized = host.callsWith(audioMasterSizeWindow);
    ASSERT_EQ(resized.size(), 1u);
    EXPECT_EQ(resized[0].index, 800);
    EXPECT_EQ(resized[0].value, 300);

    dispatch(e, effEditClose);
    EXPECT_EQ(viewLog.removed, 1);
    EXPECT_EQ(viewLog.live, 0);
    dispatch(e, effEditIdle);
    EXPECT_EQ(idleHandlerCalls, 1) << "no editor, no platform events";
    Vst::Vst2Wrapper::editorIdleHandler = nullptr;

    viewLog.acceptX11 = false;
    EXPECT_EQ(dispatch(e, effEditOpen, 0, 0, window), 0);
    EXPECT_EQ(viewLog.live, 0);
}

std::vector<std::string> loadedBitmaps;
void* recordBitmap(const std::string& path)
{
    loadedBitmaps.push_back(path);
    return &loadedBitmaps;
}

TEST_F(MBWrapperTest, LongDescriptionIsCutToTheHostsBuffer)
{
    MBVst2Wrapper* wrapper = create(false);
    ASSERT_NE(wrapper, nullptr);
    char text[80];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(dispatch(wrapper->getAeffect(), effGetProductString, 0, 0, text), 1);
    EXPECT_EQ(std::string(text), kLongDescription.substr(0, 63));
    EXPECT_EQ(text[64], 'x') << "nothing written past the 64 bytes";
}

TEST_F(MBWrapperTest, StripRequestsChangeTheModuleState)
{
    MBVst2Wrapper* strip = create(true);
    ASSERT_NE(strip, nullptr);
    AEffect* e = strip->getAeffect();
    ol7t& effect = effectOf(strip);

    const struct
    {
        intptr_t index;
        float value;
        bool marked;
    } marks[] = {{2, 1.f, true}, {2, 0.99f, false}, {7, 1.f, true}, {0, 2.f, false}};
    for (const auto& m : marks) {
        EXPECT_EQ(dispatch(e, effVendorSpecific, 5007, m.index, nullptr, m.value), 1);
        EXPECT_EQ(effect.writeIndicators[m.index], m.marked) << m.index << " " << m.value;
    }
    EXPECT_EQ(dispatch(e, effVendorSpecific, 5007, 9, nullptr, 1.f), 1);

    intptr_t hostValue = 0x5EED;
    EXPECT_EQ(dispatch(e, effVendorSpecific, 5004, 0, &hostValue), 1);
    EXPECT_EQ(effect.moduleHostValue, 0x5EED);

    ol7t::moduleBitmapLoader = recordBitmap;
    void* handles[2] = {};
    EXPECT_EQ(dispatch(e, effVendorSpecific, 5003, 0, &handles[0]), 1);
    EXPECT_EQ(dispatch(e, effVendorSpecific, 5003, 1, &handles[1]), 1);
    ol7t::moduleBitmapLoader = nullptr;
    ASSERT_EQ(loadedBitmaps.size(), 2u);
    EXPECT_TRUE(loadedBitmaps[0].ends_with("/Resources/SV_Thumbnail.bmp")) << loadedBitmaps[0];
    EXPECT_TRUE(loadedBitmaps[1].ends_with("/Resources/SV_Inactive.bmp")) << loadedBitmaps[1];
    EXPECT_EQ(handles[0], &loadedBitmaps);
}

} // namespace
