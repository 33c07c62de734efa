// The AAX adapter's pieces over a recording VST 3 effect: set-up, parameter
// identifiers, changes in both directions, bypass, side chain, MIDI, the
// host side it gives the effect, the editor and the description steps.
#include "aax/AAXRender.h"
#include "aax/FakeEffect.h"

#include "adapters/aax/AAX_CVST3Parameters.h"
#include "adapters/aax/AAX_CVST3PlugWrapper.h"
#include "adapters/aax/AAX_CVST3Wrapped_GUI.h"
#include "adapters/aax/AAX_VST3Describe.h"
#include "pal/DebugTrace.h"
#include "sdk/aax/AAX_CCollection.h"

#include "pluginterfaces/vst/ivstmessage.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

// An adapter instance over a fresh fake effect.
struct Adapted
{
    explicit Adapted(std::vector<FakeParameter> list, bool sideChain = true,
                     AAX_EStemFormat stem = AAX_eStemFormat_Stereo)
        : effect(new FakeEffect(std::move(list)))
        , controller(stem, 48000.f)
    {
        FakeFactory::next = effect;
        parameters = std::make_unique<AAX_CVST3Parameters>(fakeDescription(sideChain));
        initialized = parameters->Initialize(&controller) == AAX_SUCCESS;
        FakeFactory::next = nullptr;
    }
    ~Adapted()
    {
        parameters.reset();
        effect->release();
    }

    std::string id(int32_t index) const
    {
        AAX_CString text;
        parameters->GetParameterIDFromIndex(index, &text);
        return text.Get();
    }
    double value(const std::string& identifier) const
    {
        double v = -1;
        parameters->GetParameterNormalizedValue(identifier.c_str(), &v);
        return v;
    }
    void render(int32_t samples, std::vector<std::vector<float>>& out, int32_t sideChainIndex = -1,
                const std::vector<float>* sideChain = nullptr, AAX_CMidiStream* midi = nullptr)
    {
        const std::vector<std::vector<float>> in(2, std::vector<float>(static_cast<size_t>(samples), 0.5f));
        renderBlock(*parameters, AAX_CMonolithicParameters::StaticRenderAudio, in, out, sideChainIndex, sideChain,
                    midi);
    }

    FakeEffect* effect;
    HostController controller;
    std::unique_ptr<AAX_CVST3Parameters> parameters;
    bool initialized = false;
};

const std::vector<FakeParameter> kTwo = {{"Drive", 0, ParameterInfo::kCanAutomate}, {"Mode", 2, 0}};

TEST(AAXAdapter, SetsUpProcessingFromTheHostAndPreparesAgainForLongerBlocks)
{
    Adapted a(kTwo);
    ASSERT_TRUE(a.initialized);
    EXPECT_EQ(a.controller.latency, 0);
    ASSERT_EQ(a.effect->setups.size(), 1u);
    EXPECT_EQ(a.effect->setups[0].maxSamplesPerBlock, 1024);
    EXPECT_EQ(a.effect->setups[0].sampleRate, 48000.0);
    EXPECT_EQ(a.effect->setups[0].symbolicSampleSize, kSample32);

    std::vector<std::vector<float>> out;
    const struct
    {
        int32_t samples;
        size_t setups;
        int32_t prepared;
    } blocks[] = {{1024, 1, 1024}, {2048, 2, 2048}, {512, 2, 2048}, {0, 2, 2048}};
    for (const auto& b : blocks) {
        a.render(b.samples, out);
        EXPECT_EQ(a.effect->setups.size(), b.setups) << b.samples;
        EXPECT_EQ(a.effect->setups.back().maxSamplesPerBlock, b.prepared) << b.samples;
        EXPECT_EQ(a.effect->blocks.back(), b.samples);
        EXPECT_EQ(out[1], std::vector<float>(static_cast<size_t>(b.samples), 0.25f)) << "every sample processed";
    }
}

TEST(AAXAdapter, IdentifiersAreCutTitlesAndStayUnique)
{
    Adapted a({{"A title that runs past thirty-one bytes, first", 0, 0},
               {"A title that runs past thirty-one bytes, second", 0, 0},
               {"", 0, 0},
               {"Gain", 0, 0},
               {"MasterBypassID", 0, 0},
               {"Gain", 0, 0}});
    ASSERT_TRUE(a.initialized);
    const std::vector<std::string> expected = {"MasterBypassID",     "A title that runs past thirty-o",
                                               "VST3 Parameter 101", "VST3 Parameter 102",
                                               "Gain",               "VST3 Parameter 104",
                                               "VST3 Parameter 105"};
    int32_t count = 0;
    a.parameters->GetNumberOfParameters(&count);
    ASSERT_EQ(count, static_cast<int32_t>(expected.size()));
    for (int32_t i = 0; i < count; ++i)
        EXPECT_EQ(a.id(i), expected[static_cast<size_t>(i)]);
    AAX_CString name;
    ASSERT_EQ(a.parameters->GetParameterName(expected[2].c_str(), &name), AAX_SUCCESS);
    EXPECT_STREQ(name.Get(), "A title that runs past thirty-one bytes, second") << "the name is the full title";
    EXPECT_EQ(a.value("Gain"), 0.25) << "the effect's current value is the default";
}

TEST(AAXAdapter, ChangesTravelBothWays)
{
    Adapted a(kTwo);
    ASSERT_TRUE(a.initialized);
    std::vector<std::vector<float>> out;
    ASSERT_EQ(a.parameters->SetParameterNormalizedValue("Mode", 0.6), AAX_SUCCESS);
    a.parameters->SetParameterNormalizedValue("Mode", 0.7);
    a.render(32, out);
    EXPECT_EQ(a.effect->lastChanges, (std::map<ParamID, ParamValue>{{101, 0.7}})) << "the latest value, once";
    a.render(32, out);
    EXPECT_TRUE(a.effect->lastChanges.empty());

    // Reported by the effect from its process call or its editor.
    const std::pair<ParamID, ParamValue> report{100, 0.9};
    a.effect->reportChange = &report;
    a.render(32, out);
    EXPECT_EQ(a.value("Drive"), 0.9);
    a.effect->getComponentHandler()->performEdit(101, 0.3);
    EXPECT_EQ(a.value("Mode"), 0.3);
    a.effect->reportChange = nullptr;
}

TEST(AAXAdapter, EffectsOwnBypassParameterTakesTheMasterBypass)
{
    Adapted a({{"Drive", 0, 0}, {"Bypass", 1, ParameterInfo::kIsBypass}});
    ASSERT_TRUE(a.initialized);
    std::vector<std::vector<float>> out;
    for (double bypass : {1.0, 0.0}) {
        a.parameters->SetParameterNormalizedValue("MasterBypassID", bypass);
        a.render(16, out);
        EXPECT_EQ(a.effect->lastChanges[101], bypass);
        EXPECT_EQ(out[0][0], 0.25f) << "processed by the effect";
    }
}

TEST(AAXAdapter, SideChainReachesTheAuxiliaryInputOnlyWhenDescribedAndSupplied)
{
    const std::vector<float> key(64, 1.f);
    const struct
    {
        bool described;
        int32_t index;
        bool reaches;
    } cases[] = {{true, 2, true}, {true, 0, false}, {true, -1, false}, {false, 2, false}};
    for (const auto& c : cases) {
        Adapted a(kTwo, c.described);
        std::vector<std::vector<float>> out;
        a.render(64, out, c.index, &key);
        EXPECT_EQ(a.effect->lastSideChain != nullptr, c.reaches) << c.described << " " << c.index;
    }
}

TEST(AAXAdapter, MIDINotesBecomeEventsUpToTheLimit)
{
    Adapted a(kTwo);
    std::vector<AAX_CMidiPacket> packets(1100);
    for (auto& p : packets) {
        p.mLength = 3;
        p.mData[0] = 0x90;
        p.mData[1] = 60;
        p.mData[2] = 100;
    }
    packets[0].mData[0] = 0xB0; // a controller change is not a note
    AAX_CMidiStream stream{static_cast<uint32_t>(packets.size()), packets.data()};
    std::vector<std::vector<float>> out;
    a.render(64, out, -1, nullptr, &stream);
    EXPECT_EQ(a.effect->lastEventCount, 1024);
    a.render(64, out);
    EXPECT_EQ(a.effect->lastEventCount, 0);
}

TEST(AAXPlugWrapper, NamesTheHostAndMakesMessages)
{
    AAX_CVST3PlugWrapper wrapper(nullptr);
    String128 name;
    ASSERT_EQ(wrapper.getName(name), kResultOk);
    char ascii[128];
    UString(name, 128).toAscii(ascii, 128);
    EXPECT_STREQ(ascii, "Pro Tools");

    void* object = nullptr;
    TUID cid, iid;
    std::memcpy(cid, IMessage::iid, sizeof(TUID));
    std::memcpy(iid, IMessage::iid, sizeof(TUID));
    ASSERT_EQ(wrapper.createInstance(cid, iid, &object), kResultTrue);
    auto* message = static_cast<IMessage*>(object);
    message->setMessageID("test");
    EXPECT_STREQ(message->getMessageID(), "test");
    message->release();
}

struct Window : AAX_IViewContainer
{
    AAX_EViewContainer_Type GetType() const override { return AAX_eViewContainer_Type_X11Window; }
    void* GetPtr() const override { return reinterpret_cast<void*>(0x4400007); }
    AAX_Result SetViewSize(const AAX_Point& size) override
    {
        asked = size;
        return AAX_SUCCESS;
    }
    AAX_Point asked;
};

TEST(AAXWrappedGUI, AttachesTheEditorViewToTheHostWindowAndRemovesIt)
{
    Adapted a(kTwo);
    FakeView view(AAX_CVST3Wrapped_GUI::kPlatformType);
    a.effect->view = &view;
    Window window;
    AAX_CVST3Wrapped_GUI gui;
    ASSERT_EQ(gui.Initialize(a.parameters.get()), AAX_SUCCESS);

    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(gui.SetViewContainer(&window), AAX_SUCCESS);
        EXPECT_EQ(view.parent, window.GetPtr());
        EXPECT_EQ(view.attachedType, AAX_CVST3Wrapped_GUI::kPlatformType);
        ASSERT_NE(view.frame, nullptr);
        EXPECT_EQ(view.references, 2u);
        AAX_Point size;
        ASSERT_EQ(gui.GetViewSize(&size), AAX_SUCCESS);
        EXPECT_EQ(size.horz, 765.f);
        EXPECT_EQ(size.vert, 212.f);

        ViewRect wanted(0, 0, 198, 249);
        EXPECT_EQ(view.frame->resizeView(&view, &wanted), kResultOk);
        EXPECT_EQ(window.asked.horz, 198.f);
        EXPECT_EQ(view.lastSize.getHeight(), 249);

        ASSERT_EQ(gui.SetViewContainer(nullptr), AAX_SUCCESS);
        EXPECT_EQ(view.frame, nullptr);
        EXPECT_EQ(view.removals, round + 1);
        EXPECT_EQ(view.references, 1u) << "released on detach";
    }
    a.effect->view = nullptr;
}

TEST(AAXWrappedGUI, ReportsNoInterfaceWhenTheViewCannotBeHad)
{
    FakeView foreign("NSView"); // another platform's view
    const struct
    {
        FakeView* view;
        bool paired;
    } cases[] = {{nullptr, true}, {&foreign, true}, {&foreign, false}};
    for (const auto& c : cases) {
        Adapted a(kTwo);
        a.effect->view = c.view;
        Window window;
        AAX_CVST3Wrapped_GUI gui;
        if (c.paired)
            gui.Initialize(a.parameters.get());
        EXPECT_EQ(gui.SetViewContainer(&window), AAX_CVST3Wrapped_GUI::kNoInterface);
        AAX_Point size;
        EXPECT_EQ(gui.GetViewSize(&size), AAX_CVST3Wrapped_GUI::kNoInterface);
        EXPECT_EQ(gui.SetViewContainer(nullptr), AAX_CVST3Wrapped_GUI::kNoInterface);
        EXPECT_EQ(foreign.references, 1u);
        a.effect->view = nullptr;
    }
}

std::vector<std::string> traced;

TEST(AAXDescribe, RunsEveryStepInOrderAndGoesOnAfterFailures)
{
    AAX_VST3EffectDescription d = fakeDescription(true);
    d.plugInNames = {"Long Name", "Short"};
    d.packageNames = {"Long Name"};
    d.effectID = "com.example.fake";
    d.stems = {{AAX_eStemFormat_Mono, AAX_eStemFormat_Mono, AAX_FourChar("FAKM")}};
    d.globalMIDI = {true, "GlobalMIDI", 0xFFFF};
    // No create functions: those steps fail and the description goes on.

    traced.clear();
    ZVNPal::SetDebugTraceSink([](const char* line) { traced.emplace_back(line); });
    AAX_CCollection* collection = new AAX_CCollection;
    AAX_DescribeVST3Effects(collection, {d});
    ZVNPal::SetDebugTraceSink(nullptr);

    const std::vector<std::string> steps = {
        "All effects described\n",      "Adding effect description\n",   "adding plugin name\n",
        "adding plugin name\n",         "Adding plugin category\n",      "Instrument's static_describe\n",
        "adding create params func\n",  "adding create GUI func\n",      "adding effect to collection\n",
        "adding manufacturer name\n",   "Adding package name\n",         "adding package version\n"};
    EXPECT_EQ(traced, steps);
    ASSERT_EQ(collection->Effects().size(), 1u);
    EXPECT_EQ(collection->Effects()[0].identifier, "com.example.fake");
    const AAX_CComponentDescriptor& component = *collection->Effects()[0].descriptor->Components().at(0);
    ASSERT_EQ(component.MIDINodes().size(), 1u);
    EXPECT_EQ(component.MIDINodes()[0].type, AAX_eMIDINodeType_Global);
    EXPECT_EQ(collection->Release(), 0u);
}

} // namespace
