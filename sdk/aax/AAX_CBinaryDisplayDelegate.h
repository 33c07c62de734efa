// Shows one of two texts, for the off and the on state.
#pragma once

#include "sdk/aax/AAX_IDisplayDelegate.h"

#include <string>

template <typename T>
class AAX_CBinaryDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CBinaryDisplayDelegate(const char* falseText, const char* trueText)
        : mFalseText(falseText)
        , mTrueText(trueText)
    {
    }

    std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CBinaryDisplayDelegate>(*this);
    }
    bool ValueToString(T value, int32_t maxLength, AAX_CString* text) const override
    {
        if (!text)
            return false;
        text->Set(value ? mTrueText.c_str() : mFalseText.c_str());
        text->Truncate(maxLength);
        return true;
    }

private:
    std::string mFalseText;
    std::string mTrueText;
};
