// What the AAX host tells an effect instance about its place in the session
// and what the instance tells back.
#pragma once

#include "sdk/aax/AAX.h"

class AAX_IController
{
public:
    virtual ~AAX_IController() = default;
    virtual AAX_Result GetSampleRate(AAX_CSampleRate* sampleRate) const = 0;
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const = 0;
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const = 0;
    // The instance's processing delay in samples, for the host's compensation.
    virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
};
