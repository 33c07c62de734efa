// The AAX effect instance over a VST 3 effect: set-up, parameter texts, the
// "VST3" chunk (component-state length C and controller-state length K as
// little-endian signed 64-bit numbers, then the two states) and rendering.
#include "adapters/aax/AAX_CVST3Parameters.h"

#include "pal/Utf8ToUtf16.h"
#include "sdk/aax/AAX_CBinaryDisplayDelegate.h"
#include "sdk/aax/AAX_CBinaryTaperDelegate.h"
#include "sdk/aax/AAX_CLinearTaperDelegate.h"
#include "sdk/aax/AAX_CNumberDisplayDelegate.h"
#include "sdk/aax/AAX_CParameter.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr uint32_t kChunkHeaderBytes = 16;
constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;

bool isBypass(AAX_CParamID identifier)
{
    return identifier && std::strcmp(identifier, AAX_CVST3Parameters::kBypassID) == 0;
}

std::string titleOf(const ParameterInfo& info)
{
    return ZVNPal::Utf16ToUtf8(info.title, 128);
}

const char* shortBypassName(int32_t length)
{
    if (length >= 13)
        return "Master Bypass";
    if (length >= 8)
        return "Mast Byp";
    if (length >= 6)
        return "MstByp";
    return "MByp";
}

void appendBytes(std::vector<char>& out, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    out.insert(out.end(), p, p + size);
}

// A stream whose write failed is handed on empty.
void captureState(MemoryStream& stream, bool written)
{
    if (!written)
        stream.setSize(0);
}

void fillStream(MemoryStream& stream, const char* data, int64_t size)
{
    if (size > 0)
        stream.write(const_cast<char*>(data), static_cast<int32>(size), nullptr);
    stream.seek(0, IBStream::kIBSeekSet, nullptr);
}

} // namespace

AAX_CVST3Parameters::AAX_CVST3Parameters(const AAX_VST3EffectDescription& description)
    : mDescription(description)
{
}

AAX_CVST3Parameters::~AAX_CVST3Parameters()
{
    if (mProcessor)
        mProcessor->setProcessing(false);
    if (mComponent)
        mComponent->setActive(false);
    if (mController) {
        mController->setComponentHandler(nullptr);
        mController->release();
    }
    if (mProcessor)
        mProcessor->release();
    if (mComponent) {
        mComponent->terminate();
        mComponent->release();
    }
}

std::optional<ParamID> AAX_CVST3Parameters::vst3ParameterID(AAX_CParamID identifier) const
{
    if (!identifier)
        return std::nullopt;
    const auto it = mToVST3.find(identifier);
    if (it == mToVST3.end())
        return std::nullopt;
    return it->second;
}

// --- set-up ----------------------------------------------------------------

AAX_Result AAX_CVST3Parameters::EffectInit()
{
    // Each step goes on whatever the one before achieved.
    createEffect();
    setUpProcessing();
    addParameters();
    return AAX_SUCCESS;
}

void AAX_CVST3Parameters::createEffect()
{
    IPluginFactory* factory = mDescription.getFactory ? mDescription.getFactory() : nullptr;
    if (!factory)
        return;
    void* object = nullptr;
    if (factory->createInstance(mDescription.classID, IComponent::iid, &object) == kResultOk)
        mComponent = static_cast<IComponent*>(object);
    factory->release();
    if (!mComponent)
        return;
    if (mComponent->queryInterface(IAudioProcessor::iid, &object) == kResultOk)
        mProcessor = static_cast<IAudioProcessor*>(object);
    if (mComponent->queryInterface(IEditController::iid, &object) == kResultOk)
        mController = static_cast<IEditController*>(object);
    mComponent->initialize(static_cast<IHostApplication*>(&mWrapper));
    if (mController)
        mController->setComponentHandler(&mWrapper);
}

void AAX_CVST3Parameters::setUpProcessing()
{
    AAX_IController* host = Controller();
    AAX_CSampleRate rate = 0;
    if (host->GetSampleRate(&rate) == AAX_SUCCESS && rate > 0 && std::isfinite(rate))
        mSampleRate = rate;
    if (mProcessor)
        host->SetSignalLatency(static_cast<int32_t>(mProcessor->getLatencySamples()));
    AAX_EStemFormat stem = AAX_eStemFormat_Stereo;
    if (host->GetOutputStemFormat(&stem) == AAX_SUCCESS)
        mChannels = AAX_STEM_FORMAT_CHANNEL_COUNT(stem);
    if (!mComponent || !mProcessor)
        return;

    const SpeakerArrangement arrangement = mChannels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    SpeakerArrangement inputs[2] = {arrangement, arrangement};
    SpeakerArrangement output = arrangement;
    mProcessor->setBusArrangements(inputs, mDescription.sideChainInput ? 2 : 1, &output, 1);
    mWrapper.prepare(*mComponent, *mProcessor, {kRealtime, kSample32, kInitialMaxBlock, mSampleRate});
}

void AAX_CVST3Parameters::addParameters()
{
    auto* bypass = new AAX_CParameter<bool>(kBypassID, kBypassName, false, AAX_CBinaryTaperDelegate<bool>(),
                                            AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
    bypass->SetNumberOfSteps(2);
    mParameterManager.AddParameter(bypass);
    if (!mController)
        return;

    const int32 count = mController->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        if (mController->getParameterInfo(i, info) != kResultOk)
            continue;
        const std::string title = titleOf(info);
        const std::string identifier = uniqueIdentifier(title, info.id);
        auto* parameter = new AAX_CParameter<float>(
            identifier.c_str(), AAX_CString(title.c_str()), static_cast<float>(mController->getParamNormalized(info.id)),
            AAX_CLinearTaperDelegate<float>(0.f, 1.f), AAX_CNumberDisplayDelegate<float>(),
            (info.flags & ParameterInfo::kCanAutomate) != 0);
        parameter->AddShortenedName(ZVNPal::Utf16ToUtf8(info.shortTitle, 128).c_str());
        // A VST 3 step count leaves out the first state; AAX counts them all.
        if (info.stepCount > 0)
            parameter->SetNumberOfSteps(static_cast<uint32_t>(info.stepCount) + 1);
        if (!mParameterManager.AddParameter(parameter))
            continue;
        mToVST3[identifier] = info.id;
        mFromVST3[info.id] = identifier;
        if (info.flags & ParameterInfo::kIsBypass)
            mVST3Bypass = info.id;
    }
}

std::string AAX_CVST3Parameters::uniqueIdentifier(const std::string& title, ParamID id) const
{
    std::string identifier = ZVNPal::CutUtf8(title, kMaxIdentifierBytes);
    // Titles that are empty or alike in their first bytes would hide one
    // parameter behind another; those take a name made from their ID.
    if (identifier.empty() || isBypass(identifier.c_str()) || mToVST3.count(identifier))
        identifier = ZVNPal::CutUtf8("VST3 Parameter " + std::to_string(id), kMaxIdentifierBytes);
    return identifier;
}

std::optional<ParameterInfo> AAX_CVST3Parameters::parameterInfo(ParamID id) const
{
    if (!mController)
        return std::nullopt;
    const int32 count = mController->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        if (mController->getParameterInfo(i, info) == kResultOk && info.id == id)
            return info;
    }
    return std::nullopt;
}

// --- parameter texts ---------------------------------------------------------

AAX_Result AAX_CVST3Parameters::GetParameterName(AAX_CParamID identifier, AAX_CString* name) const
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    if (isBypass(identifier)) {
        name->Set(kBypassName);
        return AAX_SUCCESS;
    }
    const auto id = vst3ParameterID(identifier);
    if (!id)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    const auto info = parameterInfo(*id);
    name->Set(info ? titleOf(*info).c_str() : kInvalidParameter);
    return AAX_SUCCESS;
}

AAX_Result AAX_CVST3Parameters::GetParameterNameOfLength(AAX_CParamID identifier, AAX_CString* name,
                                                         int32_t length) const
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    if (isBypass(identifier)) {
        name->Set(shortBypassName(length));
        return AAX_SUCCESS;
    }
    const AAX_Result result = GetParameterName(identifier, name);
    if (result == AAX_SUCCESS)
        name->Set(ZVNPal::CutUtf8(name->Get(), static_cast<size_t>(std::max(length, 0))).c_str());
    return result;
}

AAX_Result AAX_CVST3Parameters::GetParameterValueString(AAX_CParamID identifier, double value, AAX_CString* text,
                                                        int32_t maxLength) const
{
    if (!text)
        return AAX_ERROR_NULL_OBJECT;
    if (isBypass(identifier)) {
        text->Set(value != 0.0 ? (maxLength > 7 ? "Bypassed" : "Byp") : "Off");
        return AAX_SUCCESS;
    }
    const auto id = vst3ParameterID(identifier);
    if (!id)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    String128 string{};
    const bool known = mController && mController->getParamStringByValue(*id, value, string) == kResultOk;
    const std::string shown = known ? ZVNPal::Utf16ToUtf8(string, 128) : kInvalidParameter;
    text->Set(ZVNPal::CutUtf8(shown, static_cast<size_t>(std::max(maxLength, 0))).c_str());
    return AAX_SUCCESS;
}

// --- chunks ------------------------------------------------------------------

AAX_Result AAX_CVST3Parameters::GetNumberOfChunks(int32_t* count) const
{
    const AAX_Result result = AAX_CMonolithicParameters::GetNumberOfChunks(count);
    if (result == AAX_SUCCESS)
        ++*count;
    return result;
}

AAX_Result AAX_CVST3Parameters::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const
{
    int32_t ownChunks = 0;
    AAX_CMonolithicParameters::GetNumberOfChunks(&ownChunks);
    if (index != ownChunks)
        return AAX_CMonolithicParameters::GetChunkIDFromIndex(index, chunkID);
    if (!chunkID)
        return AAX_ERROR_NULL_OBJECT;
    *chunkID = kVST3ChunkID;
    return AAX_SUCCESS;
}

AAX_Result AAX_CVST3Parameters::GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const
{
    if (chunkID != kVST3ChunkID)
        return AAX_CMonolithicParameters::GetChunkSize(chunkID, size);
    if (!size)
        return AAX_ERROR_NULL_OBJECT;
    *size = static_cast<uint32_t>(vst3Chunk().size());
    return AAX_SUCCESS;
}

AAX_Result AAX_CVST3Parameters::GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const
{
    if (chunkID != kVST3ChunkID)
        return AAX_CMonolithicParameters::GetChunk(chunkID, chunk);
    if (!chunk)
        return AAX_ERROR_NULL_OBJECT;
    const AAX_Result result = WriteChunk(vst3Chunk(), chunk);
    if (result == AAX_SUCCESS)
        chunk->fChunkID = kVST3ChunkID;
    return result;
}

AAX_Result AAX_CVST3Parameters::SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk)
{
    if (chunkID != kVST3ChunkID)
        return AAX_CMonolithicParameters::SetChunk(chunkID, chunk);
    if (!chunk || (chunk->fSize > 0 && !chunk->fData))
        return AAX_ERROR_NULL_OBJECT;
    return setVST3Chunk(chunk->fData, chunk->fSize);
}

std::vector<char> AAX_CVST3Parameters::vst3Chunk() const
{
    MemoryStream componentState;
    captureState(componentState, mComponent && mComponent->getState(&componentState) == kResultOk);
    // The controller is the component itself (asked of it in createEffect),
    // whose one state answers both state calls: the controller part stays
    // empty rather than holding that state twice.
    const int64_t componentBytes = componentState.getSize();
    const int64_t controllerBytes = 0;
    std::vector<char> out;
    if (componentBytes == 0)
        return out;
    appendBytes(out, &componentBytes, sizeof componentBytes);
    appendBytes(out, &controllerBytes, sizeof controllerBytes);
    appendBytes(out, componentState.getData(), static_cast<size_t>(componentBytes));
    return out;
}

AAX_Result AAX_CVST3Parameters::setVST3Chunk(const char* data, uint32_t size)
{
    if (size == 0)
        return AAX_SUCCESS;
    if (size < kChunkHeaderBytes)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;
    int64_t componentBytes = 0;
    int64_t controllerBytes = 0;
    std::memcpy(&componentBytes, data, sizeof componentBytes);
    std::memcpy(&controllerBytes, data + sizeof componentBytes, sizeof controllerBytes);
    // Lengths that do not fit the chunk are refused before anything is read.
    const int64_t room = static_cast<int64_t>(size - kChunkHeaderBytes);
    if (componentBytes < 0 || controllerBytes < 0 || componentBytes > room ||
        controllerBytes > room - componentBytes || componentBytes > INT32_MAX || controllerBytes > INT32_MAX)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;

    // Changes the host queued before this restore must not undo it.
    FlushPendingParameters();
    MemoryStream componentState;
    MemoryStream controllerState;
    fillStream(componentState, data + kChunkHeaderBytes, componentBytes);
    fillStream(controllerState, data + kChunkHeaderBytes + componentBytes, controllerBytes);
    if (mComponent)
        mComponent->setState(&componentState);
    componentState.seek(0, IBStream::kIBSeekSet, nullptr);
    if (mController) {
        mController->setComponentState(&componentState);
        // Older chunks carry the component state again as the controller
        // part; chunks of today have none to hand over.
        if (controllerBytes > 0)
            mController->setState(&controllerState);
    }
    takeValuesFromEffect();
    return AAX_SUCCESS;
}

void AAX_CVST3Parameters::takeValuesFromEffect()
{
    if (!mController)
        return;
    for (const auto& [identifier, id] : mToVST3) {
        if (AAX_IParameter* parameter = mParameterManager.GetParameterByID(identifier.c_str()))
            parameter->SetNormalizedValue(mController->getParamNormalized(id));
    }
}

// --- rendering ---------------------------------------------------------------

void AAX_CVST3Parameters::RenderAudio(AAX_SInstrumentRenderInfo* info, const AAX_TParamValPair* values,
                                      int32_t count)
{
    if (!info || !info->mAudioInputs || !info->mAudioOutputs || !info->mNumSamples)
        return;
    const int32_t samples = std::max(*info->mNumSamples, 0);
    queueChanges(values, count);
    addMIDIEvents(info->mGlobalNode);
    addMIDIEvents(info->mInputNode);

    const bool bypass = bypassed();
    if (mVST3Bypass) {
        int32 index = 0;
        if (IParamValueQueue* queue = mWrapper.inputChanges.addParameterData(*mVST3Bypass, index))
            queue->addPoint(0, bypass ? 1.0 : 0.0, index);
    } else if (bypass || !mProcessor) {
        // The effect is not called; queued changes wait for the next block
        // it processes.
        copyThrough(*info, samples);
        mWrapper.events.clear();
        return;
    }

    if (samples > mWrapper.maxBlock() && mComponent)
        mWrapper.prepare(*mComponent, *mProcessor, {kRealtime, kSample32, samples, mSampleRate});
    bindBuffers(*info);
    mWrapper.processData.numSamples = samples;
    mProcessor->process(mWrapper.processData);
    writeOutputs(*info, samples);
    handBackChanges();
    mWrapper.inputChanges.clearQueue();
    mWrapper.outputChanges.clearQueue();
    mWrapper.events.clear();
}

bool AAX_CVST3Parameters::bypassed() const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(kBypassID);
    return parameter && std::floor(parameter->GetNormalizedValue() + 0.01) == 1.0;
}

void AAX_CVST3Parameters::queueChanges(const AAX_TParamValPair* values, int32_t count)
{
    for (int32_t i = 0; values && i < count; ++i) {
        const auto id = vst3ParameterID(values[i].mID);
        if (!id)
            continue;
        int32 index = 0;
        if (IParamValueQueue* queue = mWrapper.inputChanges.addParameterData(*id, index))
            queue->addPoint(0, values[i].mValue, index);
    }
}

void AAX_CVST3Parameters::addMIDIEvents(const AAX_CMidiStream* stream)
{
    if (!stream || !stream->mBuffer)
        return;
    for (uint32_t i = 0; i < stream->mBufferSize; ++i) {
        const AAX_CMidiPacket& packet = stream->mBuffer[i];
        const uint8_t status = packet.mData[0] & 0xF0;
        if (packet.mLength < 3 || (status != kNoteOn && status != kNoteOff))
            continue;
        Event e{};
        e.sampleOffset = static_cast<int32>(packet.mTimestamp);
        // A note-on with velocity 0 is a note-off.
        const bool on = status == kNoteOn && packet.mData[2] != 0;
        e.type = on ? Event::kNoteOnEvent : Event::kNoteOffEvent;
        const int16 channel = packet.mData[0] & 0x0F;
        const int16 pitch = packet.mData[1] & 0x7F;
        const float velocity = (packet.mData[2] & 0x7F) / 127.f;
        if (on)
            e.noteOn = NoteOnEvent{channel, pitch, 0.f, velocity, 0, -1};
        else
            e.noteOff = NoteOffEvent{channel, pitch, velocity, -1, 0.f};
        // Beyond the list's capacity events are dropped.
        mWrapper.events.addEvent(e);
    }
}

void AAX_CVST3Parameters::bindBuffers(const AAX_SInstrumentRenderInfo& info)
{
    HostProcessData& data = mWrapper.processData;
    if (data.numInputs > 0) {
        for (int32 c = 0; c < data.inputs[0].numChannels; ++c)
            data.setInputChannelPointer(0, c, c < mChannels ? info.mAudioInputs[c] : nullptr);
    }
    if (data.numInputs > 1) {
        // The side chain feeds every channel of the auxiliary input; without
        // one the effect finds no auxiliary channels and hears its input.
        const int32_t index = info.mSideChainP ? *info.mSideChainP : -1;
        float* sideChain = mDescription.sideChainInput && index >= 1 ? info.mAudioInputs[index] : nullptr;
        for (int32 c = 0; c < data.inputs[1].numChannels; ++c)
            data.setInputChannelPointer(1, c, sideChain);
    }
}

void AAX_CVST3Parameters::writeOutputs(const AAX_SInstrumentRenderInfo& info, int32_t samples)
{
    const HostProcessData& data = mWrapper.processData;
    const int32 produced = data.numOutputs > 0 ? data.outputs[0].numChannels : 0;
    for (int32_t c = 0; c < mChannels; ++c) {
        float* out = info.mAudioOutputs[c];
        if (!out)
            continue;
        if (c < produced)
            std::memcpy(out, data.output(0, c), sizeof(float) * static_cast<size_t>(samples));
        else
            std::fill(out, out + samples, 0.f);
    }
}

void AAX_CVST3Parameters::copyThrough(const AAX_SInstrumentRenderInfo& info, int32_t samples) const
{
    for (int32_t c = 0; c < mChannels; ++c) {
        const float* in = info.mAudioInputs[c];
        float* out = info.mAudioOutputs[c];
        if (!out)
            continue;
        if (in)
            std::memmove(out, in, sizeof(float) * static_cast<size_t>(samples));
        else
            std::fill(out, out + samples, 0.f);
    }
}

void AAX_CVST3Parameters::handBackChanges()
{
    IParameterChanges& changes = mWrapper.outputChanges;
    for (int32 q = 0; q < changes.getParameterCount(); ++q) {
        IParamValueQueue* queue = changes.getParameterData(q);
        int32 offset = 0;
        ParamValue value = 0;
        if (queue && queue->getPointCount() > 0 && queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
            onEdit(queue->getParameterId(), value);
    }
}

void AAX_CVST3Parameters::onEdit(ParamID id, ParamValue value)
{
    // The effect already holds the value: it is only stored on the AAX side.
    const auto it = mFromVST3.find(id);
    if (it == mFromVST3.end())
        return;
    if (AAX_IParameter* parameter = mParameterManager.GetParameterByID(it->second.c_str()))
        parameter->SetNormalizedValue(value);
}

void AAX_CVST3Parameters::onRestart(int32 flags)
{
    if ((flags & kLatencyChanged) && mProcessor && Controller())
        Controller()->SetSignalLatency(static_cast<int32_t>(mProcessor->getLatencySamples()));
    if (flags & kParamValuesChanged)
        takeValuesFromEffect();
}
