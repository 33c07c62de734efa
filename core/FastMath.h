// Base-2 powers and logarithms for the signal model's hot loop: polynomials
// over GCC vector types, so that one text serves SSE2, AVX2 and AVX-512
// lanes, with errors near double precision and no branches.
#pragma once

#include <cstdint>
#include <limits>

// Vector values never cross a call boundary here (everything is inlined), so
// GCC's warning about how wide vectors are returned does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace fastmath {

#define FASTMATH_INLINE inline __attribute__((always_inline))

typedef double Vec2 __attribute__((vector_size(16)));
typedef double Vec4 __attribute__((vector_size(32)));
typedef double Vec8 __attribute__((vector_size(64)));
typedef uint64_t Bits2 __attribute__((vector_size(16)));
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
FASTMATH_INLINE void store(double* p, const V& v)
{
    __builtin_memcpy(p, &v, sizeof v);
}

template <class V>
FASTMATH_INLINE V abs(const V& v)
{
    using B = typename Lanes<V>::Bits;
    return (V)((B)v & ~(B{} + (uint64_t{1} << 63)));
}

// The larger of a and b; a when they are equal or unordered (as std::max).
template <class V>
FASTMATH_INLINE V max(const V& a, const V& b)
{
    return a < b ? b : a;
}

inline constexpr double kLog2E = 1.4426950408889634;

// Adding 1.5 * 2^52 rounds a double below 2^51 in magnitude to an integer,
// which then sits in the low bits of the sum.
inline constexpr double kRoundingShift = 0x1.8p52;

namespace detail {

// 2^r on [-1/2, 1/2] and atanh(s)/s as a polynomial in w = s^2 on
// [0, ((sqrt 2 - 1)/(sqrt 2 + 1))^2]: interpolants at the Chebyshev nodes of
// those intervals (computed in exact rational arithmetic from correctly
// rounded samples), whose largest errors, measured on a fine grid, are
// 4.7e-16 and 6.7e-16 relative (with the constant terms rounded to exactly
// 1, so that whole powers of two come out exact): near-minimax, two and three degrees below
// the Taylor polynomials of the same accuracy.
inline constexpr double kExp2[] = {1.0,                    0.6931471805599503,     0.24022650695911374,
                                   0.05550410866444492,    0.009618129107324711,   0.0013333558230551258,
                                   0.00015403530686039992, 1.5252657020406555e-05, 1.3215350855929138e-06,
                                   1.0208736081583871e-07, 7.085111935841587e-09};
inline constexpr double kAtanhOverS[] = {1.0,                 0.3333333333329172,  0.20000000024482958,
                                         0.14285708921431578, 0.11111659201028978, 0.09062679962643366,
                                         0.08399769956205888};

// Polynomials in Estrin's form: pairs of terms first, then pairs of pairs,
// so that a degree-10 polynomial waits for four multiply-adds in a row
// rather than ten.
template <class V>
FASTMATH_INLINE V estrin10(const V& r, const double* c)
{
    const V r2 = r * r;
    const V r4 = r2 * r2;
    const V r8 = r4 * r4;
    const V low = (c[0] + c[1] * r) + (c[2] + c[3] * r) * r2 + ((c[4] + c[5] * r) + (c[6] + c[7] * r) * r2) * r4;
    return low + ((c[8] + c[9] * r) + c[10] * r2) * r8;
}

template <class V>
FASTMATH_INLINE V estrin6(const V& w, const double* c)
{
    const V w2 = w * w;
    const V w4 = w2 * w2;
    return (c[0] + c[1] * w) + (c[2] + c[3] * w) * w2 + ((c[4] + c[5] * w) + c[6] * w2) * w4;
}

} // namespace detail

// 2^x: 2^round(x) built in the exponent bits times the polynomial of 2^r,
// r = x - round(x) in [-1/2, 1/2]. Measured against long double on millions
// of arguments the result is within 1e-15 relative. Results below 2^-1020
// are 0 (never a subnormal, which would be slow), results above 2^1023 stay
// at 2^1023 (the model never comes near), and a NaN stays NaN.
template <LaneVector V>
FASTMATH_INLINE V exp2(const V& x)
{
    using B = typename Lanes<V>::Bits;
    constexpr double kLowest = -1020.0;
    constexpr double kHighest = 1023.0;
    const V clamped = x < kLowest ? splat<V>(kLowest) : (x > kHighest ? splat<V>(kHighest) : x);
    const V shifted = clamped + kRoundingShift;
    const V n = shifted - kRoundingShift;
    const V r = clamped - n;

    const V p = detail::estrin10(r, detail::kExp2);

    const B power = ((B)shifted - (B)splat<V>(kRoundingShift) + 1023u) << 52;
    const V result = p * (V)power;
    return x < kLowest ? splat<V>(0.0) : result;
}

// log2(x) for positive x: the exponent bits plus ln m / ln 2 for the mantissa m
// brought into [1/sqrt 2, sqrt 2], with ln m = 2 s atanh(s)/s and
// s = (m - 1)/(m + 1). Measured against long double the result is within
// 1e-15 absolute and relative. For speed there are no special cases: 0 gives
// -1023, which makes any positive power of it vanish in exp2; a subnormal
// reads as 2^-1023 times its mantissa bits, infinity as 1024; a NaN (or a
// negative number) gives a finite value, so callers let NaN reach their
// result through their other arithmetic. The model takes logarithms of
// positive levels and gains only.
template <LaneVector V>
FASTMATH_INLINE V log2(const V& x)
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
    const V p = detail::estrin6(s2, detail::kAtanhOverS);

    return e + (s * p) * (2.0 * kLog2E);
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
