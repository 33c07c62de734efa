// Second-order filter sections of the detector: coefficients (a0 divided
// out), per-channel state, and the step every filter of the model uses.
#pragma once

#include <cmath>

struct BiquadCoefficients
{
    double a1 = 0, a2 = 0, b0 = 1, b1 = 0, b2 = 0;
};

struct BiquadState
{
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// The smallest magnitude the model keeps; anything below becomes 0, so
// decays end in exact zeros instead of denormals.
inline constexpr double kFlushBelow = 1e-17;

inline double flushTiny(double v)
{
    return std::fabs(v) < kFlushBelow ? 0.0 : v;
}

inline double biquadStep(const BiquadCoefficients& c, BiquadState& s, double x)
{
    const double y = flushTiny(c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2);
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
}

enum BiquadType
{
    kBiquadLowPass = 0,
    kBiquadHighPass = 1,
    kBiquadPeaking = 2,
    kBiquadLowShelf = 3,
    kBiquadHighShelf = 4
};

// The four coefficient sets of the model, designed together.
struct FilterSets
{
    BiquadCoefficients detLowShelf;
    BiquadCoefficients detHighShelf;
    BiquadCoefficients detBell;
    BiquadCoefficients envLowShelf;
};
