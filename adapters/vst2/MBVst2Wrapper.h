// The VST 2 adapter of this product: the SDK wrapper plus the channel-strip
// module interface, the immediate delivery of parameter changes while the
// host does not process, and the strip host's context-menu request.
#pragma once

#include "core/IMBVst2StrivelPlugin.h"
#include "sdk/Vst2Wrapper.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>

class MBVst2Wrapper : public Steinberg::Vst::Vst2Wrapper
{
public:
    using ParamID = Steinberg::Vst::ParamID;
    using ParamValue = Steinberg::Vst::ParamValue;

    // Creates the effect of `classId` from `factory` and wraps it; null when
    // that fails. Always releases the factory. With `module`, the effect must
    // be a channel-strip module and is put into module mode.
    static MBVst2Wrapper* create(Steinberg::IPluginFactory* factory, const Steinberg::TUID classId,
                                 Steinberg::int32 vst2ID, audioMasterCallback audioMaster, bool programsAreChunks,
                                 bool module);
    ~MBVst2Wrapper() override;

    // Asks the channel-strip host of `instance` to open its context menu for
    // a parameter. Nothing happens when that instance has no live
    // channel-strip adapter, so the request never reaches a destroyed one.
    static void requestHostContextMenu(const IMBVst2StrivelPlugin* instance, ParamID paramId);

    // While the host is not processing, hands the queued changes to the
    // controller at once.
    void flushParameterChanges();

    bool isInProcess() const { return inProcess.load(std::memory_order_relaxed); }
    int32_t getIdleTicks() const { return idleTicks.load(std::memory_order_relaxed); }
    int32_t getBlockDurationMs() const { return blockDurationMs.load(std::memory_order_relaxed); }

    void setSampleRate(float rate) override;
    void setBlockSize(int32_t size) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) override;
    void setParameter(int32_t index, float value) override;
    void setProgram(int32_t program) override;
    bool setBypass(bool state) override;
    int32_t processEvents(void* events) override;
    bool getProductString(char* text) override;
    intptr_t vendorSpecific(int32_t code, intptr_t index, void* ptr, float value) override;
    Steinberg::tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) override;
    void onTimer(Steinberg::Timer* timer) override;

private:
    MBVst2Wrapper(Steinberg::Vst::IAudioProcessor* processor, Steinberg::Vst::IEditController* controller,
                  audioMasterCallback audioMaster, Steinberg::int32 vst2ID);
    // The effect's channel-strip interface, or null.
    IMBVst2StrivelPlugin* strip() const;
    void updateBlockDuration();
    void markProcessCall();
    // The timer's rule, applied at `now`: ten block durations without a
    // process call mean that the host has stopped processing.
    bool idleLongerThanTenBlocks(int32_t ticks) const;
    void takeNamesFrom(Steinberg::IPluginFactory* factory, const Steinberg::TUID classId);

    std::atomic<bool> inProcess{false};
    std::atomic<int32_t> idleTicks{0};
    std::atomic<int32_t> blockDurationMs{0};
    // When the host last called the process routine, on the timers' clock.
    std::atomic<Steinberg::Timer::Clock::rep> lastProcessCall{0};
};
