// The 2.x part of the VST 2 effect interface over AudioEffect: events,
// automation queries, text conversion, speaker arrangements, bypass, names,
// capabilities and the host's edit notifications.
#pragma once

#include "sdk/AudioEffect.h"

class AudioEffectX : public AudioEffect
{
public:
    using AudioEffect::AudioEffect;

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) override;

    virtual int32_t processEvents(void*) { return 0; }
    virtual bool canParameterBeAutomated(int32_t) { return true; }
    virtual bool string2parameter(int32_t, const char*) { return false; }
    virtual bool getProgramNameIndexed(int32_t, int32_t, char*) { return false; }
    virtual int32_t getPlugCategory() { return kPlugCategEffect; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement**, VstSpeakerArrangement**) { return false; }
    virtual bool setBypass(bool) { return false; }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual intptr_t vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }
    // 1 for yes, -1 for no, 0 for "do not know".
    virtual int32_t canDo(const char*) { return 0; }
    virtual int32_t getGetTailSize() { return 0; }
    virtual bool setProcessPrecision(int32_t precision) { return precision == kVstProcessPrecision32; }
    // The host's old idle call, made on its user-interface thread.
    virtual void idle() {}

    // Tell the host about a parameter gesture and a changed value.
    bool beginEdit(int32_t index) { return callHost(audioMasterBeginEdit, index) != 0; }
    bool endEdit(int32_t index) { return callHost(audioMasterEndEdit, index) != 0; }
    void notifyAutomated(int32_t index, float value) { callHost(audioMasterAutomate, index, 0, nullptr, value); }
    bool ioChanged() { return callHost(audioMasterIOChanged) != 0; }
    bool updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
};
