// The effect object every host talks to: a single-component VST 3 effect
// holding the parameter set, the leveling amplifier's signal model and the
// process driver that runs it block by block.
#pragma once

#include "core/Biquad.h"
#include "core/ChangeMask.h"
#include "core/ParameterIds.h"
#include "core/Relaxed.h"
#include "core/SharedFilterSets.h"
#include "core/SynthProgram.h"
#include "core/IMBVst2StrivelPlugin.h"
#include "core/ModelChannels.h"
#include "sdk/SingleComponentEffect.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class IEditorView;

using namespace Steinberg;

class ol7t : public Vst::SingleComponentEffect, public IMBVst2StrivelPlugin
{
public:
    ol7t();
    ~ol7t() override;

    // The factory's create function: a new effect as its IAudioProcessor.
    static FUnknown* createInstance(void* context);

    // --- component -------------------------------------------------------
    // Live effect objects in this process.
    static std::atomic<int32_t> instanceCount;

    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API terminate() SMTG_OVERRIDE;
    IPlugView* PLUGIN_API createView(FIDString name) SMTG_OVERRIDE;
    void editorAttached(Vst::EditorView* view) SMTG_OVERRIDE;
    void editorRemoved(Vst::EditorView* view) SMTG_OVERRIDE;
    // Makes the editor view for an effect. The plug-in library installs it;
    // without one (the core on its own) the effect offers no view.
    using EditorFactory = IPlugView* (*)(ol7t* effect);
    static EditorFactory editorFactory;
    // The user's language index (1 to 6), read once from the configuration.
    int GetLanguage();
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setBusArrangements(Vst::SpeakerArrangement* inputs, int32 numIns,
                                          Vst::SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;

    // Looks up the text of a key in the text resources; null or "" when missing.
    using TextLookup = const char* (*)(const char* key);

    // --- parameter set ---------------------------------------------------
    // Adds the eight parameters with titles from `lookup` (empty when null)
    // and copies their defaults into the program.
    void registerParameters(TextLookup lookup);
    void applyParameter(uint32_t id, float value);
    void editParameter(uint32_t id, float value);
    void applyProgram();
    float getParamValue(uint32_t id) const { return program->getParamValue(id); }

    tresult PLUGIN_API setParamNormalized(Vst::ParamID id, Vst::ParamValue value) SMTG_OVERRIDE;
    Vst::ParamValue PLUGIN_API getParamNormalized(Vst::ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API getParamStringByValue(Vst::ParamID id, Vst::ParamValue value,
                                             Vst::String128 string) SMTG_OVERRIDE;

    // --- saved state -----------------------------------------------------
    // "Oo7t" read as a big-endian word: the chunk's magic and the VST 2 ID.
    static constexpr int32 kStateMagic = 0x4F6F3774;
    tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;

    // --- signal model ----------------------------------------------------
    void setSampleRate(float rate);
    double timeCoefficient(double ms) const;
    void designBiquad(int type, double frequency, double gainDb, double q, BiquadCoefficients& out) const;
    void designFilters();
    void resetModel();
    // False when the block left the model's state no longer a number: the
    // model then starts again from rest, and the block's output may hold
    // values that are not numbers.
    bool processModel(double* mainL, double* mainR, const double* scL, const double* scR, int32_t count);
    // The same from the host's float channels straight into its float
    // outputs; `peak` is the largest magnitude written.
    bool processModel(const ModelChannels<float>& channels, int32_t count, float& peak);
    bool modelStateIsFinite() const;
    bool getMeterPosition(float& position, int id, bool force);

    // --- process driver --------------------------------------------------
    tresult PLUGIN_API setupProcessing(Vst::ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API process(Vst::ProcessData& data) SMTG_OVERRIDE;

    // --- channel-strip module --------------------------------------------
    void enableModuleMode() override;
    intptr_t moduleVendorSpecific(int32_t code, intptr_t index, void* ptr, float value) override;
    bool getModuleDescription(char* text) override;

    // Turns a bitmap file into a handle of the platform layer's bitmap, which
    // the channel-strip host then owns; null when the file cannot be loaded.
    // The platform layer installs its loader here; until then no bitmap is
    // handed over.
    using ModuleBitmapLoader = void* (*)(const std::string& path);
    static ModuleBitmapLoader moduleBitmapLoader;

    // Asks the channel-strip host for its context menu of a control; the
    // VST 2 adapter installs the handler that reaches this instance's host.
    using HostContextMenuHandler = void (*)(const IMBVst2StrivelPlugin* instance, uint32_t id);
    static HostContextMenuHandler hostContextMenuHandler;
    void requestHostContextMenu(uint32_t id);

    // --- shared with the editor and the tools ----------------------------
    Relaxed<IEditorView*> editor{nullptr};
    Relaxed<bool> moduleMode{false};
    Relaxed<bool> active{false};
    // True while the editor window exists; set and cleared by the editor.
    Relaxed<bool> editorOpen{false};
    // The channel-strip host's automation-write marks, by parameter ID.
    Relaxed<bool> writeIndicators[PARAM_COUNT]{};
    // What changed since the editor last looked: parameter values (in the
    // program) and write marks. Set on any thread, taken by the editor.
    ChangeMask changedParameters;
    ChangeMask changedWriteMarks;
    // The value the channel-strip host hands over; kept, read by nothing.
    Relaxed<intptr_t> moduleHostValue{0};

    // Control values: written by setParamNormalized on any thread, read per
    // sample by the model.
    Relaxed<bool> enabled{true};
    Relaxed<double> gainTarget{0};
    Relaxed<double> peakRed{0};
    Relaxed<double> thresholdDb{0};
    Relaxed<double> thresholdLin{0};
    Relaxed<double> kneeDb{0};
    Relaxed<double> kneeBase{0};
    Relaxed<double> logKneeBase{0};
    Relaxed<bool> limitMode{false};
    Relaxed<double> r37Cut{0};
    Relaxed<int32_t> meterMode{0};
    Relaxed<bool> fastReset{true};
    Relaxed<bool> sideChainOn{false};

    // Meter hand-off: written once per block by process, read by the editor.
    Relaxed<float> meterPeak{0.f};
    Relaxed<float> meterMinGain{1.f};
    Relaxed<bool> meterFresh{true};

    // Time coefficients, recomputed by setSampleRate while the host is not
    // processing.
    double tcRms = 0;
    double tcExcessAttack = 0;
    double tcExcessRelease = 0;
    double tcPeakAttack = 0;
    double tcPeakRelease = 0;
    double cellAttackMs = 0;
    double tcMidFall = 0;
    double tcSlowFall = 0;
    double tcTrackAttack = 0;
    double tcSpeedRise = 0;
    double tcCellRelease = 0;
    double tcMidRise = 0;
    double tcSlowRise = 0;
    double tcTrackRelease = 0;
    double tcSpeedFall = 0;

    // Model state, touched only by the audio thread (and by resetModel).
    struct ChannelState
    {
        BiquadState detLowShelf, detHighShelf, detBell, envLowShelf;
        double meanSquare = 0;
    };
    ChannelState channel[2];
    double excessEnv = 0;
    double drivePeak = 0;
    double shapedPeak = 0;
    double cellSlow = 0;
    double cellMid = 0;
    double cellTrack = 0;
    double cellSpeed = 0;
    double cellGain = 0;
    double gainSmoothed = 0;
    uint64_t sampleCounter = 0;

    float getSampleRate() const { return sampleRate; }
    // The newest whole filter design, or the one in use while another is
    // being written. On the audio thread, or while it rests.
    FilterSets currentFilters() const
    {
        FilterSets sets = filtersInUse;
        filters.read(sets);
        return sets;
    }

protected:
    template <class T>
    bool runModel(const ModelChannels<T>& channels, int32_t count, float& peak);

    std::unique_ptr<SynthProgram> program;
    TextLookup textLookup = nullptr;
    Relaxed<float> sampleRate{0.f};
    SharedFilterSets filters;
    // The audio thread's copy of the last whole design it read.
    FilterSets filtersInUse;
    Relaxed<int> languageIndex{0};
};
