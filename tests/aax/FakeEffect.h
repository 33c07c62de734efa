// Test support: a small VST 3 effect that records how the AAX adapter
// drives it, the factory that hands it out, and an editor view that records
// its attachment.
#pragma once

#include "adapters/aax/AAX_VST3EffectDescription.h"
#include "sdk/SingleComponentEffect.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

using namespace Steinberg;
using namespace Steinberg::Vst;

class FakeView : public IPlugView
{
public:
    explicit FakeView(const char* acceptedType)
        : accepted(acceptedType)
    {
    }
    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) SMTG_OVERRIDE
    {
        return std::strcmp(type, accepted) == 0 ? kResultTrue : kResultFalse;
    }
    tresult PLUGIN_API attached(void* p, FIDString type) SMTG_OVERRIDE
    {
        parent = p;
        attachedType = type;
        return kResultOk;
    }
    tresult PLUGIN_API removed() SMTG_OVERRIDE
    {
        parent = nullptr;
        ++removals;
        return kResultOk;
    }
    tresult PLUGIN_API onWheel(float) SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API onKeyDown(char16, int16, int16) SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API onKeyUp(char16, int16, int16) SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API getSize(ViewRect* size) SMTG_OVERRIDE
    {
        *size = ViewRect(0, 0, 765, 212);
        return kResultOk;
    }
    tresult PLUGIN_API onSize(ViewRect* newSize) SMTG_OVERRIDE
    {
        lastSize = *newSize;
        return kResultOk;
    }
    tresult PLUGIN_API onFocus(TBool) SMTG_OVERRIDE { return kResultOk; }
    tresult PLUGIN_API setFrame(IPlugFrame* f) SMTG_OVERRIDE
    {
        frame = f;
        return kResultOk;
    }
    tresult PLUGIN_API canResize() SMTG_OVERRIDE { return kResultTrue; }
    tresult PLUGIN_API checkSizeConstraint(ViewRect*) SMTG_OVERRIDE { return kResultOk; }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) SMTG_OVERRIDE
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++references; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return --references; }

    const char* accepted;
    void* parent = nullptr;
    std::string attachedType;
    IPlugFrame* frame = nullptr;
    ViewRect lastSize;
    int removals = 0;
    // The test owns the view; the count shows what the adapter still holds.
    uint32 references = 1;
};

struct FakeParameter
{
    const char* title;
    int32 stepCount;
    int32 flags;
};

class FakeEffect : public SingleComponentEffect
{
public:
    explicit FakeEffect(std::vector<FakeParameter> parameterList)
        : parameterList(std::move(parameterList))
    {
    }

    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE
    {
        const tresult result = SingleComponentEffect::initialize(context);
        addAudioInput(STR16("In"), SpeakerArr::kStereo);
        addAudioInput(STR16("Aux"), SpeakerArr::kStereo, kAux);
        addAudioOutput(STR16("Out"), SpeakerArr::kStereo);
        for (size_t i = 0; i < parameterList.size(); ++i) {
            String128 title;
            UString(title, 128).fromAscii(parameterList[i].title);
            parameters.addParameter(title, STR16(""), parameterList[i].stepCount, 0.25, parameterList[i].flags,
                                    static_cast<int32>(100 + i));
        }
        return result;
    }
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE
    {
        setups.push_back(setup);
        return SingleComponentEffect::setupProcessing(setup);
    }
    tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE
    {
        blocks.push_back(data.numSamples);
        lastChanges.clear();
        for (int32 q = 0; data.inputParameterChanges && q < data.inputParameterChanges->getParameterCount(); ++q) {
            IParamValueQueue* queue = data.inputParameterChanges->getParameterData(q);
            int32 offset;
            ParamValue value;
            if (queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
                lastChanges[queue->getParameterId()] = value;
        }
        lastEventCount = data.inputEvents ? data.inputEvents->getEventCount() : -1;
        lastSideChain = data.numInputs > 1 ? data.inputs[1].channelBuffers32[0] : nullptr;
        // Halves the main input, so processed blocks are told from copied ones.
        for (int32 c = 0; c < data.outputs[0].numChannels; ++c) {
            const float* in = data.inputs[0].channelBuffers32[c];
            for (int32 i = 0; i < data.numSamples; ++i)
                data.outputs[0].channelBuffers32[c][i] = in ? in[i] * 0.5f : 0.f;
        }
        if (reportChange) {
            int32 index;
            data.outputParameterChanges->addParameterData(reportChange->first, index)
                ->addPoint(0, reportChange->second, index);
        }
        return kResultOk;
    }
    IPlugView* PLUGIN_API createView(FIDString name) SMTG_OVERRIDE
    {
        if (!view || std::strcmp(name, "editor") != 0)
            return nullptr;
        view->addRef();
        return view;
    }

    std::vector<FakeParameter> parameterList;
    FakeView* view = nullptr;
    std::vector<ProcessSetup> setups;
    std::vector<int32> blocks;
    std::map<ParamID, ParamValue> lastChanges;
    int32 lastEventCount = 0;
    const float* lastSideChain = nullptr;
    const std::pair<ParamID, ParamValue>* reportChange = nullptr;
};

// Hands out the one effect a test prepared, whatever class is asked for.
class FakeFactory : public IPluginFactory
{
public:
    static inline FakeEffect* next = nullptr;
    static IPluginFactory* get()
    {
        static FakeFactory factory;
        return &factory;
    }

    tresult PLUGIN_API getFactoryInfo(PFactoryInfo*) SMTG_OVERRIDE { return kNotImplemented; }
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE { return 1; }
    tresult PLUGIN_API getClassInfo(int32, PClassInfo*) SMTG_OVERRIDE { return kNotImplemented; }
    tresult PLUGIN_API createInstance(FIDString, FIDString iid, void** obj) SMTG_OVERRIDE
    {
        *obj = nullptr;
        return next ? next->queryInterface(iid, obj) : kResultFalse;
    }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) SMTG_OVERRIDE
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }
};

inline AAX_VST3EffectDescription fakeDescription(bool sideChain)
{
    AAX_VST3EffectDescription d;
    d.sideChainInput = sideChain;
    d.getFactory = FakeFactory::get;
    return d;
}

} // namespace testing_support
