// Base-2 powers and logarithms for the signal model's hot loop: polynomials
// over GCC vector types, so that one text serves SSE2, AVX2 and AVX-512
// lanes, accurate to a few parts in 1e9 (the powers of two themselves, and
// logarithms) and 1e8 (powers less one), far below what the model's output
// needs, and with no branches.
#pragma once

#include <emmintrin.h>

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
// Floats with as many lanes, for moving samples to and from the host.
typedef float Floats2 __attribute__((vector_size(8)));
typedef float Floats4 __attribute__((vector_size(16)));
typedef float Floats8 __attribute__((vector_size(32)));

template <class V>
struct Lanes;
template <>
struct Lanes<Vec2>
{
    using Bits = Bits2;
    using Floats = Floats2;
    static constexpr int count = 2;
};
template <>
struct Lanes<Vec4>
{
    using Bits = Bits4;
    using Floats = Floats4;
    static constexpr int count = 4;
};
template <>
struct Lanes<Vec8>
{
    using Bits = Bits8;
    using Floats = Floats8;
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

// The larger and the smaller of a and b; a when they are equal or unordered
// (as std::max and std::min), so that a NaN in a stays.
template <class V>
FASTMATH_INLINE V max(const V& a, const V& b)
{
    return a < b ? b : a;
}

template <class V>
FASTMATH_INLINE V min(const V& a, const V& b)
{
    return b < a ? b : a;
}

// With SSE2 alone the comparison and select above take four instructions
// (there is no blend), the processor's own maximum and minimum one. They
// return their second operand when unordered, hence the order.
FASTMATH_INLINE Vec2 max(const Vec2& a, const Vec2& b)
{
    return (Vec2)_mm_max_pd((__m128d)b, (__m128d)a);
}

FASTMATH_INLINE Vec2 min(const Vec2& a, const Vec2& b)
{
    return (Vec2)_mm_min_pd((__m128d)b, (__m128d)a);
}

inline constexpr double kLog2E = 1.4426950408889634;

// Adding 1.5 * 2^52 rounds a double below 2^51 in magnitude to an integer,
// which then sits in the low bits of the sum.
inline constexpr double kRoundingShift = 0x1.8p52;

// The promised accuracy, measured against long double (the unit test holds
// the functions to it). The model's output stays within 3e-8 of full scale of
// the literal model with these, where a millionth is the bound; one term more
// in each made that 6e-10, one term fewer in each makes it 1.3e-6, past it,
// and each term costs an instruction in every lane of every sample.
inline constexpr double kExp2RelativeError = 5.2e-9;
inline constexpr double kExp2m1RelativeError = 1.8e-8;
inline constexpr double kLog2Error = 1.4e-9;          // absolute
inline constexpr double kLog2RelativeError = 2.8e-9; // for any result, including near 1

namespace detail {

// (2^r - 1) / r on [-1/2, 1/2], and log2(m) / s = 2 atanh(s) / (s ln 2) for
// s = (m - 1)/(m + 1) as a polynomial in w = s^2 on
// [0, ((sqrt 2 - 1)/(sqrt 2 + 1))^2]: interpolants at the Chebyshev nodes of
// those intervals (computed in 60-digit arithmetic; the second one as 2/ln 2
// times that of (atanh(s)/s - 1) / s^2, times w, plus 1), with largest
// errors, measured on a fine grid, of 5.1e-9 relative for 2^r, 1.2e-8
// relative for 2^r - 1 (1.7e-8 for 2^x - 1 once scaled), 1.4e-9 absolute
// for log2 and 2.7e-9 relative for log2 near 1. As 2^r = 1 + r q(r) and
// log2 m = s p(w), whole powers of two and exact powers of two as arguments
// come out exact, and 2^r - 1 and log2 near 1 keep their relative accuracy.
inline constexpr double kExp2m1OverR[] = {0.6931471880262288,   0.24022650760568126,   0.05550357114219078,
                                          0.009618082557277852, 0.0013390863364671234, 0.0001545316294512069};
inline constexpr double kLog2OverS[] = {2.8853900817779268, 0.9617969589910254, 0.5769161541379687,
                                        0.42674846297545643};

// Horner's rule: the fewest operations. Latency does not matter here, as every
// caller runs several independent vectors through it at once.
template <class V, int kTerms>
FASTMATH_INLINE V horner(const V& x, const double (&c)[kTerms])
{
    V p = splat<V>(c[kTerms - 1]);
#pragma GCC unroll 16
    for (int i = kTerms - 2; i >= 0; --i)
        p = p * x + c[i];
    return p;
}

// 2^x as scale (1 + fraction): scale = 2^round(x) built in the exponent bits,
// fraction = 2^r - 1 for r = x - round(x) in [-1/2, 1/2]. x is held to
// [-1020, 1023] first, on either side only where the caller asks.
template <class V>
struct PowerOfTwo
{
    V scale, fraction;
};

inline constexpr double kLowestPower = -1020.0;
inline constexpr double kHighestPower = 1023.0;

template <bool kHoldLow, bool kHoldHigh, LaneVector V>
FASTMATH_INLINE PowerOfTwo<V> powerOfTwo(const V& x)
{
    using B = typename Lanes<V>::Bits;
    // With the bias added as well, the low bits of the sum are the biased
    // exponent of 2^round(x); shifted up by 52 they make its bits.
    constexpr double kShiftAndBias = kRoundingShift + 1023.0;
    const V low = kHoldLow ? max(x, splat<V>(kLowestPower)) : x;
    const V clamped = kHoldHigh ? min(low, splat<V>(kHighestPower)) : low;
    const V shifted = clamped + kShiftAndBias;
    const V r = clamped - (shifted - kShiftAndBias);
    return {(V)((B)shifted << 52), r * horner(r, kExp2m1OverR)};
}

} // namespace detail

// 2^x, within kExp2RelativeError. Results below 2^-1020 are 0 (never a
// subnormal, which would be slow), results above 2^1023 stay at 2^1023 (the
// model never comes near), and a NaN stays NaN.
template <LaneVector V>
FASTMATH_INLINE V exp2(const V& x)
{
    const detail::PowerOfTwo<V> p = detail::powerOfTwo<true, true>(x);
    const V result = p.scale * p.fraction + p.scale;
    return x < detail::kLowestPower ? splat<V>(0.0) : result;
}

// exp2 for x known to be at least -1020, whose result is then a normal
// number: two comparisons fewer.
template <LaneVector V>
FASTMATH_INLINE V exp2AboveLowest(const V& x)
{
    const detail::PowerOfTwo<V> p = detail::powerOfTwo<false, true>(x);
    return p.scale * p.fraction + p.scale;
}

// exp2 for x known to lie in [-1020, 1023]: no comparisons at all.
template <LaneVector V>
FASTMATH_INLINE V exp2InRange(const V& x)
{
    const detail::PowerOfTwo<V> p = detail::powerOfTwo<false, false>(x);
    return p.scale * p.fraction + p.scale;
}

// 2^x - 1 for x in [-1020, 1023], within kExp2m1RelativeError also where x
// is near 0 and the result tiny, which 2^x - 1 itself would bury in the
// rounding of 2^x.
template <LaneVector V>
FASTMATH_INLINE V exp2m1(const V& x)
{
    const detail::PowerOfTwo<V> p = detail::powerOfTwo<false, false>(x);
    return p.scale * p.fraction + (p.scale - 1.0);
}

// log2(x) for a positive normal number x, within kLog2Error absolute and
// kLog2RelativeError: the exponent e and the mantissa m brought into
// [1/sqrt 2, sqrt 2) by one integer subtraction, then
// log2 m = 2 atanh(s) / ln 2 with s = (m - 1)/(m + 1).
template <LaneVector V>
FASTMATH_INLINE V log2OfNormal(const V& x)
{
    using B = typename Lanes<V>::Bits;
    // Subtracting the mantissa bits of 1/sqrt 2 carries into the exponent
    // field exactly when the mantissa lies at or above 1/sqrt 2.
    constexpr uint64_t kSqrtHalfBits = 0x3fe6a09e667f3bcd;
    constexpr uint64_t kSqrtHalfMantissa = kSqrtHalfBits & ((uint64_t{1} << 52) - 1);
    constexpr uint64_t kTwoTo52Bits = uint64_t{1075} << 52;

    const B shifted = (B)x - kSqrtHalfMantissa;
    // m = x / 2^e in [1/sqrt 2, sqrt 2): the shifted mantissa on 1/sqrt 2.
    const V m = (V)((shifted & ((uint64_t{1} << 52) - 1)) + kSqrtHalfBits);
    // e as a double: 2^52 + the exponent field of x / 2^e, minus 2^52 + the
    // bias of 1/2.
    const V e = (V)((shifted >> 52) | kTwoTo52Bits) - (0x1p52 + 1022.0);

    const V s = (m - 1.0) / (m + 1.0);
    return s * detail::horner(s * s, detail::kLog2OverS) + e;
}

// log2(x) for positive x, as log2OfNormal. For speed there are no other
// special cases: 0 and subnormals read as the smallest normal number,
// 2^-1022, which makes any positive power of them vanish in exp2; infinity
// gives 1024; a NaN (or a negative number) gives a finite value, so callers
// let NaN reach their result through their other arithmetic.
template <LaneVector V>
FASTMATH_INLINE V log2(const V& x)
{
    return log2OfNormal(max(x, splat<V>(0x1p-1022)));
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
