// One parameter as the AAX host sees it, whatever its value type.
#pragma once

#include "sdk/aax/AAX.h"
#include "sdk/aax/AAX_CString.h"

#include <cstdint>

class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() = default;

    virtual AAX_CParamID Identifier() const = 0;
    virtual const AAX_CString& Name() const = 0;
    virtual bool Automatable() const = 0;
    // 0 for a continuous parameter.
    virtual uint32_t GetNumberOfSteps() const = 0;
    virtual void SetNumberOfSteps(uint32_t steps) = 0;

    virtual double GetNormalizedValue() const = 0;
    // Stores `value` limited to [0, 1]; a value that is not a number is refused.
    virtual void SetNormalizedValue(double value) = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    // The display text of a normalised value, at most `maxLength` bytes long.
    virtual bool GetNormalizedValueString(double value, int32_t maxLength, AAX_CString* text) const = 0;
};
