// A straight line from the minimum at 0 to the maximum at 1.
#pragma once

#include "sdk/aax/AAX_ITaperDelegate.h"

#include <algorithm>

template <typename T>
class AAX_CLinearTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    AAX_CLinearTaperDelegate(T minimum, T maximum)
        : mMinimum(minimum)
        , mMaximum(maximum)
    {
    }

    std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CLinearTaperDelegate>(*this);
    }
    T NormalizedToReal(double normalized) const override
    {
        const double v = std::clamp(normalized, 0.0, 1.0);
        return static_cast<T>(mMinimum + v * (mMaximum - mMinimum));
    }
    double RealToNormalized(T real) const override
    {
        if (mMaximum == mMinimum)
            return 0.0;
        return std::clamp((static_cast<double>(real) - mMinimum) / (mMaximum - mMinimum), 0.0, 1.0);
    }

private:
    T mMinimum;
    T mMaximum;
};
