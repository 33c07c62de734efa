// Routing of the host's VST 2 calls into AudioEffect's virtual operations.
#include "sdk/AudioEffect.h"

#include <algorithm>
#include <cmath>

namespace {

AudioEffect* effectOf(AEffect* e)
{
    return e ? static_cast<AudioEffect*>(e->effect_internal) : nullptr;
}

intptr_t dispatchEffClass(AEffect* e, VST_EFFECT_OPCODE opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    AudioEffect* effect = effectOf(e);
    return effect ? effect->dispatcher(static_cast<int32_t>(opcode), index, value, ptr, opt) : 0;
}

void setParameterClass(AEffect* e, uint32_t index, float value)
{
    if (AudioEffect* effect = effectOf(e))
        effect->setParameter(static_cast<int32_t>(index), value);
}

float getParameterClass(AEffect* e, uint32_t index)
{
    AudioEffect* effect = effectOf(e);
    return effect ? effect->getParameter(static_cast<int32_t>(index)) : 0.f;
}

void processClass(AEffect* e, const float* const* inputs, float** outputs, int32_t frames)
{
    if (AudioEffect* effect = effectOf(e))
        effect->processReplacing(const_cast<float**>(inputs), outputs, frames);
}

void processDoubleClass(AEffect* e, const double* const* inputs, double** outputs, int32_t frames)
{
    if (AudioEffect* effect = effectOf(e))
        effect->processDoubleReplacing(const_cast<double**>(inputs), outputs, frames);
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster)
    , numPrograms(numPrograms)
    , numParams(numParams)
{
    cEffect.magic_number = kEffectMagic;
    cEffect.control = dispatchEffClass;
    cEffect.set_parameter = setParameterClass;
    cEffect.get_parameter = getParameterClass;
    // The old accumulating entry is served by the replacing one: every host
    // of the last twenty years calls the replacing entry, and adding into
    // buffers a host did not clear would be the worse surprise.
    cEffect.process = processClass;
    cEffect.process_float = processClass;
    cEffect.process_double = processDoubleClass;
    cEffect.num_programs = numPrograms;
    cEffect.num_params = numParams;
    cEffect.num_inputs = 1;
    cEffect.num_outputs = 2;
    cEffect._unknown_float_00 = 1.f; // the I/O ratio
    cEffect.effect_internal = this;
    cEffect.version = 1;
    setFlag(effFlagsCanReplacing, true);
}

void AudioEffect::setFlag(int32_t flag, bool state)
{
    cEffect.flags = state ? (cEffect.flags | flag) : (cEffect.flags & ~flag);
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

int32_t AudioEffect::getChunk(void**, bool)
{
    return 0;
}

int32_t AudioEffect::setChunk(void*, int32_t, bool)
{
    return 0;
}

void AudioEffect::processDoubleReplacing(double**, double**, int32_t) {}

bool AudioEffect::editGetRect(ERect** rect)
{
    *rect = nullptr;
    return false;
}

bool AudioEffect::editOpen(void*)
{
    return false;
}

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        delete this;
        return 1;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<int32_t>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text)
            setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text)
            getProgramName(text);
        return 0;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        if (!text || index < 0 || index >= numParams)
            return 0;
        if (opcode == effGetParamLabel)
            getParameterLabel(index, text);
        else if (opcode == effGetParamDisplay)
            getParameterDisplay(index, text);
        else
            getParameterName(index, text);
        return 1;
    case effSetSampleRate:
        // A rate that is not a positive number is no rate at all.
        if (opt > 0 && std::isfinite(opt))
            setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        if (value > 0)
            setBlockSize(static_cast<int32_t>(std::min<intptr_t>(value, INT32_MAX)));
        return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect:
        return ptr && editGetRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editOpen(ptr) ? 1 : 0;
    case effEditClose:
        editClose();
        return 0;
    case effEditIdle:
        editIdle();
        return 0;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return ptr && value > 0 && value <= INT32_MAX
                   ? setChunk(ptr, static_cast<int32_t>(value), index != 0)
                   : 0;
    default:
        return 0;
    }
}
