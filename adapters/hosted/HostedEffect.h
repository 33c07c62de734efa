// The effect as the LV2 and CLAP adapters drive it: one object made through
// the library's own factory and run through its VST 3 interfaces, with what
// both formats need on top: plain port values, sub-blocks that fit the
// effect's work buffers, the state chunk as bytes and the meter readings.
#pragma once

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "sdk/FixedParameterChanges.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ol7t;

class HostedEffect : public Steinberg::Vst::IComponentHandler
{
public:
    using ParamID = Steinberg::Vst::ParamID;

    // Edits the user makes in the effect's editor, for the host to learn.
    using EditCallback = void (*)(void* context, ParamID id, double normalized);

    // A new, initialised effect; null when it cannot be made (no Resources).
    static std::unique_ptr<HostedEffect> create();
    virtual ~HostedEffect();
    HostedEffect(const HostedEffect&) = delete;
    HostedEffect& operator=(const HostedEffect&) = delete;

    void setEditCallback(EditCallback callback, void* context);

    // --- parameters --------------------------------------------------------
    int32_t parameterCount() const;
    bool parameterInfo(int32_t index, Steinberg::Vst::ParameterInfo& info) const;
    // Stepped parameters are seen by LV2 and CLAP hosts as whole numbers
    // 0..stepCount, continuous ones as the normalized value itself.
    double toPlain(ParamID id, double normalized) const;
    double toNormalized(ParamID id, double plain) const;
    double plainValue(ParamID id) const { return toPlain(id, controller->getParamNormalized(id)); }
    // The effect's text for a plain value; false for an unknown parameter.
    bool valueText(ParamID id, double plain, std::string& text) const;
    bool valueFromText(ParamID id, const char* text, double& plain) const;
    // Applies a plain value at once, from a thread that is not processing.
    void setPlainValue(ParamID id, double plain);
    // Audio thread: the value joins the next processed block.
    void queuePlainValue(ParamID id, double plain);

    // --- processing ----------------------------------------------------------
    // Sets the rate and starts or stops processing; the buses stay as made.
    bool activate(double sampleRate);
    void deactivate();
    bool isActive() const { return active; }
    // Audio thread. Missing channels (null pointers, or a count of 1) are
    // what the effect makes of them; `sideChain` may be null.
    void process(const float* const* main, int32_t mainChannels, const float* const* sideChain,
                 int32_t sideChainChannels, float* const* out, int32_t outChannels, int32_t frames);
    // The needle position of the editor's meter and the block's deepest gain
    // reduction in dB, from 0 down to the floor below which it means nothing.
    static constexpr float kGainReductionFloorDb = -60.f;
    float meterPosition() const;
    float gainReductionDb() const;
    // The editor side of another instance: shows meter readings taken there.
    void showMeterReadings(float position, float gainReductionDb);

    // --- state ---------------------------------------------------------------
    std::vector<uint8_t> saveState() const;
    // The effect's own rules decide: a refused chunk changes nothing.
    bool loadState(const void* data, size_t size);

    // --- editor --------------------------------------------------------------
    Steinberg::IPlugView* createView() const;

    // IComponentHandler: the editor's edits, handed to the callback.
    Steinberg::tresult PLUGIN_API beginEdit(ParamID) SMTG_OVERRIDE { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API performEdit(ParamID id, Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API endEdit(ParamID) SMTG_OVERRIDE { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32) SMTG_OVERRIDE { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    HostedEffect() = default;
    int32_t stepCount(ParamID id) const;

    Steinberg::Vst::IComponent* component = nullptr;
    Steinberg::Vst::IAudioProcessor* processor = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    ol7t* effect = nullptr;
    bool active = false;
    // By parameter ID: the effect's IDs are the indices 0 to count - 1.
    std::vector<int32_t> stepCounts;
    Steinberg::Vst::FixedParameterChanges changes;
    EditCallback editCallback = nullptr;
    void* editContext = nullptr;
};
