// A VST 3 effect seen through VST 2: turns the host's VST 2 calls into calls
// on the effect's IComponent, IAudioProcessor and IEditController, and plays
// host application, component handler and plug-in frame for the effect.
#pragma once

#include "sdk/AudioEffectX.h"
#include "sdk/FixedParameterChanges.h"
#include "sdk/ParameterTransfer.h"
#include "sdk/Timer.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace Steinberg {
namespace Vst {

class Vst2Wrapper : public AudioEffectX,
                    public IHostApplication,
                    public IComponentHandler,
                    public IPlugFrame,
                    public ITimerCallback
{
public:
    // Takes over one reference each to the processor and the controller.
    Vst2Wrapper(IAudioProcessor* processor, IEditController* controller, audioMasterCallback audioMaster,
                int32 vst2ID);
    ~Vst2Wrapper() override;

    // Initialises the effect, activates its buses, learns its parameters and
    // starts the 50 ms timer; false when the effect's initialisation fails.
    bool init();

    // Runs while an editor is open, at each host idle call: the platform
    // layer puts the step of its own events and timers here.
    using EditorIdleHandler = void (*)();
    static EditorIdleHandler editorIdleHandler;

    void setProgramsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    // The names a host shows, taken from the factory's records.
    void setVendorName(const char* name) { vendorName = name; }
    void setEffectName(const char* name) { effectName = name; }
    void setSubCategories(const char* text) { subCategories = text; }
    // The class version "a.b.c.d", also reported as the AEffect's version.
    void setVersion(const char* text)
    {
        versionText = text;
        cEffect.version = getVendorVersion();
    }

    // AudioEffect
    void suspend() override;
    void resume() override;
    void getProgramName(char* name) override;
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void getParameterLabel(int32_t index, char* text) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    int32_t getChunk(void** data, bool isPreset) override;
    int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) override;
    bool editGetRect(ERect** rect) override;
    bool editOpen(void* parent) override;
    void editClose() override;
    void editIdle() override;

    // AudioEffectX
    int32_t processEvents(void* events) override;
    bool canParameterBeAutomated(int32_t index) override;
    bool string2parameter(int32_t index, const char* text) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
    int32_t getPlugCategory() override;
    bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
    bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) override;
    bool setBypass(bool state) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override;
    int32_t canDo(const char* text) override;
    int32_t getGetTailSize() override;
    void idle() override;

    // IHostApplication
    tresult PLUGIN_API getName(String128 name) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance(TUID cid, TUID iid, void** obj) SMTG_OVERRIDE;

    // IComponentHandler
    tresult PLUGIN_API beginEdit(ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) SMTG_OVERRIDE;
    tresult PLUGIN_API endEdit(ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API restartComponent(int32 flags) SMTG_OVERRIDE;

    // IPlugFrame
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE;

    // ITimerCallback: hands the host's changes to the controller.
    void onTimer(Timer* timer) override;

    // The wrapper lives as long as the VST 2 host keeps it, not by count.
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

    IEditController* getController() const { return controller; }

protected:
    // The period of the timer that drains the host's changes.
    static constexpr uint32 kTimerPeriodMs = 50;

    // Hands the host's queued changes to the controller at once, on the
    // calling thread: those of the controller's queue, and those queued for
    // the processor when the controller is the processor or `processorSide`
    // asks for them too.
    void deliverQueuedChanges(bool processorSide);

private:
    int32 indexOf(ParamID id) const;
    // Queues a host change for the processor and, where it is another
    // object, the controller.
    void queueChange(int32 index, ParamValue value);
    // Waits, on the user-interface thread, until a block that was taking or
    // applying queued changes has ended; the audio thread never waits.
    void awaitBlockInProgress() const;
    bool parameterInfo(int32 index, ParameterInfo& info) const;
    // Activates every audio bus and counts the channels the host sees.
    void setupBuses();
    void prepareBusBuffers(std::vector<AudioBusBuffers>& buses, BusDirection dir);
    void assignChannels(std::vector<AudioBusBuffers>& buses, float** channels);
    IPlugView* ensureView();
    // True when controller and component are one object (a single-component effect).
    bool controllerIsComponent() const;

    IAudioProcessor* processor = nullptr;
    IComponent* component = nullptr;
    IEditController* controller = nullptr;
    IPlugView* view = nullptr;
    bool singleComponent = false;
    bool viewAttached = false;
    bool processing = false;
    bool hasEventInput = false;
    int32 bypassIndex = -1;

    // Odd while processReplacing takes queued changes and runs the block.
    std::atomic<uint32> blockSequence{0};

    // The host's changes waiting for the processor (drained by the next
    // block) and, when the controller is an object of its own, for the
    // controller (drained by the timer).
    ParameterTransfer guiTransfer;
    ParameterTransfer inputTransfer;
    std::unique_ptr<Timer> timer;

    std::vector<ParamID> parameterIds;
    FixedParameterChanges inputChanges;
    std::vector<AudioBusBuffers> inputBuses;
    std::vector<AudioBusBuffers> outputBuses;
    std::vector<int32> inputChannels;
    std::vector<int32> outputChannels;
    std::vector<uint8_t> chunk;
    ERect editorRect{};
    VstSpeakerArrangement inputArrangement{};
    VstSpeakerArrangement outputArrangement{};

    std::string vendorName;
    std::string effectName;
    std::string subCategories;
    std::string versionText;
};

} // namespace Vst
} // namespace Steinberg
