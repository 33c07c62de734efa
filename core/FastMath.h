// Base-2 powers and logarithms for the signal model's hot loop: polynomials
// over GCC vector types, so that one text serves two SSE2 lanes or four AVX2
// lanes, with error bounds near double precision and no branches.
#pragma once

#include <cstdint>
#include <limits>

// Vector values never cross a call boundary here (everything is inlined), so
// the ABI note GCC attaches to 32-byte vectors does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace fastmath {

#define FASTMATH_INLINE inline __attribute__((always_inline))

typedef double Vec2 __attribute__((vector_size(16)));
typedef double Vec4 __attribute__((vector_size(32)));
typedef uint64_t Bits2 __attribute__((vector_size(16)));
typedef double Vec8 __attribute__((vector_size(64)));
typedef uint64_t Bits4 __attribute__((vector_size(32)));
typedef uint64_t Bits8 __attribute__((vector_size(64)));

template <class V>
struct Lanes;
template <>
struct Lanes<Vec2>
{
    using Bits = Bits2;
    static constexpr int count = 2;
};
template <>
struct Lanes<Vec4>
{
    using Bits = Bits4;
    static constexpr int count = 4;
};
template <>
struct Lanes<Vec8>
{
    using Bits = Bits8;
    static constexpr int count = 8;
};

// Only the vector types above are lanes; plain doubles take the scalar forms.
template <class V>
concept LaneVector = requires { typename Lanes<V>::Bits; };

template <class V>
FASTMATH_INLINE V splat(double v)
{
    return V{} + v;
}

template <class V>
FASTMATH_INLINE V load(const double* p)
{
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

template <class V>
FASTMATH_INLINE void store(double* p, V v)
{
    __builtin_memcpy(p, &v, sizeof v);
}

template <class V>
FASTMATH_INLINE V abs(V v)
{
    using B = typename Lanes<V>::Bits;
    return (V)((B)v & ~(B{} + (uint64_t{1} << 63)));
}

// The larger of a and b, b when neither compares greater (as std::max).
template <class V>
FASTMATH_INLINE V max(V a, V b)
{
    return a < b ? b : a;
}

inline constexpr double kLn2 = 0.6931471805599453;
inline constexpr double kLog2E = 1.4426950408889634;

// Adding 1.5 * 2^52 rounds a double below 2^51 in magnitude to an integer,
// which then sits in the low bits of the sum.
inline constexpr double kRoundingShift = 0x1.8p52;

namespace detail {

// Taylor coefficients of 2^r = e^(r ln 2): (ln 2)^k / k!.
inline constexpr int kExp2Degree = 12;
struct Exp2Coefficients
{
    double c[kExp2Degree + 1];
    constexpr Exp2Coefficients() : c{}
    {
        c[0] = 1.0;
        for (int k = 1; k <= kExp2Degree; ++k)
            c[k] = c[k - 1] * kLn2 / k;
    }
};
inline constexpr Exp2Coefficients kExp2{};

// Series of atanh: ln m = 2 s (1 + s^2/3 + s^4/5 + ...), s = (m - 1)/(m + 1).
inline constexpr int kLogDegree = 9;
struct LogCoefficients
{
    double c[kLogDegree + 1];
    constexpr LogCoefficients() : c{}
    {
        for (int k = 0; k <= kLogDegree; ++k)
            c[k] = 1.0 / (2 * k + 1);
    }
};
inline constexpr LogCoefficients kLog{};

// Polynomials in Estrin's form: pairs of terms first, then pairs of pairs,
// so that a degree-12 polynomial waits for four multiply-adds in a row
// rather than twelve.
template <class V>
FASTMATH_INLINE V estrin12(V r, const double* c)
{
    const V r2 = r * r;
    const V r4 = r2 * r2;
    const V r8 = r4 * r4;
    const V low = (c[0] + c[1] * r) + (c[2] + c[3] * r) * r2 + ((c[4] + c[5] * r) + (c[6] + c[7] * r) * r2) * r4;
    const V high = (c[8] + c[9] * r) + (c[10] + c[11] * r) * r2 + c[12] * r4;
    return low + high * r8;
}

template <class V>
FASTMATH_INLINE V estrin9(V w, const double* c)
{
    const V w2 = w * w;
    const V w4 = w2 * w2;
    const V w8 = w4 * w4;
    const V low = (c[0] + c[1] * w) + (c[2] + c[3] * w) * w2 + ((c[4] + c[5] * w) + (c[6] + c[7] * w) * w2) * w4;
    return low + (c[8] + c[9] * w) * w8;
}

} // namespace detail

// 2^x. With r = x - round(x) in [-1/2, 1/2] the degree-12 Taylor polynomial
// of e^(r ln 2) leaves a remainder below |r ln 2|^13 / 13! * e^0.35, that is
// below 3.4e-16 relative; with rounding the result is within about 1e-15
// relative of the exact power. Results below 2^-1020 are 0 (never a
// subnormal, which would be slow), results above 2^1023 are infinity, and a
// NaN stays NaN.
template <LaneVector V>
FASTMATH_INLINE V exp2(V x)
{
    using B = typename Lanes<V>::Bits;
    constexpr double kLowest = -1020.0;
    constexpr double kHighest = 1023.0;
    const V clamped = x < kLowest ? splat<V>(kLowest) : (x > kHighest ? splat<V>(kHighest) : x);
    const V shifted = clamped + kRoundingShift;
    const V n = shifted - kRoundingShift;
    const V r = clamped - n;

    const V p = detail::estrin12(r, detail::kExp2.c);

    const B power = ((B)shifted - (B)splat<V>(kRoundingShift) + 1023u) << 52;
    V result = p * (V)power;
    result = x < kLowest ? splat<V>(0.0) : result;
    return x > kHighest ? splat<V>(std::numeric_limits<double>::infinity()) : result;
}

// log2(x) for x >= 0. The mantissa is brought into [1/sqrt 2, sqrt 2], where
// |s| <= 0.1716 and the atanh series cut after s^18 leaves a remainder below
// s^20 / 21 / (1 - s^2) < 2.5e-17 relative; with rounding the result is
// within a few units in the last place of ln m, plus the exact exponent.
// 0 gives -infinity, infinity and NaN come back unchanged; subnormal inputs
// are read as 2^-1023 times their mantissa bits (never used here).
template <LaneVector V>
FASTMATH_INLINE V log2(V x)
{
    using B = typename Lanes<V>::Bits;
    constexpr uint64_t kMantissa = (uint64_t{1} << 52) - 1;
    constexpr uint64_t kOneBits = uint64_t{1023} << 52;
    constexpr uint64_t kTwoTo52Bits = uint64_t{1075} << 52;
    constexpr double kSqrt2 = 1.4142135623730951;

    const B bits = (B)x;
    V m = (V)((bits & kMantissa) | kOneBits);
    // The biased exponent field as a double: 2^52 + field, minus 2^52 + bias.
    V e = (V)((bits >> 52) | kTwoTo52Bits) - (0x1p52 + 1023.0);
    const auto high = m > kSqrt2;
    m = high ? m * 0.5 : m;
    e = high ? e + 1.0 : e;

    const V s = (m - 1.0) / (m + 1.0);
    const V s2 = s * s;
    const V p = detail::estrin9(s2, detail::kLog.c);

    V result = e + (s * p) * (2.0 * kLog2E);
    result = x == 0.0 ? splat<V>(-std::numeric_limits<double>::infinity()) : result;
    return x < std::numeric_limits<double>::infinity() ? result : x;
}

// Scalar forms, for set-up code and tests.
inline double exp2(double x)
{
    return exp2(Vec2{x, x})[0];
}

inline double log2(double x)
{
    return log2(Vec2{x, x})[0];
}

} // namespace fastmath

#pragma GCC diagnostic pop
