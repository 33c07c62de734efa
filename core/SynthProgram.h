// The working copy of the eight parameter values, as 32-bit floats indexed by
// parameter ID: what the editor and the process driver read back, and what is
// re-applied after a state restore or a sample-rate change.
#pragma once

#include "core/ParameterIds.h"
#include "core/Relaxed.h"

class SynthProgram
{
public:
    SynthProgram();

    // Stores the value for IDs 0 to 7; any other ID is refused.
    bool setParamValue(uint32_t id, float value);
    // The stored value, 0 for an unknown ID.
    float getParamValue(uint32_t id) const;

private:
    Relaxed<float> values[PARAM_COUNT];
};
