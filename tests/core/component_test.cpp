// The effect as a component: how it rebuilds its buses for what the host
// asks, and what it answers for views and activation.
#include "EffectFixture.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The effect with the buses a freshly initialised one has.
class EffectWithBuses : public ol7t
{
public:
    EffectWithBuses()
    {
        addAudioInput(STR16("Stereo In"), SpeakerArr::kStereo);
        addAudioInput(STR16("Stereo Aux In"), SpeakerArr::kStereo, kAux);
        addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo);
    }

    std::vector<std::string> audioBuses()
    {
        std::vector<std::string> names;
        for (BusDirection dir : {kInput, kOutput}) {
            for (int32 i = 0; i < getBusCount(kAudio, dir); ++i) {
                BusInfo info{};
                getBusInfo(kAudio, dir, i, info);
                char name[128];
                UString(info.name, 128).toAscii(name, 128);
                names.push_back(std::string(name) + (info.busType == kAux ? " aux" : "") + " "
                                + std::to_string(info.channelCount));
            }
        }
        return names;
    }
};

TEST(Component, BusArrangementsRebuildOnlyWhenTheMainInputChangesAndAnswerWhetherTaken)
{
    constexpr SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo,
                                 surround = SpeakerArr::k51;
    auto* e = new EffectWithBuses;
    using Buses = std::vector<std::string>;
    // Requests in order, each on the layout the previous one left. True only
    // when every bus asked for now reads back as asked.
    const struct
    {
        std::vector<SpeakerArrangement> in;
        SpeakerArrangement out;
        tresult answer;
        Buses buses;
    } steps[] = {
        {{stereo}, stereo, kResultTrue, {"Stereo In 2", "Stereo Aux In aux 2", "Stereo Out 2"}},
        {{mono}, mono, kResultTrue, {"Mono In 1", "Mono Out 1"}},
        {{mono, mono}, mono, kResultFalse, {"Mono In 1", "Mono Out 1"}}, // already mono: no side chain added
        {{surround}, surround, kResultFalse, {"Stereo In 2", "Stereo Out 2"}},
        {{mono, mono}, mono, kResultTrue, {"Mono In 1", "Mono Aux In aux 1", "Mono Out 1"}},
        {{mono, stereo}, mono, kResultFalse, {"Mono In 1", "Mono Aux In aux 1", "Mono Out 1"}},
        {{stereo, stereo}, stereo, kResultTrue, {"Stereo In 2", "Stereo Aux In aux 2", "Stereo Out 2"}},
    };
    for (const auto& step : steps) {
        std::vector<SpeakerArrangement> in = step.in;
        SpeakerArrangement out = step.out;
        EXPECT_EQ(e->setBusArrangements(in.data(), static_cast<int32>(in.size()), &out, 1), step.answer)
            << step.buses[0];
        EXPECT_EQ(e->audioBuses(), step.buses);
    }

    SpeakerArrangement in[3] = {mono, mono, mono}, out[2] = {mono, mono};
    EXPECT_EQ(e->setBusArrangements(in, 1, out, 2), kResultFalse);
    EXPECT_EQ(e->setBusArrangements(in, 3, out, 1), kResultFalse);
    EXPECT_EQ(e->setBusArrangements(nullptr, 1, out, 1), kResultFalse);
    EXPECT_EQ(e->audioBuses().size(), 3u);
    e->release();

    ol7t* bare = new ol7t;
    EXPECT_EQ(bare->setBusArrangements(in, 1, out, 1), kResultFalse) << "no audio input bus";
    bare->release();
}

TEST(Component, ActivationOnlyRecordsTheHostsCall)
{
    Effect e;
    EXPECT_FALSE(e->active);
    EXPECT_EQ(e->setActive(true), kResultOk);
    EXPECT_TRUE(e->active);
    EXPECT_EQ(e->setActive(false), kResultOk);
    EXPECT_FALSE(e->active);
}

TEST(Component, DefaultAnswersOfTheSingleComponentBase)
{
    Effect e;
    TUID cid;
    RoutingInfo a{}, b{};
    EXPECT_EQ(e->getControllerClassId(cid), kNotImplemented);
    EXPECT_EQ(e->setIoMode(0), kNotImplemented);
    EXPECT_EQ(e->getRoutingInfo(a, b), kNotImplemented);
    EXPECT_EQ(e->setComponentState(nullptr), kNotImplemented);
    EXPECT_EQ(e->openHelp(false), kResultFalse);
    EXPECT_EQ(e->openAboutBox(false), kResultFalse);

    // Reached through each of its interfaces, it is the same object.
    FUnknown* unknown = static_cast<IAudioProcessor*>(&*e);
    for (const FUID* iid : {&IComponent::iid, &IAudioProcessor::iid, &IEditController::iid, &IEditController2::iid,
                            &IConnectionPoint::iid, &IPluginBase::iid}) {
        void* obj = nullptr;
        ASSERT_EQ(unknown->queryInterface(iid->toTUID(), &obj), kResultOk);
        static_cast<FUnknown*>(obj)->release();
    }
}

} // namespace
