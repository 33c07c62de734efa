// The effect object as a VST 3 component: construction, initialisation with
// its buses and parameters, bus arrangements, activation and its views.
#include "core/ol7t.h"

#include "pal/DebugTrace.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <new>

using namespace Steinberg::Vst;

namespace {

constexpr int32_t kInitialBufferSamples = 4096;

} // namespace

ol7t::ol7t()
    : program(std::make_unique<SynthProgram>())
{
    filters.publish(FilterSets{});
    // No parameter object exists yet, so this reaches nothing but keeps the
    // construction path the same as every later one.
    applyProgram();
    resetModel();
    prepareBuffers(kInitialBufferSamples);
}

ol7t::~ol7t() = default;


FUnknown* ol7t::createInstance(void*)
{
    auto* effect = new (std::nothrow) ol7t;
    return effect ? static_cast<IAudioProcessor*>(effect) : nullptr;
}

tresult PLUGIN_API ol7t::setActive(TBool state)
{
    active = state != 0;
    return kResultOk;
}

namespace {

constexpr SpeakerArrangement kMono = SpeakerArr::kMono;
constexpr SpeakerArrangement kStereo = SpeakerArr::kStereo;

} // namespace

// Hosts may ask for mono or stereo, with or without the side chain; anything
// that is not mono on both ends is taken as stereo.
tresult PLUGIN_API ol7t::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                            int32 numOuts)
{
    if ((numIns != 1 && numIns != 2) || numOuts != 1 || !inputs || !outputs)
        return kResultFalse;
    const bool mono = inputs[0] == kMono && outputs[0] == kMono;
    if (audioInputs.empty())
        return kResultFalse;
    const SpeakerArrangement wanted = mono ? kMono : kStereo;
    if (static_cast<AudioBus*>(audioInputs[0].get())->getArrangement() == wanted)
        return kResultOk;

    removeAudioBusses();
    addAudioInput(mono ? STR16("Mono In") : STR16("Stereo In"), wanted);
    if (numIns == 2)
        addAudioInput(mono ? STR16("Mono Aux In") : STR16("Stereo Aux In"), wanted, kAux);
    addAudioOutput(mono ? STR16("Mono Out") : STR16("Stereo Out"), wanted);
    return kResultOk;
}
