// The effect side of the VST 2 interface: owns the AEffect record a host
// holds, routes the host's calls into virtual operations, and calls the host.
// Only the 1.x operations live here; AudioEffectX adds the 2.x ones.
#pragma once

#include "sdk/Vst2Abi.h"

class AudioEffect
{
public:
    AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~AudioEffect() = default;
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &cEffect; }

    // The host's dispatcher call. effClose deletes the effect.
    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int32_t size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setProgram(int32_t program) { curProgram = program; }
    virtual int32_t getProgram() { return curProgram; }
    virtual void setProgramName(const char*) {}
    virtual void getProgramName(char* name) { name[0] = 0; }

    virtual void setParameter(int32_t, float) {}
    virtual float getParameter(int32_t) { return 0; }
    virtual void getParameterLabel(int32_t, char* text) { text[0] = 0; }
    virtual void getParameterDisplay(int32_t, char* text) { text[0] = 0; }
    virtual void getParameterName(int32_t, char* text) { text[0] = 0; }

    // The chunk stays owned by the effect until its next getChunk call.
    virtual int32_t getChunk(void** data, bool isPreset);
    virtual int32_t setChunk(void* data, int32_t byteSize, bool isPreset);

    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames);

    // The editor in the host's window.
    virtual bool editGetRect(ERect** rect);
    virtual bool editOpen(void* parent);
    virtual void editClose() {}
    virtual void editIdle() {}

    // The host callback; 0 when the host gave none.
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0);
    int32_t getMasterVersion() { return static_cast<int32_t>(callHost(audioMasterVersion)); }

protected:
    void setUniqueID(int32_t id) { cEffect.unique_id = id; }
    void setNumInputs(int32_t n) { cEffect.num_inputs = n; }
    void setNumOutputs(int32_t n) { cEffect.num_outputs = n; }
    void setNumPrograms(int32_t n) { numPrograms = cEffect.num_programs = n; }
    void setInitialDelay(int32_t samples) { cEffect.delay = samples; }
    void setFlag(int32_t flag, bool state);

    audioMasterCallback audioMaster;
    AEffect cEffect{};
    float sampleRate = 44100.f;
    int32_t blockSize = 1024;
    int32_t numPrograms;
    int32_t numParams;
    int32_t curProgram = 0;
};
