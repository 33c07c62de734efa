// The effect object as a VST 3 component: construction, initialisation with
// its buses and parameters, bus arrangements, activation and its views.
#include "core/ol7t.h"

#include "core/IEditorView.h"

#include "pal/DebugTrace.h"
#include "pal/Folders.h"
#include "pal/ProductKey.h"
#include "pal/TextStrings.h"
#include "pal/ZVNConfig.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cstring>
#include <mutex>
#include <new>

using namespace Steinberg::Vst;

ol7t::ol7t()
    : program(std::make_unique<SynthProgram>())
{
    if (ZVNPal::ZVNConfig::Initialize(ZVNPal::kProductName, ZVNPal::kProductVersion) != 0)
        ZVNPal::DebugTrace("*** FAILED ZVNPal::ZVNConfig::Initialize");
    ++instanceCount;
    // No parameter object exists yet, so this reaches nothing but keeps the
    // construction path the same as every later one.
    applyProgram();
    resetModel();
}

ol7t::~ol7t()
{
    --instanceCount;
}


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

// Whether the first `count` audio buses of a direction exist with these
// arrangements, as the host reads them back.
bool busesAre(IAudioProcessor& processor, BusDirection direction, const SpeakerArrangement* arrangements, int32 count)
{
    for (int32 i = 0; i < count; ++i) {
        SpeakerArrangement actual = 0;
        if (processor.getBusArrangement(direction, i, actual) != kResultTrue || actual != arrangements[i])
            return false;
    }
    return true;
}

} // namespace

// Hosts may ask for mono or stereo, with or without the side chain; anything
// that is not mono on both ends is taken as stereo. The buses are rebuilt
// only when the main input changes.
tresult PLUGIN_API ol7t::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                            int32 numOuts)
{
    if ((numIns != 1 && numIns != 2) || numOuts != 1 || !inputs || !outputs)
        return kResultFalse;
    const bool mono = inputs[0] == kMono && outputs[0] == kMono;
    if (audioInputs.empty())
        return kResultFalse;
    const SpeakerArrangement wanted = mono ? kMono : kStereo;
    if (static_cast<AudioBus*>(audioInputs[0].get())->getArrangement() != wanted) {
        removeAudioBusses();
        addAudioInput(mono ? STR16("Mono In") : STR16("Stereo In"), wanted);
        if (numIns == 2)
            addAudioInput(mono ? STR16("Mono Aux In") : STR16("Stereo Aux In"), wanted, kAux);
        addAudioOutput(mono ? STR16("Mono Out") : STR16("Stereo Out"), wanted);
    }
    // True means "this is now the layout": every bus asked for exists with
    // the arrangement asked for. Otherwise the host reads back what we built.
    const bool taken = busesAre(*this, kInput, inputs, numIns) && busesAre(*this, kOutput, outputs, numOuts);
    return taken ? kResultTrue : kResultFalse;
}

namespace {

constexpr float kInitialSampleRate = 44100.f;

// The configuration, the folders and the process-wide text strings are shared
// by every effect object; the first initialisation that finds them missing
// loads them, once, even when hosts create several objects first or
// initialise them on several threads.
std::mutex g_sharedResourcesLock;
bool g_sharedResourcesLoaded = false;

bool loadSharedResources()
{
    std::lock_guard<std::mutex> lock(g_sharedResourcesLock);
    if (!g_sharedResourcesLoaded) {
        ZVNPal::ResolveFolders();
        g_sharedResourcesLoaded = ZVNPal::LoadTextResources();
    }
    return g_sharedResourcesLoaded;
}

const char* textOf(const char* key)
{
    return ZVNPal::TextString(key).c_str();
}

} // namespace

std::atomic<int32_t> ol7t::instanceCount{0};

tresult PLUGIN_API ol7t::initialize(FUnknown* context)
{
    const tresult result = SingleComponentEffect::initialize(context);
    if (result != kResultOk)
        return result;
    // A missing Resources folder or text file has been reported already.
    if (!loadSharedResources())
        return kResultFalse;

    addAudioInput(STR16("Stereo In"), SpeakerArr::kStereo);
    addAudioInput(STR16("Stereo Aux In"), SpeakerArr::kStereo, kAux);
    addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo);
    addEventInput(STR16("MIDI In"), 1);
    registerParameters(textOf);

    // A changed rate applies the registered defaults; an object initialised
    // again at the same rate must apply them all the same.
    if (getSampleRate() == kInitialSampleRate)
        applyProgram();
    else
        setSampleRate(kInitialSampleRate);
    return kResultOk;
}

tresult PLUGIN_API ol7t::terminate()
{
    return SingleComponentEffect::terminate();
}

int ol7t::GetLanguage()
{
    if (languageIndex == 0)
        languageIndex = ZVNPal::ReadLanguageIndex();
    return languageIndex;
}

ol7t::EditorFactory ol7t::editorFactory = nullptr;

IPlugView* PLUGIN_API ol7t::createView(FIDString name)
{
    if (!name || std::strcmp(name, "editor") != 0 || !editorFactory)
        return nullptr;
    return editorFactory(this);
}

void ol7t::editorAttached(Vst::EditorView* view)
{
    ZVNPal::DebugTrace("ol7t::editorAttached()\r\n");
    // Only this effect's createView makes views for it, and they are editors.
    auto* attached = dynamic_cast<IEditorView*>(view);
    editor = attached;
    if (attached)
        attached->setUpAbout();
}

void ol7t::editorRemoved(Vst::EditorView*)
{
    ZVNPal::DebugTrace("ol7t::editorRemoved()\r\n");
    editor = nullptr;
}
