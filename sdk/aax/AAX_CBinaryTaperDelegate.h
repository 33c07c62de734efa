// Two states: off below one half, on from one half up.
#pragma once

#include "sdk/aax/AAX_ITaperDelegate.h"

template <typename T>
class AAX_CBinaryTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CBinaryTaperDelegate>(*this);
    }
    T NormalizedToReal(double normalized) const override { return static_cast<T>(normalized >= 0.5); }
    double RealToNormalized(T real) const override { return real ? 1.0 : 0.0; }
};
