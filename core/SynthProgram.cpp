// The stored parameter values.
#include "core/SynthProgram.h"

SynthProgram::SynthProgram()
{
    // Enabled, everything else at zero until the registered defaults arrive.
    values[PARAM_ENABLE] = 1.f;
}

bool SynthProgram::setParamValue(uint32_t id, float value)
{
    if (id >= PARAM_COUNT)
        return false;
    values[id] = value;
    return true;
}

float SynthProgram::getParamValue(uint32_t id) const
{
    return id < PARAM_COUNT ? float(values[id]) : 0.f;
}
