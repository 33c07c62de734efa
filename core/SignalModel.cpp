// The leveling amplifier's sound: detector filters and soft-knee curves, the
// optical cell with its release memory, the saturating output stage, and the
// meter values derived from them. All per-sample arithmetic is in doubles.
//
// The model runs in chunks of the block, read from the host's channels (or
// double arrays) and written to its outputs chunk by chunk, in passes: the
// detector filters sample by sample,
// then the first knee for many samples at once, the excess envelope and the
// peak followers sample by sample, the second knee at once, the cell sample by
// sample, and the output stage at once. Every state variable is updated in
// the same order as in a plain sample loop; only the independent powers and
// logarithms are gathered into vector lanes. The knee curves are evaluated in
// base 2 in the reduced forms
//     e = T (1 + z)^(1/c),  z = B^(20 log10 det - thresholdDb),  c = 20 log10 B
// (a smooth maximum of the level and the threshold T), which equal the curves
// in decibels term for term but need two powers and two logarithms each.
// The passes are compiled for SSE2, AVX2 and AVX-512, and each processor runs
// the widest kernel it has (see ModelKernel.h).
#include "core/ol7t.h"

#include "core/FastMath.h"
#include "core/ModelKernel.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <limits>

#pragma GCC diagnostic ignored "-Wpsabi" // see FastMath.h

using fastmath::Vec2;
using fastmath::Vec4;
using fastmath::Vec8;

namespace {

// 1 - 0.95 as a double (0.050000000000000044): the share of a step that a
// one-pole follower has not yet covered after its time constant.
constexpr double kResidual = 1.0 - 0.95;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kLevelFloor = 1e-10;
constexpr double kLog2Of10 = 3.321928094887362;
// A corner at or above half the rate has no meaning, and the designs turn
// unstable on the way there: every corner is held to at most 0.45 of the
// rate. The highest corner the model uses (17 kHz) lies below that from
// 37.8 kHz up, so at the usual rates of 44.1 kHz and above nothing moves.
constexpr double kHighestCornerShare = 0.45;

// Needle mapping constants of the full panel and of the compact module panel.
constexpr float kRestMarkFullPanel = 0.64f;
constexpr float kGainSpanFullPanel = 1.37f;
constexpr float kRestMarkCompactPanel = 0.63f;
constexpr float kGainSpanCompactPanel = 1.38f;
// The level needle's law: the scaled peak that rests it, the span of peaks
// across the scale, and the curve between.
constexpr float kLevelNeedleRest = 0.105f;
constexpr float kLevelNeedleSpan = 1.307538f;
constexpr float kLevelNeedleCurve = 1.25f;

// Samples per chunk: the passes' work arrays stay in the first-level cache.
constexpr int kChunk = 128;

inline double follow(double value, double target, double coefficient)
{
    return value + (target - value) * coefficient;
}

inline float clamp01(float v)
{
    return std::clamp(v, 0.f, 1.f);
}

// min(v, cap) for a cap that almost never binds: as a predicted branch it
// stays out of the chain from one sample to the next, where a minimum would
// add its latency to every step.
FASTMATH_INLINE double atMostInLoop(double v, double cap)
{
    if (__builtin_expect(v > cap, 0)) {
        asm volatile("");
        return cap;
    }
    return v;
}

// --- the optical cell ----------------------------------------------------

struct CellState
{
    double slow, mid, track, speed, gain;
};

// A one-pole follower's step written as value (1 - c) + target c: the
// target's product is ready before the value is, so that a step waits for
// one multiply-add rather than a subtraction and a multiply-add. The cell's
// states form chains from one sample to the next, and its gain chain is what
// the cell pass waits for.
struct OnePole
{
    double c = 0, rest = 1;
    OnePole() = default;
    explicit OnePole(double coefficient)
        : c(coefficient)
        , rest(1.0 - coefficient)
    {
    }
    FASTMATH_INLINE double step(double value, double target) const { return towards(value, target, c, rest); }
    FASTMATH_INLINE static double towards(double value, double target, double c, double rest)
    {
        return value * rest + target * c;
    }
};

struct CellConstants
{
    OnePole slowFall, slowRise, midFall, midRise, trackAttack, trackRelease;
    OnePole speedRise, speedFall, cellRelease;
    // The natural logarithm of the attack's residual per sample at time
    // scale 1: timeCoefficient(scale * cellAttackMs) = 1 - e^(attackLnResidual / scale).
    double attackLnResidual;
    // Whether that exponent stays within the short series below for every
    // scale from 0.3 to 1 (at any common sample rate it does).
    bool attackSeriesHolds;
    bool fastReset;
};

// The cell's two block-wide choices, fixed at compile time so that the
// sample loop carries no test of them.
struct CellMode
{
    bool fastReset, attackSeries;
};

// 1 - e^z for |z| <= 1/32: the Taylor series to z^5, whose remainder is
// below |z|^5 / 6! < 4e-11 relative, and at 44.1 kHz and above (|z| < 0.0034)
// below 3e-15. The attack's pull needs no more: its error moves the gain by
// that share of one step.
constexpr double kSeriesLimit = 1.0 / 32.0;
inline double oneMinusExpSmall(double z)
{
    // The signs sit in the terms, which saves negating z.
    return z * (-1.0 + z * (-1.0 / 2 + z * (-1.0 / 6 + z * (-1.0 / 24 + z * (-1.0 / 120)))));
}

CellConstants cellConstantsOf(const ol7t& e)
{
    const double fs = static_cast<double>(e.getSampleRate());
    const double attack = std::log(kResidual) * 1000.0 / (fs * e.cellAttackMs);
    return {OnePole(e.tcSlowFall),   OnePole(e.tcSlowRise),     OnePole(e.tcMidFall),
            OnePole(e.tcMidRise),    OnePole(e.tcTrackAttack),  OnePole(e.tcTrackRelease),
            OnePole(e.tcSpeedRise),  OnePole(e.tcSpeedFall),    OnePole(e.tcCellRelease),
            attack,                  std::fabs(attack) / 0.3 <= kSeriesLimit,
            e.fastReset};
}

// The larger of v and a constant floor; the floor in the second place lets
// it stay in memory as the instruction's operand instead of a register.
FASTMATH_INLINE double atLeast(double v, double floor)
{
    return floor < v ? v : floor;
}

// The attack's coefficient for the cell's track state: the attack time
// scales with how long the cell has been working.
template <CellMode kMode>
FASTMATH_INLINE double attackCoefficient(const CellConstants& c, double track)
{
    // (track - 0.5) 2, and with fast reset that over 5.5, as one multiply-add
    // each (the second one rounds once instead of dividing).
    constexpr double kFastResetScale = 2.0 / 5.5;
    const double scale = kMode.fastReset ? atLeast(track * kFastResetScale - 0.5 * kFastResetScale, 0.3)
                                         : atLeast(track * 2.0 - 1.0, 0.3);
    const double z = c.attackLnResidual / scale;
    if constexpr (kMode.attackSeries)
        return oneMinusExpSmall(z);
    else
        return 1.0 - fastmath::exp2(z * fastmath::kLog2E);
}

// One step of the cell towards the target gain x; returns the new gain. The
// track state and the speed move only while the gain does.
template <CellMode kMode>
FASTMATH_INLINE double stepCell(CellState& s, const CellConstants& c, double x)
{
    // The slow memory never lets go below 0.7, the middle one never below 0.4.
    if (s.slow > x)
        s.slow = c.slowFall.step(s.slow, x);
    else if (x > s.slow)
        s.slow = c.slowRise.step(s.slow, x);
    s.slow = atLeast(s.slow, 0.7);

    if (s.mid > x)
        s.mid = c.midFall.step(s.mid, x);
    else if (x > s.mid)
        s.mid = c.midRise.step(s.mid, std::min(x, s.slow));
    s.mid = atLeast(s.mid, 0.4);

    // Fast reset starts every step from the same speed.
    if constexpr (kMode.fastReset)
        s.speed = 0.9;
    if (s.gain > x) {
        s.track = c.trackAttack.step(s.track, x);
        if (s.gain > x + 0.0001)
            s.speed = c.speedRise.step(s.speed, 1.0);
        // The gain's own chain is not what the loop waits for here, so the
        // step takes two operations, (x - gain) pull + gain, not four.
        const double pull = attackCoefficient<kMode>(c, s.track) * s.speed;
        const double cap = (kMode.fastReset ? 6.0 : 12.0) * x;
        s.gain = atMostInLoop((x - s.gain) * pull + s.gain, cap);
    } else if (x > s.gain) {
        s.track = c.trackRelease.step(s.track, x);
        s.speed *= c.speedFall.rest;
        s.gain = c.cellRelease.step(s.gain, std::min(x, s.mid));
    }
    // The states also snap to exactly 1 within 1e-17 of it; no double other
    // than 1 lies that close (its neighbours are 1.1e-16 below and 2.2e-16
    // above), so the snap never changes a value and costs nothing here. The
    // speed's flush to 0 runs once per chunk with the other states'.
    return s.gain;
}

// --- the block's constants and the model's state in registers ---------------

// Everything the passes read but never change, loaded once per block: the
// control values are shared with other threads and the compiler could not
// keep them in registers across the sample loop.
struct BlockConstants
{
    FilterSets filters;
    // The excess envelope and the peak followers rise at once.
    double tcRms, tcExcessRelease, tcPeakRelease;
    CellConstants cell;
    double gainTarget;

    // First knee: z = 2^(kneeSlope log2 det - kneeOffset), e = T (1 + z)^(1/kneeSlope).
    double thresholdLin, kneeSlope, kneeOffset, kneeInverseSlope;
    // Second knee, with the limit or compress base; x = (1 + r / T)^-gainExponent.
    double shapeSlope, shapeOffset, shapeInverseSlope, inverseThreshold, gainExponent;
    // Output stage.
    double drive, drivePowerScale; // (drive / 0.98)^1.3
};

BlockConstants blockConstantsOf(const ol7t& e, const FilterSets& filters)
{
    BlockConstants c;
    c.filters = filters;
    c.tcRms = e.tcRms;
    c.tcExcessRelease = e.tcExcessRelease;
    c.tcPeakRelease = e.tcPeakRelease;
    c.cell = cellConstantsOf(e);
    c.gainTarget = e.gainTarget;

    const double logKneeBase = e.logKneeBase;
    c.thresholdLin = e.thresholdLin;
    c.kneeSlope = 20.0 * logKneeBase;
    c.kneeOffset = double(e.thresholdDb) * logKneeBase * kLog2Of10;
    c.kneeInverseSlope = 1.0 / c.kneeSlope;

    const bool limit = e.limitMode;
    const double shapeBase = limit ? 1.3 : 1.2;
    c.shapeSlope = 20.0 * std::log10(shapeBase);
    c.shapeOffset = double(e.kneeDb) * std::log2(shapeBase);
    c.shapeInverseSlope = 1.0 / c.shapeSlope;
    c.inverseThreshold = 1.0 / c.thresholdLin;
    c.gainExponent = limit ? 0.94 : 0.79;

    const double pr = e.peakRed;
    c.drive = pr * pr * 14.0 + 1.0;
    c.drivePowerScale = std::pow(c.drive / 0.98, 1.3);
    return c;
}

// A biquad's state for both channels, left in lane 0 and right in lane 1.
struct BiquadPair
{
    Vec2 x1, x2, y1, y2;
};

struct ModelState
{
    BiquadPair detLowShelf, detHighShelf, detBell, envLowShelf;
    Vec2 meanSquare;
    double excessEnv;
    Vec2 peaks; // drivePeak, shapedPeak
    CellState cell;
    double gainSmoothed;
};

BiquadPair pairOf(const BiquadState& l, const BiquadState& r)
{
    return {Vec2{l.x1, r.x1}, Vec2{l.x2, r.x2}, Vec2{l.y1, r.y1}, Vec2{l.y2, r.y2}};
}

void unpair(const BiquadPair& p, BiquadState& l, BiquadState& r)
{
    l = {p.x1[0], p.x2[0], p.y1[0], p.y2[0]};
    r = {p.x1[1], p.x2[1], p.y1[1], p.y2[1]};
}

ModelState stateOf(const ol7t& e)
{
    const ol7t::ChannelState& l = e.channel[0];
    const ol7t::ChannelState& r = e.channel[1];
    return {pairOf(l.detLowShelf, r.detLowShelf),
            pairOf(l.detHighShelf, r.detHighShelf),
            pairOf(l.detBell, r.detBell),
            pairOf(l.envLowShelf, r.envLowShelf),
            Vec2{l.meanSquare, r.meanSquare},
            e.excessEnv,
            Vec2{e.drivePeak, e.shapedPeak},
            {e.cellSlow, e.cellMid, e.cellTrack, e.cellSpeed, e.cellGain},
            e.gainSmoothed};
}

void storeState(const ModelState& s, ol7t& e)
{
    ol7t::ChannelState& l = e.channel[0];
    ol7t::ChannelState& r = e.channel[1];
    unpair(s.detLowShelf, l.detLowShelf, r.detLowShelf);
    unpair(s.detHighShelf, l.detHighShelf, r.detHighShelf);
    unpair(s.detBell, l.detBell, r.detBell);
    unpair(s.envLowShelf, l.envLowShelf, r.envLowShelf);
    l.meanSquare = s.meanSquare[0];
    r.meanSquare = s.meanSquare[1];
    e.excessEnv = s.excessEnv;
    e.drivePeak = s.peaks[0];
    e.shapedPeak = s.peaks[1];
    e.cellSlow = s.cell.slow;
    e.cellMid = s.cell.mid;
    e.cellTrack = s.cell.track;
    e.cellSpeed = s.cell.speed;
    e.cellGain = s.cell.gain;
    e.gainSmoothed = s.gainSmoothed;
}

// --- the passes -------------------------------------------------------------

FASTMATH_INLINE Vec2 flushTinyPair(Vec2 v)
{
    const auto tiny = fastmath::abs(v) < kFlushBelow;
    if (__builtin_expect(_mm_movemask_pd((__m128d)tiny) != 0, 0)) {
        asm volatile("");
        v = tiny ? Vec2{} : v;
    }
    return v;
}

// A biquad's output for input x after inputs x1, x2 and outputs y1, y2. The
// previous output enters last, which shortens the chain from one sample to
// the next.
FASTMATH_INLINE Vec2 biquadOutput(const BiquadCoefficients& c, Vec2 x, Vec2 x1, Vec2 x2, Vec2 y1, Vec2 y2)
{
    return c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a2 * y2 - c.a1 * y1;
}

FASTMATH_INLINE double maxOf(double a, double b)
{
    return a < b ? b : a;
}

// The work arrays of one chunk, long enough for whole vectors at its end.
struct Chunk
{
    alignas(32) double level[kChunk];
    alignas(32) double excess[kChunk];
    alignas(32) double drive[kChunk];
    alignas(32) double shaped[kChunk];
    alignas(32) double target[kChunk];
    alignas(32) double gain[kChunk];
    alignas(32) double glide[kChunk];
    alignas(32) double main[2][kChunk];
    alignas(32) double key[2][kChunk]; // the detector's input when it is not the main input
    alignas(32) double halfAmount[kChunk];
    alignas(32) double drivePower[kChunk];
    alignas(32) double power[2][kChunk];
    Vec2 filtered[kChunk];
};

// The vector passes run as a series of loops over the chunk, each with one
// power or logarithm per vector and its results kept in the chunk's arrays.
// The iterations of such a loop are independent and short, so the processor
// overlaps many of them and is held up by how many instructions it can
// issue, not by the latency of a chain of powers and logarithms.
#define VECTOR_STEP [&](const V& v) __attribute__((always_inline))

// Vectors per loop step: two, which halves the loop's own counting and
// branching (they compete with the vector arithmetic for the same ports).
template <class V>
constexpr int kVectorStep = 2 * fastmath::Lanes<V>::count;

template <class V, class F>
FASTMATH_INLINE void eachVector(int padded, F&& f)
{
    for (int i = 0; i < padded; i += kVectorStep<V>) {
        f(i);
        f(i + fastmath::Lanes<V>::count);
    }
}

// to[i] = f(from[i]) for each vector of the chunk; to may be from.
template <class V, class F>
FASTMATH_INLINE void mapVectors(const double* from, double* to, int padded, F&& f)
{
    eachVector<V>(padded, [&](int i) __attribute__((always_inline)) {
        fastmath::store(to + i, f(fastmath::load<V>(from + i)));
    });
}

// Repeats the last sample into the lanes beyond the chunk's end, so that
// whole vectors compute on ordinary values.
FASTMATH_INLINE void padTail(double* values, int n, int padded)
{
    for (int i = n; i < padded; ++i)
        values[i] = values[n - 1];
}

// The detector's three filters in a row share their histories: a filter's
// last two inputs are the last two outputs of the one before it. Carrying
// each history once, the loop keeps eight pairs of states instead of twelve,
// which leaves registers for the coefficients and saves moving copies along.
struct DetectorHistory
{
    Vec2 in1, in2, low1, low2, high1, high2, bell1, bell2;

    explicit DetectorHistory(const ModelState& s)
        : in1(s.detLowShelf.x1)
        , in2(s.detLowShelf.x2)
        , low1(s.detLowShelf.y1)
        , low2(s.detLowShelf.y2)
        , high1(s.detHighShelf.y1)
        , high2(s.detHighShelf.y2)
        , bell1(s.detBell.y1)
        , bell2(s.detBell.y2)
    {
    }

    void storeTo(ModelState& s) const
    {
        s.detLowShelf = {in1, in2, low1, low2};
        s.detHighShelf = {low1, low2, high1, high2};
        s.detBell = {high1, high2, bell1, bell2};
    }

    // The three filters on sample x; returns the bell's output.
    FASTMATH_INLINE Vec2 step(const FilterSets& f, Vec2 x)
    {
        const Vec2 low = biquadOutput(f.detLowShelf, x, in1, in2, low1, low2);
        const Vec2 high = biquadOutput(f.detHighShelf, low, low1, low2, high1, high2);
        const Vec2 bell = biquadOutput(f.detBell, high, high1, high2, bell1, bell2);
        push(x, low, high, bell);
        return bell;
    }

    // The three filters on samples a and b in turn. The second sample reads
    // the first one's values where they were computed, so the histories'
    // moves between the two vanish when compiled.
    FASTMATH_INLINE void stepTwo(const FilterSets& f, Vec2 xa, Vec2 xb, Vec2& ya, Vec2& yb)
    {
        const Vec2 lowA = biquadOutput(f.detLowShelf, xa, in1, in2, low1, low2);
        const Vec2 highA = biquadOutput(f.detHighShelf, lowA, low1, low2, high1, high2);
        ya = biquadOutput(f.detBell, highA, high1, high2, bell1, bell2);
        const Vec2 lowB = biquadOutput(f.detLowShelf, xb, xa, in1, lowA, low1);
        const Vec2 highB = biquadOutput(f.detHighShelf, lowB, lowA, low1, highA, high1);
        yb = biquadOutput(f.detBell, highB, highA, high1, ya, bell1);
        push(xa, lowA, highA, ya);
        push(xb, lowB, highB, yb);
    }

private:
    // One sample's input and the three filters' outputs enter the histories.
    FASTMATH_INLINE void push(Vec2 x, Vec2 low, Vec2 high, Vec2 bell)
    {
        in2 = in1;
        in1 = x;
        low2 = low1;
        low1 = low;
        high2 = high1;
        high1 = high;
        bell2 = bell1;
        bell1 = bell;
    }
};

// The mean square kept as a sixteenth of itself: scaling by a power of two
// is exact, and the root of it is then the quarter of the root that the
// level needs, one multiplication fewer per sample.
struct MeanSquare
{
    Vec2 sixteenth;
    Vec2 rest, c;

    MeanSquare(Vec2 meanSquare, double coefficient)
        : sixteenth(meanSquare * 0.0625)
        , rest(Vec2{} + (1.0 - coefficient))
        , c(Vec2{} + coefficient * 0.0625)
    {
    }

    Vec2 value() const { return sixteenth * 16.0; }

    // The detector level of a filtered sample, per channel: a blend of the
    // mean square's root and the sample's magnitude,
    // 0.25 sqrt(meanSquare) + 0.75 |y|.
    FASTMATH_INLINE Vec2 level(Vec2 y)
    {
        sixteenth = sixteenth * rest + y * y * c;
        return fastmath::abs(y) * 0.75 + (Vec2)_mm_sqrt_pd((__m128d)sixteenth);
    }
};

// Detector filters, mean squares and the detector level, the louder
// channel's, two samples a round.
FASTMATH_INLINE void detectorPass(const BlockConstants& c, ModelState& s, Chunk& w, const double* scL,
                                  const double* scR, int n)
{
    DetectorHistory history(s);
    MeanSquare meanSquare{s.meanSquare, c.tcRms};
    const Vec2 floor = Vec2{} + kLevelFloor;
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        Vec2 ya, yb;
        history.stepTwo(c.filters, Vec2{scL[i], scR[i]}, Vec2{scL[i + 1], scR[i + 1]}, ya, yb);
        const Vec2 a = meanSquare.level(ya);
        const Vec2 b = meanSquare.level(yb);
        w.filtered[i] = ya;
        w.filtered[i + 1] = yb;
        const Vec2 louder = fastmath::max(Vec2{a[0], b[0]}, Vec2{a[1], b[1]});
        fastmath::store(w.level + i, fastmath::max(louder, floor));
    }
    if (i < n) {
        const Vec2 y = history.step(c.filters, Vec2{scL[i], scR[i]});
        const Vec2 level = meanSquare.level(y);
        w.filtered[i] = y;
        w.level[i] = maxOf(maxOf(level[0], level[1]), kLevelFloor);
    }
    history.storeTo(s);
    s.meanSquare = meanSquare.value();
}

// First knee: the share of the level that lies above the threshold,
// (e - T) / det.
template <class V>
FASTMATH_INLINE void excessPass(const BlockConstants& c, Chunk& w, int padded)
{
    // z = 2^(kneeSlope log2 det - kneeOffset), then e - T = T ((1 + z)^(1/c) - 1),
    // without subtracting nearly equal numbers below the threshold.
    // Levels are at least 1e-10, so z's exponent stays above -400, and the
    // last exponent lies between 0 and 151.
    mapVectors<V>(w.level, w.excess, padded,
                  VECTOR_STEP { return fastmath::log2OfNormal(v) * c.kneeSlope - c.kneeOffset; });
    mapVectors<V>(w.excess, w.excess, padded, VECTOR_STEP { return fastmath::exp2AboveLowest(v); });
    mapVectors<V>(w.excess, w.excess, padded,
                  VECTOR_STEP { return fastmath::log2OfNormal(1.0 + v) * c.kneeInverseSlope; });
    eachVector<V>(padded, [&](int i) __attribute__((always_inline)) {
        const V share = c.thresholdLin * fastmath::exp2m1(fastmath::load<V>(w.excess + i));
        fastmath::store(w.excess + i, share / fastmath::load<V>(w.level + i));
    });
}

// A follower that rises at once (the attack time of 0 ms gives a coefficient
// of exactly 1, so a rising step lands on the target) and falls with the
// coefficient c as value (1 - c) + target c. One sample's step waits for one
// multiply-add and a select.
struct InstantRise
{
    Vec2 fall, fallRest;
    explicit InstantRise(double down)
        : fall(Vec2{} + down)
        , fallRest(Vec2{} + (1.0 - down))
    {
    }
    FASTMATH_INLINE Vec2 step(Vec2 value, Vec2 target) const
    {
        const Vec2 down = value * fallRest + target * fall;
        return target > value ? target : down;
    }
};

// Excess envelope, the excess-weighted signal and the two peak followers,
// two samples a round: the shelf's history then moves on by two and takes
// values just computed instead of passing its older ones along.
FASTMATH_INLINE void peakPass(const BlockConstants& c, ModelState& s, Chunk& w, int n)
{
    const BiquadCoefficients& shelf = c.filters.envLowShelf;
    const InstantRise excessFollower(c.tcExcessRelease);
    const InstantRise peakFollower(c.tcPeakRelease);
    // The envelope in both lanes, so that it weights both channels at once.
    Vec2 envelope = Vec2{} + s.excessEnv;
    Vec2 peaks = s.peaks;
    const __m128d floor = _mm_set1_pd(kLevelFloor);
    // Sample i after the shelf's history h: sets u, the weighted signal, and
    // returns the shelf's output.
    auto step = [&](int i, const BiquadPair& h, Vec2& u) __attribute__((always_inline)) {
        // Both lanes loaded at once: adding the scalar to a zero vector
        // would cost an addition (it turns -0 into +0). The empty statement
        // hides that the lanes are equal, or the compiler multiplies one and
        // copies the product across again: two instructions more.
        Vec2 excess = (Vec2)_mm_load1_pd(w.excess + i);
        asm("" : "+x"(excess));
        envelope = excessFollower.step(envelope, excess);
        u = envelope * w.filtered[i];
        const Vec2 v = biquadOutput(shelf, u, h.x1, h.x2, h.y1, h.y2);
        // Both followers in one vector: {p, q}, the larger magnitudes of u and v.
        const Vec2 left = fastmath::abs((Vec2)_mm_unpacklo_pd((__m128d)u, (__m128d)v));
        const Vec2 right = fastmath::abs((Vec2)_mm_unpackhi_pd((__m128d)u, (__m128d)v));
        // maxpd with the floor first keeps a NaN, as the comparison would.
        const Vec2 pq = (Vec2)_mm_max_pd(floor, (__m128d)fastmath::max(left, right));
        peaks = peakFollower.step(peaks, pq);
        w.drive[i] = peaks[0];
        w.shaped[i] = peaks[1];
        return v;
    };
    BiquadPair h = s.envLowShelf;
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        Vec2 ua, ub;
        const Vec2 va = step(i, h, ua);
        const Vec2 vb = step(i + 1, BiquadPair{ua, h.x1, va, h.y1}, ub);
        h = {ub, ua, vb, va};
    }
    if (i < n) {
        Vec2 u;
        const Vec2 v = step(i, h, u);
        h = {u, h.x1, v, h.y1};
    }
    s.envLowShelf = h;
    s.peaks = peaks;
    s.excessEnv = envelope[0];
}

// Second knee: the target gain from the shaped and the driving peaks.
template <class V>
FASTMATH_INLINE void targetPass(const BlockConstants& c, Chunk& w, int padded)
{
    // z = 2^(shapeSlope log2 shaped - shapeOffset), r = drive (1 + z)^(-1/shapeSlope),
    // x = 2^(-gainExponent log2(1 + r / T)).
    double* t = w.target;
    // Peaks are at least 1e-10, so z's exponent stays above -100 (it is held
    // below 1023 only for absurd inputs); (1 + z)^(-1/shapeSlope) lies between
    // 2^-650 and 1, and as log2(1 + r / T) is at most 1024, x above 2^-963.
    mapVectors<V>(w.shaped, t, padded,
                  VECTOR_STEP { return fastmath::log2OfNormal(v) * c.shapeSlope - c.shapeOffset; });
    mapVectors<V>(t, t, padded, VECTOR_STEP { return fastmath::exp2AboveLowest(v); });
    mapVectors<V>(t, t, padded, VECTOR_STEP { return fastmath::log2OfNormal(1.0 + v) * -c.shapeInverseSlope; });
    eachVector<V>(padded, [&](int i) __attribute__((always_inline)) {
        fastmath::store(t + i, fastmath::load<V>(w.drive + i) * fastmath::exp2InRange(fastmath::load<V>(t + i)));
    });
    mapVectors<V>(t, t, padded, VECTOR_STEP {
        return fastmath::log2OfNormal(1.0 + v * c.inverseThreshold) * -c.gainExponent;
    });
    mapVectors<V>(t, t, padded, VECTOR_STEP { return fastmath::exp2InRange(v); });
}

// The output gain's glide towards its target, 0.1 % of the difference per
// sample, snapping to the target once within 0.001 (compared as a float).
// Once there it stays for good, which is the usual case: the whole chunk is
// then filled, a vector a store.
template <class V>
FASTMATH_INLINE void glidePass(const BlockConstants& c, ModelState& s, Chunk& w, int n)
{
    const double target = c.gainTarget;
    double smoothed = s.gainSmoothed;
    if (smoothed == target) {
        for (int i = 0; i < kChunk; i += fastmath::Lanes<V>::count)
            fastmath::store(w.glide + i, fastmath::splat<V>(target));
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (smoothed != target) {
            smoothed = follow(smoothed, target, 0.001);
            if (std::fabs(static_cast<float>(smoothed - target)) < 0.001f)
                smoothed = target;
        }
        w.glide[i] = smoothed;
    }
    s.gainSmoothed = smoothed;
}

template <CellMode kMode>
FASTMATH_INLINE void cellLoop(const CellConstants& c, CellState& state, Chunk& w, int n)
{
    // A copy the chunk's stores cannot alias, so that it stays in registers.
    CellState cell = state;
    for (int i = 0; i < n; ++i)
        w.gain[i] = stepCell<kMode>(cell, c, w.target[i]);
    state = cell;
}

// The cell, sample by sample.
FASTMATH_INLINE void cellPass(const BlockConstants& c, ModelState& s, Chunk& w, int n)
{
    const CellConstants& k = c.cell;
    if (k.fastReset)
        k.attackSeriesHolds ? cellLoop<CellMode{true, true}>(k, s.cell, w, n)
                            : cellLoop<CellMode{true, false}>(k, s.cell, w, n);
    else
        k.attackSeriesHolds ? cellLoop<CellMode{false, true}>(k, s.cell, w, n)
                            : cellLoop<CellMode{false, false}>(k, s.cell, w, n);
}

// a^13 in five multiplications.
template <class V>
FASTMATH_INLINE V thirteenthPower(const V& a)
{
    const V a2 = a * a;
    const V a4 = a2 * a2;
    return (a4 * a4) * (a4 * a);
}

// Output stage: saturation growing with gain reduction and peak reduction,
// then the cell gain and the smoothed output gain. (0.05 u)^1.3 for
// u = m g drive is (0.05 m)^1.3 (g drive)^1.3, so each channel needs one
// power of its own; and with a = (0.98 g)^0.1, the amount is 18 (1 - a) and
// (g drive)^1.3 is a^13 (drive / 0.98)^1.3, so the gain needs only one.
template <class V>
FASTMATH_INLINE void outputPass(const BlockConstants& c, Chunk& w, int padded)
{
    constexpr double kLog2Of098 = -0.029146345659516508;      // log2(0.98)
    constexpr double kLog2Of005Times13 = -5.618506523353571;  // 1.3 log2(0.05)
    mapVectors<V>(w.gain, w.halfAmount, padded, VECTOR_STEP { return fastmath::log2(v); });
    eachVector<V>(padded, [&](int i) __attribute__((always_inline)) {
        // The cell gain is at most 1 and its logarithm at least -1022, so
        // the exponent lies in [-103, 0].
        const V aMinus1 = fastmath::exp2m1((fastmath::load<V>(w.halfAmount + i) + kLog2Of098) * 0.1);
        // Half the amount, as the stage averages the two saturations that
        // the correction below sums; 1 - a keeps its relative accuracy while
        // g is near 1.
        fastmath::store(w.halfAmount + i, fastmath::max(aMinus1 * -9.0, V{}));
        fastmath::store(w.drivePower + i, thirteenthPower(1.0 + aMinus1) * c.drivePowerScale);
    });
    for (int ch = 0; ch < 2; ++ch) {
        // Magnitudes below 2^-400 (of a float sample: only 0) count as
        // 2^-400, whose power, 2^-526, is as good as 0 and keeps every
        // product with it far from the slow subnormal range.
        mapVectors<V>(w.main[ch], w.power[ch], padded, VECTOR_STEP {
            return fastmath::log2OfNormal(fastmath::max(fastmath::abs(v), fastmath::splat<V>(0x1p-400))) * 1.3
                   + kLog2Of005Times13;
        });
        mapVectors<V>(w.power[ch], w.power[ch], padded, VECTOR_STEP { return fastmath::exp2AboveLowest(v); });
    }
    eachVector<V>(padded, [&](int i) __attribute__((always_inline)) {
        const V g = fastmath::load<V>(w.gain + i);
        const V gainOut = g * fastmath::load<V>(w.glide + i);
        const V drive = g * c.drive;
        const V drivePower = fastmath::load<V>(w.drivePower + i);
        const V halfAmount = fastmath::load<V>(w.halfAmount + i);
        for (int ch = 0; ch < 2; ++ch) {
            const V m = fastmath::load<V>(w.main[ch] + i);
            // The soft clipper is sat(v) = v / (1 + D(v)) with
            // D(v) = (0.05 v)^1.3 for v >= 0 and -0.005 v below, so that
            // sat(v) - v = -v D / (1 + D). u = m g drive has the sign of m,
            // and D(u) = D(m) k with k = (g drive)^1.3 or g drive. Then
            // (sat(u) - u) + (sat(m) - m) = -m D(m) n / d over one division, with
            // n = g drive k (1 + D(m)) + 1 + D(u) and d = (1 + D(u)) (1 + D(m)).
            const auto positive = m >= 0.0;
            const V dm = positive ? fastmath::load<V>(w.power[ch] + i) : m * -0.005;
            const V k = positive ? drivePower : drive;
            const V du = dm * k;
            const V n = drive * k * (1.0 + dm) + (1.0 + du);
            const V ratio = n / ((1.0 + du) * (1.0 + dm));
            fastmath::store(w.main[ch] + i, m * gainOut * (1.0 - dm * halfAmount * ratio));
        }
    });
}

// Silence for missing input channels, one chunk long.
template <class T>
constexpr T kSilence[kChunk] = {};

template <class T>
FASTMATH_INLINE const T* chunkOf(const T* channel, int32_t at)
{
    return channel ? channel + at : kSilence<T>;
}

// A host sample as the model takes it: one that is not a finite number would
// stay in the filters' and the cell's memory for good and silence the effect,
// so it enters as 0 (a NaN fails the comparison too).
template <class V>
FASTMATH_INLINE V finiteOrZero(V v)
{
    return fastmath::abs(v) <= std::numeric_limits<double>::max() ? v : V{};
}

// One chunk of an input channel as doubles, a vector at a time where it can.
template <class V>
FASTMATH_INLINE void loadChannel(const float* from, double* to, int n)
{
    constexpr int kLanes = fastmath::Lanes<V>::count;
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        typename fastmath::Lanes<V>::Floats v;
        __builtin_memcpy(&v, from + i, sizeof v);
        fastmath::store(to + i, finiteOrZero(__builtin_convertvector(v, V)));
    }
    for (; i < n; ++i)
        to[i] = finiteOrZero(Vec2{} + double(from[i]))[0];
}

template <class V>
FASTMATH_INLINE void loadChannel(const double* from, double* to, int n)
{
    for (int i = 0; i < n; ++i)
        to[i] = finiteOrZero(Vec2{} + from[i])[0];
}

// The states that decay towards zero become exactly 0 once below 1e-17 in
// magnitude. This runs once per chunk rather than per sample: a state cannot
// fall from 1e-17 into the slow subnormal range within a chunk, and a value
// below 1e-17 kept a little longer changes the output by far less than the
// model's accuracy.
FASTMATH_INLINE void flushTinyStates(ModelState& s)
{
    for (BiquadPair* p : {&s.detLowShelf, &s.detHighShelf, &s.detBell, &s.envLowShelf}) {
        p->x1 = flushTinyPair(p->x1);
        p->x2 = flushTinyPair(p->x2);
        p->y1 = flushTinyPair(p->y1);
        p->y2 = flushTinyPair(p->y2);
    }
    s.meanSquare = flushTinyPair(s.meanSquare);
    s.peaks = flushTinyPair(s.peaks);
    s.excessEnv = flushTiny(s.excessEnv);
    s.cell.speed = flushTiny(s.cell.speed);
}

// Writes a channel's results to the host's floats and returns the largest
// magnitude written, a vector at a time where it can. Rounding to float keeps
// the order of magnitudes, so that is the largest double's magnitude, rounded.
template <class V>
FASTMATH_INLINE float storeMeasuring(const double* from, float* to, int n)
{
    constexpr int kLanes = fastmath::Lanes<V>::count;
    V peaks{};
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        using Floats = typename fastmath::Lanes<V>::Floats;
        const V v = fastmath::load<V>(from + i);
        const Floats rounded = __builtin_convertvector(v, Floats);
        __builtin_memcpy(to + i, &rounded, sizeof rounded);
        peaks = fastmath::max(peaks, fastmath::abs(v));
    }
    double peak = 0.0;
    for (int lane = 0; lane < kLanes; ++lane)
        peak = std::max(peak, peaks[lane]);
    for (; i < n; ++i) {
        to[i] = static_cast<float>(from[i]);
        peak = std::max(peak, std::fabs(from[i]));
    }
    return static_cast<float>(peak);
}

template <class V>
FASTMATH_INLINE float storeMeasuring(const double* from, double* to, int n)
{
    std::copy(from, from + n, to);
    return 0.f;
}

template <class V, class T>
FASTMATH_INLINE float runChunk(const BlockConstants& c, ModelState& s, Chunk& w, const ModelChannels<T>& io,
                               int32_t at, int n)
{
    constexpr int kStep = kVectorStep<V>;
    const int padded = (n + kStep - 1) / kStep * kStep;

    // The detector usually hears the main input, which is then converted once.
    for (int ch = 0; ch < 2; ++ch)
        loadChannel<V>(chunkOf(io.main[ch], at), w.main[ch], n);
    const double* key[2];
    for (int ch = 0; ch < 2; ++ch) {
        key[ch] = w.main[ch];
        if (io.detector[ch] != io.main[ch]) {
            loadChannel<V>(chunkOf(io.detector[ch], at), w.key[ch], n);
            key[ch] = w.key[ch];
        }
    }
    detectorPass(c, s, w, key[0], key[1], n);
    padTail(w.level, n, padded);
    excessPass<V>(c, w, padded);
    peakPass(c, s, w, n);
    padTail(w.drive, n, padded);
    padTail(w.shaped, n, padded);
    targetPass<V>(c, w, padded);
    glidePass<V>(c, s, w, n);
    cellPass(c, s, w, n);
    padTail(w.gain, n, padded);
    padTail(w.glide, n, padded);
    for (int ch = 0; ch < 2; ++ch)
        padTail(w.main[ch], n, padded);
    flushTinyStates(s);
    outputPass<V>(c, w, padded);
    float peak = 0.f;
    for (int ch = 0; ch < 2; ++ch)
        if (io.out[ch])
            peak = std::max(peak, storeMeasuring<V>(w.main[ch], io.out[ch] + at, n));
    return peak;
}

template <class V, class T>
FASTMATH_INLINE float runBlock(const BlockConstants& c, ModelState& s, const ModelChannels<T>& io, int32_t count)
{
    Chunk w;
    float peak = 0.f;
    for (int32_t at = 0; at < count; at += kChunk) {
        const int n = static_cast<int>(std::min<int32_t>(kChunk, count - at));
        peak = std::max(peak, runChunk<V>(c, s, w, io, at, n));
    }
    return peak;
}

// The same passes compiled three times, each on the vectors its registers
// hold: for any x86-64 processor, and for those with AVX2 or AVX-512, both
// with fused multiply-add (contracted wherever a product is added).
template <class T>
float runBlockSse2(const BlockConstants& c, ModelState& s, const ModelChannels<T>& io, int32_t count)
{
    return runBlock<Vec2>(c, s, io, count);
}

template <class T>
__attribute__((target("avx2,fma"), optimize("fp-contract=fast"))) float
runBlockAvx2Fma(const BlockConstants& c, ModelState& s, const ModelChannels<T>& io, int32_t count)
{
    return runBlock<Vec4>(c, s, io, count);
}

template <class T>
__attribute__((target("avx512f,avx512dq,avx512vl,avx2,fma"), optimize("fp-contract=fast"))) float
runBlockAvx512(const BlockConstants& c, ModelState& s, const ModelChannels<T>& io, int32_t count)
{
    return runBlock<Vec8>(c, s, io, count);
}

Relaxed<ModelKernel> g_selectedKernel{supportedModelKernel()};

} // namespace

ModelKernel supportedModelKernel()
{
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma"))
        return ModelKernel::Sse2;
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512dq")
        || !__builtin_cpu_supports("avx512vl"))
        return ModelKernel::Avx2Fma;
    return ModelKernel::Avx512;
}

void selectModelKernel(ModelKernel kernel)
{
    // The kernels are ordered by the instructions they need.
    g_selectedKernel = std::min(kernel, supportedModelKernel());
}

ModelKernel selectedModelKernel()
{
    return g_selectedKernel;
}

double ol7t::timeCoefficient(double ms) const
{
    if (ms == 0)
        return 1.0;
    const double fs = static_cast<double>(float(sampleRate));
    return 1.0 - std::pow(kResidual, 1.0 / (fs * ms / 1000.0));
}

void ol7t::setSampleRate(float rate)
{
    // A rate that is not a positive number would make every coefficient
    // meaningless: the model keeps the rate it has.
    if (!(rate > 0.f) || !std::isfinite(rate) || rate == float(sampleRate))
        return;
    sampleRate = rate;

    tcRms = timeCoefficient(36);
    tcExcessAttack = timeCoefficient(0);
    tcExcessRelease = timeCoefficient(20);
    tcPeakAttack = timeCoefficient(0);
    tcPeakRelease = timeCoefficient(20);
    cellAttackMs = 70.0;
    tcMidFall = timeCoefficient(1400);
    tcSlowFall = timeCoefficient(35000);
    tcTrackAttack = timeCoefficient(1100);
    tcSpeedRise = timeCoefficient(15);
    tcCellRelease = timeCoefficient(70);
    tcMidRise = timeCoefficient(2400);
    tcSlowRise = timeCoefficient(9000);
    tcTrackRelease = timeCoefficient(12000);
    tcSpeedFall = timeCoefficient(2);

    // Re-applying every stored value redesigns the rate-dependent filters.
    applyProgram();
    // Filter and follower states mean other things at another rate.
    resetModel();
}

void ol7t::designBiquad(int type, double frequency, double gainDb, double q, BiquadCoefficients& out) const
{
    if (type < kBiquadLowPass || type > kBiquadHighShelf)
        return;
    const double fs = static_cast<double>(float(sampleRate));
    const double f = std::min(frequency, kHighestCornerShare * fs);
    const double A = std::pow(10.0, gainDb / 40.0);
    const double w0 = kTwoPi * f / fs;
    const double sn = std::sin(w0);
    const double cs = std::cos(w0);

    double a0, a1, a2, b0, b1, b2;
    if (type <= kBiquadPeaking) {
        // Wider than the textbook sn / (2q), and wider still towards Nyquist.
        const double w = 2.0 * f / fs;
        const double alpha = (0.187 * (1.0 + w) / (1.0 - w) + 0.81) * sn / q;
        switch (type) {
        case kBiquadLowPass:
            a0 = 1 + alpha, a1 = -2 * cs, a2 = 1 - alpha;
            b0 = (1 - cs) / 2, b1 = 1 - cs, b2 = (1 - cs) / 2;
            break;
        case kBiquadHighPass:
            a0 = 1 + alpha, a1 = -2 * cs, a2 = 1 - alpha;
            b0 = (1 + cs) / 2, b1 = -(1 + cs), b2 = (1 + cs) / 2;
            break;
        default:
            a0 = 1 + alpha / A, a1 = -2 * cs, a2 = 1 - alpha / A;
            b0 = 1 + alpha * A, b1 = -2 * cs, b2 = 1 - alpha * A;
            break;
        }
    } else {
        // q is the shelf slope S here.
        const double beta = sn * std::sqrt(std::max(0.0, (A * A + 1.0) / q - (A - 1.0) * (A - 1.0)));
        if (type == kBiquadLowShelf) {
            a0 = (A + 1) + (A - 1) * cs + beta;
            a1 = -2 * ((A - 1) + (A + 1) * cs);
            a2 = (A + 1) + (A - 1) * cs - beta;
            b0 = A * ((A + 1) - (A - 1) * cs + beta);
            b1 = 2 * A * ((A - 1) - (A + 1) * cs);
            b2 = A * ((A + 1) - (A - 1) * cs - beta);
        } else {
            a0 = (A + 1) - (A - 1) * cs + beta;
            a1 = 2 * ((A - 1) - (A + 1) * cs);
            a2 = (A + 1) - (A - 1) * cs - beta;
            b0 = A * ((A + 1) + (A - 1) * cs + beta);
            b1 = -2 * A * ((A - 1) + (A + 1) * cs);
            b2 = A * ((A + 1) + (A - 1) * cs - beta);
        }
    }
    out = {a1 / a0, a2 / a0, b0 / a0, b1 / a0, b2 / a0};
}

void ol7t::designFilters()
{
    // Whichever thread publishes designs from the rate and R37 of that moment.
    filters.publish([this] {
        FilterSets sets;
        designBiquad(kBiquadLowShelf, 10.0, -18.0, 0.5, sets.detLowShelf);
        designBiquad(kBiquadHighShelf, 17000.0, -12.0, 0.3, sets.detHighShelf);
        designBiquad(kBiquadPeaking, 220.0, double(r37Cut) * -13.0, 0.42, sets.detBell);
        designBiquad(kBiquadLowShelf, 43.0, 60.0, 0.6, sets.envLowShelf);
        return sets;
    });
}

void ol7t::resetModel()
{
    cellSlow = cellMid = cellTrack = cellGain = 1.0;
    cellSpeed = 0.0;
    for (ChannelState& c : channel)
        c = ChannelState{};
    excessEnv = drivePeak = shapedPeak = 0.0;
    gainSmoothed = gainTarget;
}

template <class T>
bool ol7t::runModel(const ModelChannels<T>& channels, int32_t count, float& peak)
{
    peak = 0.f;
    if (count <= 0)
        return true;
    // The very first sample an instance processes starts from rest.
    if (sampleCounter == 0)
        resetModel();
    // Control values and a design published mid-block take effect with the
    // next block; so does one still being written as this block starts.
    filters.read(filtersInUse);
    const BlockConstants constants = blockConstantsOf(*this, filtersInUse);
    ModelState state = stateOf(*this);
    switch (ModelKernel(g_selectedKernel)) {
    case ModelKernel::Avx512:
        peak = runBlockAvx512(constants, state, channels, count);
        break;
    case ModelKernel::Avx2Fma:
        peak = runBlockAvx2Fma(constants, state, channels, count);
        break;
    default:
        peak = runBlockSse2(constants, state, channels, count);
        break;
    }
    storeState(state, *this);
    // A state that stopped being a number would keep the effect silent for
    // good; it starts again from rest instead. Checked once per block.
    if (modelStateIsFinite())
        return true;
    resetModel();
    return false;
}

bool ol7t::processModel(double* mainL, double* mainR, const double* scL, const double* scR, int32_t count)
{
    float peak;
    return runModel(ModelChannels<double>{{mainL, mainR}, {scL, scR}, {mainL, mainR}}, count, peak);
}

bool ol7t::processModel(const ModelChannels<float>& channels, int32_t count, float& peak)
{
    return runModel(channels, count, peak);
}

bool ol7t::modelStateIsFinite() const
{
    // One sum over the whole state: a NaN or an infinity anywhere makes it
    // non-finite. Sound states stay far below the double range.
    double sum = excessEnv + drivePeak + shapedPeak + cellSlow + cellMid + cellTrack + cellSpeed + cellGain
                 + gainSmoothed;
    for (const ChannelState& c : channel) {
        sum += c.meanSquare;
        for (const BiquadState* s : {&c.detLowShelf, &c.detHighShelf, &c.detBell, &c.envLowShelf})
            sum += s->x1 + s->x2 + s->y1 + s->y2;
    }
    return std::isfinite(sum);
}

bool ol7t::getMeterPosition(float& position, int id, bool force)
{
    if (id != kMeterRegionId)
        return false;
    if (!meterFresh && !force)
        return false;
    const bool compact = moduleMode;
    const float c = compact ? kRestMarkCompactPanel : kRestMarkFullPanel;
    const float d = compact ? kGainSpanCompactPanel : kGainSpanFullPanel;
    if (meterMode == 0) {
        const float v = powf(clamp01((float(meterMinGain) - 0.1f) / (d - 0.1f)), 1.3f);
        position = c * clamp01(v / c);
    } else {
        position = powf(clamp01((float(meterPeak) - kLevelNeedleRest) / kLevelNeedleSpan), kLevelNeedleCurve);
    }
    return meterFresh.exchange(false);
}

void ol7t::showMeterReadings(float position, float minGain)
{
    // The level needle's law run backwards; the gain-reduction needle reads
    // the minimum gain itself. Readings come only from an instance that
    // processes, so the meter shows this one as running; once they stop, the
    // needle falls back as with any stalled host.
    meterPeak = kLevelNeedleRest + kLevelNeedleSpan * powf(clamp01(position), 1.f / kLevelNeedleCurve);
    meterMinGain = minGain;
    meterFresh = true;
    active = true;
}
