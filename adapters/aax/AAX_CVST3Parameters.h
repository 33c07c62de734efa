// The AAX effect instance that runs a VST 3 effect: it creates the effect
// through the library's VST 3 factory, plays host to it, and maps its
// parameters, state chunks and audio blocks onto the AAX calls.
#pragma once

#include "adapters/aax/AAX_CVST3PlugWrapper.h"
#include "adapters/aax/AAX_VST3EffectDescription.h"
#include "sdk/aax/AAX_CMonolithicParameters.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class AAX_CVST3Parameters : public AAX_CMonolithicParameters, private AAX_CVST3PlugWrapper::Listener
{
public:
    static constexpr AAX_CParamID kBypassID = "MasterBypassID";
    static constexpr const char* kBypassName = "Master Bypass";
    static constexpr const char* kInvalidParameter = "Invalid VST3 Parameter";
    static constexpr AAX_CTypeID kVST3ChunkID = AAX_FourChar("VST3");
    // Processing is first set up for blocks of this length.
    static constexpr Steinberg::int32 kInitialMaxBlock = 1024;
    // AAX identifiers are at most this many bytes long.
    static constexpr size_t kMaxIdentifierBytes = 31;

    explicit AAX_CVST3Parameters(const AAX_VST3EffectDescription& description);
    ~AAX_CVST3Parameters() override;

    // The effect's controller, for the editor; null when the effect could
    // not be created.
    Steinberg::Vst::IEditController* controller() const { return mController; }
    // The VST 3 ID behind an AAX identifier, when there is one.
    std::optional<Steinberg::Vst::ParamID> vst3ParameterID(AAX_CParamID identifier) const;

    AAX_Result GetParameterName(AAX_CParamID identifier, AAX_CString* name) const override;
    AAX_Result GetParameterNameOfLength(AAX_CParamID identifier, AAX_CString* name, int32_t length) const override;
    AAX_Result GetParameterValueString(AAX_CParamID identifier, double value, AAX_CString* text,
                                       int32_t maxLength) const override;

    AAX_Result GetNumberOfChunks(int32_t* count) const override;
    AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const override;
    AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const override;
    AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const override;
    AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) override;

protected:
    AAX_Result EffectInit() override;
    void RenderAudio(AAX_SInstrumentRenderInfo* info, const AAX_TParamValPair* values, int32_t count) override;

private:
    // Effect set-up.
    void createEffect();
    void setUpProcessing();
    void addParameters();
    std::string uniqueIdentifier(const std::string& title, Steinberg::Vst::ParamID id) const;
    std::optional<Steinberg::Vst::ParameterInfo> parameterInfo(Steinberg::Vst::ParamID id) const;

    // Chunks.
    std::vector<char> vst3Chunk() const;
    AAX_Result setVST3Chunk(const char* data, uint32_t size);
    void takeValuesFromEffect();

    // Rendering.
    bool bypassed() const;
    void queueChanges(const AAX_TParamValPair* values, int32_t count);
    void addMIDIEvents(const AAX_CMidiStream* stream);
    void bindBuffers(const AAX_SInstrumentRenderInfo& info);
    void writeOutputs(const AAX_SInstrumentRenderInfo& info, int32_t samples);
    void copyThrough(const AAX_SInstrumentRenderInfo& info, int32_t samples) const;
    void handBackChanges();

    // AAX_CVST3PlugWrapper::Listener
    void onEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
    void onRestart(Steinberg::int32 flags) override;

    AAX_VST3EffectDescription mDescription;
    AAX_CVST3PlugWrapper mWrapper{this};
    Steinberg::Vst::IComponent* mComponent = nullptr;
    Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
    Steinberg::Vst::IEditController* mController = nullptr;
    AAX_CSampleRate mSampleRate = 44100.f;
    int32_t mChannels = 2;
    std::map<std::string, Steinberg::Vst::ParamID, std::less<>> mToVST3;
    std::map<Steinberg::Vst::ParamID, std::string> mFromVST3;
    // The effect's own bypass parameter, when it has one.
    std::optional<Steinberg::Vst::ParamID> mVST3Bypass;
};
