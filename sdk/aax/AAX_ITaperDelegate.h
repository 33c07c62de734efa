// The law between a parameter's normalised value in [0, 1] and its real
// value of type T.
#pragma once

#include <memory>

template <typename T>
class AAX_ITaperDelegate
{
public:
    virtual ~AAX_ITaperDelegate() = default;
    virtual std::unique_ptr<AAX_ITaperDelegate> Clone() const = 0;
    virtual T NormalizedToReal(double normalized) const = 0;
    virtual double RealToNormalized(T real) const = 0;
};
