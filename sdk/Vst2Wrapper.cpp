// The VST 2 face of a VST 3 effect: parameters, programs, chunks, audio,
// speaker arrangements and the editor, translated call by call.
#include "sdk/Vst2Wrapper.h"

#include "sdk/Vst2Chunk.h"

#include "pal/Utf8ToUtf16.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace Steinberg {
namespace Vst {

namespace {

constexpr char kDefaultProgramName[] = "Default";

void copyText(const std::string& text, char* out, size_t size)
{
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}
// The window a VST 2 host hands to effEditOpen: an HWND on Windows, an X11
// window on Linux.
#if SMTG_OS_WINDOWS
const FIDString kHostWindowType = kPlatformTypeHWND;
#else
const FIDString kHostWindowType = kPlatformTypeX11EmbedWindowID;
#endif

// Copies UTF-16 text into a UTF-8 buffer of `size` bytes, never splitting a
// character and always ending with a zero byte.
void toUtf8(const char16* in, char* out, size_t size)
{
    copyText(ZVNPal::CutUtf8(ZVNPal::Utf16ToUtf8(in), size - 1), out, size);
}

// A value text from a host: ASCII and Latin-1 letters are enough for numbers
// and value names; other bytes become '?'.
void toUtf16(const char* in, String128 out)
{
    size_t n = 0;
    for (; *in && n < 127; ++in)
        out[n++] = static_cast<unsigned char>(*in) < 0x80 ? static_cast<char16>(*in) : char16('?');
    out[n] = 0;
}

SpeakerArrangement arrangementOf(int32 channels)
{
    return channels == 1 ? SpeakerArr::kMono : (SpeakerArrangement(1) << channels) - 1;
}

void describe(VstSpeakerArrangement& arr, int32 channels)
{
    arr.channels = std::clamp<int32>(channels, 0, VST_MAX_CHANNELS);
    arr.type = static_cast<VST_ARRANGEMENT_TYPE>(channels == 1   ? kSpeakerArrMono
                                                 : channels == 2 ? kSpeakerArrStereo
                                                                 : kSpeakerArrUserDefined);
    for (int32 i = 0; i < arr.channels; ++i) {
        VstSpeakerProperties& speaker = arr.speakers[i];
        const bool mono = channels == 1;
        speaker.type = static_cast<VST_SPEAKER_TYPE>(mono ? kSpeakerM : i % 2 == 0 ? kSpeakerL : kSpeakerR);
        std::strcpy(speaker.name, mono ? "M" : i % 2 == 0 ? "L" : "R");
    }
}

} // namespace

Vst2Wrapper::EditorIdleHandler Vst2Wrapper::editorIdleHandler = nullptr;

Vst2Wrapper::Vst2Wrapper(IAudioProcessor* processor, IEditController* controller, audioMasterCallback audioMaster,
                         int32 vst2ID)
    : AudioEffectX(audioMaster, 1, 0)
    , processor(processor)
    , controller(controller)
{
    if (processor)
        processor->queryInterface(IComponent::iid, reinterpret_cast<void**>(&component));
    singleComponent = controllerIsComponent();
    setUniqueID(vst2ID);
    setProgramsAreChunks(true);
}

Vst2Wrapper::~Vst2Wrapper()
{
    editClose();
    suspend();
    if (controller) {
        controller->setComponentHandler(nullptr);
        if (!singleComponent)
            controller->terminate();
        controller->release();
    }
    if (component) {
        component->terminate();
        component->release();
    }
    if (processor)
        processor->release();
}

bool Vst2Wrapper::controllerIsComponent() const
{
    FUnknown* a = nullptr;
    FUnknown* b = nullptr;
    if (controller)
        controller->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&a));
    if (component)
        component->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&b));
    const bool same = a && a == b;
    if (a)
        a->release();
    if (b)
        b->release();
    return same;
}

bool Vst2Wrapper::init()
{
    if (!component || component->initialize(static_cast<IHostApplication*>(this)) != kResultOk)
        return false;
    if (controller && !singleComponent &&
        controller->initialize(static_cast<IHostApplication*>(this)) != kResultOk)
        return false;
    if (controller)
        controller->setComponentHandler(this);

    setupBuses();

    const int32 count = controller ? controller->getParameterCount() : 0;
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        controller->getParameterInfo(i, info);
        parameterIds.push_back(info.id);
        if (info.flags & ParameterInfo::kIsBypass)
            bypassIndex = i;
    }
    numParams = cEffect.num_params = count;
    guiTransfer.setParameterIds(parameterIds);
    inputTransfer.setParameterIds(parameterIds);
    inputChanges.setCapacity(count);

    // Hosts decide from this flag whether to offer an editor at all.
    if (IPlugView* probe = controller ? controller->createView(ViewType::kEditor) : nullptr) {
        setFlag(effFlagsHasEditor, true);
        probe->release();
    }
    setInitialDelay(static_cast<int32_t>(processor->getLatencySamples()));
    timer = std::make_unique<Timer>(this, kTimerPeriodMs);
    return true;
}

void Vst2Wrapper::setupBuses()
{
    for (BusDirection dir : {kInput, kOutput}) {
        auto& channels = dir == kInput ? inputChannels : outputChannels;
        channels.clear();
        int32 total = 0;
        for (int32 i = 0; i < component->getBusCount(kAudio, dir); ++i) {
            BusInfo info{};
            component->getBusInfo(kAudio, dir, i, info);
            component->activateBus(kAudio, dir, i, true);
            channels.push_back(info.channelCount);
            total += info.channelCount;
        }
        if (dir == kInput)
            setNumInputs(total);
        else
            setNumOutputs(total);
    }
    hasEventInput = component->getBusCount(kEvent, kInput) > 0;
    if (hasEventInput)
        component->activateBus(kEvent, kInput, 0, true);
    prepareBusBuffers(inputBuses, kInput);
    prepareBusBuffers(outputBuses, kOutput);
}

void Vst2Wrapper::prepareBusBuffers(std::vector<AudioBusBuffers>& buses, BusDirection dir)
{
    const auto& channels = dir == kInput ? inputChannels : outputChannels;
    buses.assign(channels.size(), AudioBusBuffers{});
    for (size_t i = 0; i < channels.size(); ++i)
        buses[i].numChannels = channels[i];
}

int32 Vst2Wrapper::indexOf(ParamID id) const
{
    const auto it = std::find(parameterIds.begin(), parameterIds.end(), id);
    return it == parameterIds.end() ? -1 : static_cast<int32>(it - parameterIds.begin());
}

bool Vst2Wrapper::parameterInfo(int32 index, ParameterInfo& info) const
{
    return controller && index >= 0 && index < numParams &&
           controller->getParameterInfo(index, info) == kResultOk;
}

// --- set-up ---------------------------------------------------------------

void Vst2Wrapper::resume()
{
    if (processing)
        return;
    ProcessSetup setup{kRealtime, kSample32, blockSize, sampleRate};
    processor->setupProcessing(setup);
    component->setActive(true);
    processor->setProcessing(true);
    setInitialDelay(static_cast<int32_t>(processor->getLatencySamples()));
    processing = true;
}

void Vst2Wrapper::suspend()
{
    if (!processing)
        return;
    processor->setProcessing(false);
    component->setActive(false);
    processing = false;
}

// --- programs and parameters ------------------------------------------------

void Vst2Wrapper::getProgramName(char* name)
{
    copyText(kDefaultProgramName, name, kVstMaxProgNameLen);
}

bool Vst2Wrapper::getProgramNameIndexed(int32_t, int32_t index, char* text)
{
    if (index < 0 || index >= numPrograms)
        return false;
    getProgramName(text);
    return true;
}

void Vst2Wrapper::setParameter(int32_t index, float value)
{
    // A value that is not a number is dropped and the parameter keeps its
    // value; others are held to the normalized range.
    if (std::isfinite(value))
        queueChange(index, std::clamp(value, 0.f, 1.f));
}

void Vst2Wrapper::queueChange(int32 index, ParamValue value)
{
    inputTransfer.addChange(index, value);
    // A single-component effect is its own controller: the block applies the
    // change to both, and a second queue could only bring it back stale.
    if (!singleComponent)
        guiTransfer.addChange(index, value);
}

void Vst2Wrapper::deliverQueuedChanges(bool processorSide)
{
    if (!controller)
        return;
    auto apply = [this](ParamID id, ParamValue value) { controller->setParamNormalized(id, value); };
    guiTransfer.takeChanges(apply);
    // A single-component effect has the one queue, which its blocks take
    // from too: each change arrives once, whichever comes first.
    if (processorSide || singleComponent)
        inputTransfer.takeChanges(apply);
}

void Vst2Wrapper::awaitBlockInProgress() const
{
    // A block is short; the limit only guards against a host that loads a
    // chunk from inside its own process call.
    constexpr auto kLimit = std::chrono::milliseconds(200);
    const uint32 seen = blockSequence.load();
    if (seen % 2 == 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (blockSequence.load() == seen && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

float Vst2Wrapper::getParameter(int32_t index)
{
    if (!controller || index < 0 || index >= numParams)
        return 0.f;
    return static_cast<float>(controller->getParamNormalized(parameterIds[index]));
}

void Vst2Wrapper::getParameterLabel(int32_t index, char* text)
{
    ParameterInfo info{};
    text[0] = 0;
    if (parameterInfo(index, info))
        toUtf8(info.units, text, kVstMaxParamStrLen);
}

void Vst2Wrapper::getParameterName(int32_t index, char* text)
{
    ParameterInfo info{};
    text[0] = 0;
    if (parameterInfo(index, info))
        toUtf8(info.title, text, kVstParamTextLen);
}

void Vst2Wrapper::getParameterDisplay(int32_t index, char* text)
{
    text[0] = 0;
    if (!controller || index < 0 || index >= numParams)
        return;
    const ParamID id = parameterIds[index];
    String128 display{};
    if (controller->getParamStringByValue(id, controller->getParamNormalized(id), display) == kResultOk)
        toUtf8(display, text, kVstParamTextLen);
}

bool Vst2Wrapper::canParameterBeAutomated(int32_t index)
{
    ParameterInfo info{};
    return parameterInfo(index, info) && (info.flags & ParameterInfo::kCanAutomate);
}

bool Vst2Wrapper::string2parameter(int32_t index, const char* text)
{
    if (!text)
        return controller != nullptr; // the host asks whether texts can be converted
    String128 utf16{};
    toUtf16(text, utf16);
    ParamValue value = 0;
    if (!controller || controller->getParamValueByString(parameterIds[index], utf16, value) != kResultOk ||
        !std::isfinite(value))
        return false;
    // Held in double precision first: a text such as "1e300" has no float.
    setParameter(index, static_cast<float>(std::clamp(value, 0.0, 1.0)));
    return true;
}

bool Vst2Wrapper::setBypass(bool state)
{
    if (bypassIndex < 0)
        return false;
    queueChange(bypassIndex, state ? 1.0 : 0.0);
    return true;
}

void Vst2Wrapper::onTimer(Timer*)
{
    deliverQueuedChanges(false);
}

void Vst2Wrapper::idle()
{
    if (timer)
        timer->poll();
}

// --- chunks -------------------------------------------------------------------

int32_t Vst2Wrapper::getChunk(void** data, bool)
{
    // The saved state includes every change the host made before asking.
    deliverQueuedChanges(false);
    MemoryStream componentState;
    if (component->getState(&componentState) != kResultOk)
        return 0;
    MemoryStream controllerState;
    if (!singleComponent && controller && controller->getState(&controllerState) != kResultOk)
        controllerState.setSize(0);
    auto bytes = [](MemoryStream& s) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.getData()), static_cast<size_t>(s.getSize()));
    };
    chunk = Vst2Chunk::join(bytes(componentState), bytes(controllerState));
    *data = chunk.data();
    return static_cast<int32_t>(chunk.size());
}

int32_t Vst2Wrapper::setChunk(void* data, int32_t byteSize, bool)
{
    std::span<const uint8_t> componentPart;
    std::span<const uint8_t> controllerPart;
    if (!Vst2Chunk::split({static_cast<const uint8_t*>(data), static_cast<size_t>(byteSize)}, componentPart,
                          controllerPart))
        return 0;
    // The chunk is newer than every change still queued: those reach the
    // effect first, and a block that took some of them ends before the chunk
    // is applied, so none of them can land on top of it.
    deliverQueuedChanges(true);
    awaitBlockInProgress();
    auto stream = [](std::span<const uint8_t> part) {
        return MemoryStream(const_cast<uint8_t*>(part.data()), static_cast<TSize>(part.size()));
    };
    MemoryStream componentState = stream(componentPart);
    if (component->setState(&componentState) != kResultOk)
        return 0;
    if (controller && !singleComponent) {
        componentState.seek(0, IBStream::kIBSeekSet, nullptr);
        controller->setComponentState(&componentState);
        if (!controllerPart.empty()) {
            MemoryStream controllerState = stream(controllerPart);
            controller->setState(&controllerState);
        }
    }
    return 1;
}

// --- audio ----------------------------------------------------------------------

void Vst2Wrapper::assignChannels(std::vector<AudioBusBuffers>& buses, float** channels)
{
    int32 next = 0;
    for (AudioBusBuffers& bus : buses) {
        bus.channelBuffers32 = channels + next;
        bus.silenceFlags = 0;
        next += bus.numChannels;
    }
}

void Vst2Wrapper::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    if (sampleFrames <= 0 || !outputs)
        return;
    if (!processing || !inputs) {
        // A host that processes before switching the effect on gets silence.
        for (int32 c = 0; c < cEffect.num_outputs; ++c)
            std::fill_n(outputs[c], sampleFrames, 0.f);
        return;
    }
    blockSequence.fetch_add(1);
    inputChanges.clear();
    inputTransfer.takeChanges([this](ParamID id, ParamValue value) { inputChanges.add(id, value); });
    assignChannels(inputBuses, inputs);
    assignChannels(outputBuses, outputs);

    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = sampleFrames;
    data.numInputs = static_cast<int32>(inputBuses.size());
    data.numOutputs = static_cast<int32>(outputBuses.size());
    data.inputs = inputBuses.data();
    data.outputs = outputBuses.data();
    data.inputParameterChanges = &inputChanges;
    processor->process(data);
    blockSequence.fetch_add(1);
}

void Vst2Wrapper::processDoubleReplacing(double**, double** outputs, int32_t sampleFrames)
{
    // The effect works on 32-bit samples only and does not claim double
    // processing; a host that calls it anyway gets silence, never garbage.
    if (sampleFrames <= 0 || !outputs)
        return;
    for (int32 c = 0; c < cEffect.num_outputs; ++c)
        std::fill_n(outputs[c], sampleFrames, 0.0);
}

int32_t Vst2Wrapper::processEvents(void*)
{
    // The effect's event input takes no part in its sound; the events are
    // accepted and dropped.
    return hasEventInput ? 1 : 0;
}

bool Vst2Wrapper::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output)
{
    const int32 in = input->channels;
    const int32 out = output->channels;
    if (processing || in <= 0 || out <= 0 || in > VST_MAX_CHANNELS || out > VST_MAX_CHANNELS)
        return false;
    // A host that offers twice the output's channels means main and side-chain.
    const bool withSideChain = in == 2 * out;
    SpeakerArrangement inputs[2] = {arrangementOf(withSideChain ? out : in), arrangementOf(out)};
    SpeakerArrangement outputArr = arrangementOf(out);
    const tresult result = processor->setBusArrangements(inputs, withSideChain ? 2 : 1, &outputArr, 1);
    setupBuses();
    ioChanged();
    // The effect may settle on other buses than asked; the host must then
    // learn that its request was not met.
    return result == kResultOk && cEffect.num_inputs == in && cEffect.num_outputs == out;
}

bool Vst2Wrapper::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    describe(inputArrangement, cEffect.num_inputs);
    describe(outputArrangement, cEffect.num_outputs);
    *input = &inputArrangement;
    *output = &outputArrangement;
    return true;
}

// --- names and capabilities ----------------------------------------------------

int32_t Vst2Wrapper::getPlugCategory()
{
    return subCategories.find("Instrument") != std::string::npos ? kPlugCategSynth : kPlugCategEffect;
}

bool Vst2Wrapper::getEffectName(char* text)
{
    copyText(effectName, text, kVstMaxEffectNameLen);
    return !effectName.empty();
}

bool Vst2Wrapper::getVendorString(char* text)
{
    copyText(vendorName, text, kVstMaxVendorStrLen);
    return !vendorName.empty();
}

bool Vst2Wrapper::getProductString(char* text)
{
    return getEffectName(text);
}

int32_t Vst2Wrapper::getVendorVersion()
{
    // "a.b.c.d" as the decimal number a·1000 + b·100 + c·10 + d.
    int32 parts[4] = {};
    int32 part = 0;
    for (char c : versionText) {
        if (c == '.') {
            if (++part == 4)
                break;
        } else if (c >= '0' && c <= '9') {
            parts[part] = std::min(parts[part] * 10 + (c - '0'), 99999);
        }
    }
    return parts[0] * 1000 + parts[1] * 100 + parts[2] * 10 + parts[3];
}

int32_t Vst2Wrapper::canDo(const char* text)
{
    const std::string_view what(text);
    if (what == "receiveVstEvents" || what == "receiveVstMidiEvent")
        return hasEventInput ? 1 : -1;
    if (what == "sendVstEvents" || what == "sendVstMidiEvent")
        return -1;
    if (what == "bypass")
        return bypassIndex >= 0 ? 1 : -1;
    if (what == "plugAsChannelInsert" || what == "plugAsSend")
        return 1;
    return 0;
}

int32_t Vst2Wrapper::getGetTailSize()
{
    // In VST 2, 0 means "not known" and 1 means "no tail".
    const uint32 tail = processor->getTailSamples();
    return tail == kNoTail ? 1 : static_cast<int32_t>(std::min<uint32>(tail, INT32_MAX));
}

// --- editor -------------------------------------------------------------------

IPlugView* Vst2Wrapper::ensureView()
{
    if (!view && controller)
        view = controller->createView(ViewType::kEditor);
    return view;
}

bool Vst2Wrapper::editGetRect(ERect** rect)
{
    *rect = nullptr;
    ViewRect size;
    if (!ensureView() || view->getSize(&size) != kResultOk)
        return false;
    editorRect = {static_cast<int16_t>(size.top), static_cast<int16_t>(size.left),
                  static_cast<int16_t>(size.bottom), static_cast<int16_t>(size.right)};
    *rect = &editorRect;
    return true;
}

bool Vst2Wrapper::editOpen(void* parent)
{
    if (viewAttached || !ensureView())
        return false;
    if (view->isPlatformTypeSupported(kHostWindowType) != kResultTrue) {
        editClose();
        return false;
    }
    view->setFrame(this);
    viewAttached = view->attached(parent, kHostWindowType) == kResultOk;
    if (!viewAttached)
        editClose();
    return viewAttached;
}

void Vst2Wrapper::editClose()
{
    if (!view)
        return;
    if (viewAttached)
        view->removed();
    view->setFrame(nullptr);
    view->release();
    view = nullptr;
    viewAttached = false;
}

void Vst2Wrapper::editIdle()
{
    idle();
    if (viewAttached && editorIdleHandler)
        editorIdleHandler();
}

tresult PLUGIN_API Vst2Wrapper::resizeView(IPlugView* resized, ViewRect* newSize)
{
    if (!resized || resized != view || !newSize)
        return kInvalidArgument;
    callHost(audioMasterSizeWindow, newSize->getWidth(), newSize->getHeight());
    return view->onSize(newSize);
}

// --- the effect's host ----------------------------------------------------------

tresult PLUGIN_API Vst2Wrapper::getName(String128 name)
{
    toUtf16("VST 2 host", name);
    return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::createInstance(TUID cid, TUID iid, void** obj)
{
    *obj = nullptr;
    if (FUnknownPrivate::iidEqual(cid, IMessage::iid) && FUnknownPrivate::iidEqual(iid, IMessage::iid)) {
        *obj = static_cast<IMessage*>(new HostMessage);
        return kResultOk;
    }
    if (FUnknownPrivate::iidEqual(cid, IAttributeList::iid) && FUnknownPrivate::iidEqual(iid, IAttributeList::iid)) {
        *obj = static_cast<IAttributeList*>(new HostAttributeList);
        return kResultOk;
    }
    return kResultFalse;
}

tresult PLUGIN_API Vst2Wrapper::beginEdit(ParamID id)
{
    const int32 index = indexOf(id);
    if (index < 0)
        return kInvalidArgument;
    AudioEffectX::beginEdit(index);
    return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::performEdit(ParamID id, ParamValue valueNormalized)
{
    const int32 index = indexOf(id);
    if (index < 0 || !std::isfinite(valueNormalized))
        return kInvalidArgument;
    valueNormalized = std::clamp(valueNormalized, 0.0, 1.0);
    // The edit replaces any older host value still queued for the parameter.
    inputTransfer.addChange(index, valueNormalized);
    guiTransfer.discardChange(index);
    notifyAutomated(index, static_cast<float>(valueNormalized));
    return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::endEdit(ParamID id)
{
    const int32 index = indexOf(id);
    if (index < 0)
        return kInvalidArgument;
    AudioEffectX::endEdit(index);
    return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::restartComponent(int32 flags)
{
    if (flags & kLatencyChanged) {
        setInitialDelay(static_cast<int32_t>(processor->getLatencySamples()));
        ioChanged();
    }
    if (flags & (kParamValuesChanged | kParamTitlesChanged))
        updateDisplay();
    return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, IHostApplication::iid))
        *obj = static_cast<IHostApplication*>(this);
    else if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid))
        *obj = static_cast<IComponentHandler*>(this);
    else if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid))
        *obj = static_cast<IPlugFrame*>(this);
    else {
        *obj = nullptr;
        return kNoInterface;
    }
    return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
