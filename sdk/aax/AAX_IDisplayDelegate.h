// How a parameter's real value of type T is shown to the user.
#pragma once

#include "sdk/aax/AAX_CString.h"

#include <cstdint>
#include <memory>

template <typename T>
class AAX_IDisplayDelegate
{
public:
    virtual ~AAX_IDisplayDelegate() = default;
    virtual std::unique_ptr<AAX_IDisplayDelegate> Clone() const = 0;
    // The text of `value`, at most `maxLength` bytes long.
    virtual bool ValueToString(T value, int32_t maxLength, AAX_CString* text) const = 0;
};
