// Shows the real value as a number with a fixed count of decimals.
#pragma once

#include "sdk/aax/AAX_IDisplayDelegate.h"

#include <cstdio>

template <typename T>
class AAX_CNumberDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    explicit AAX_CNumberDisplayDelegate(int decimals = 2)
        : mDecimals(decimals)
    {
    }

    std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CNumberDisplayDelegate>(*this);
    }
    bool ValueToString(T value, int32_t maxLength, AAX_CString* text) const override
    {
        if (!text)
            return false;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", mDecimals, static_cast<double>(value));
        text->Set(buffer);
        text->Truncate(maxLength);
        return true;
    }

private:
    int mDecimals;
};
