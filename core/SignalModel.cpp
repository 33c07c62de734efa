// The leveling amplifier's sound: detector filters and soft-knee curves, the
// optical cell with its release memory, the saturating output stage, and the
// meter values derived from them. All per-sample arithmetic is in doubles.
#include "core/ol7t.h"

#include <algorithm>
#include <cmath>

namespace {

// 1 - 0.95 as a double (0.050000000000000044): the share of a step that a
// one-pole follower has not yet covered after its time constant.
constexpr double kResidual = 1.0 - 0.95;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kLevelFloor = 1e-10;

// Needle mapping constants of the full panel and of the compact module panel.
constexpr float kRestMarkFullPanel = 0.64f;
constexpr float kGainSpanFullPanel = 1.37f;
constexpr float kRestMarkCompactPanel = 0.63f;
constexpr float kGainSpanCompactPanel = 1.38f;
constexpr int kMeterRegionId = 10;

inline double follow(double value, double target, double coefficient)
{
    return value + (target - value) * coefficient;
}

// A follower that moves with one coefficient upwards and another downwards.
inline double followRiseFall(double value, double target, double rise, double fall)
{
    return follow(value, target, target > value ? rise : fall);
}

inline float clamp01(float v)
{
    return std::clamp(v, 0.f, 1.f);
}

// Asymmetric soft clipper of the output stage.
inline double sat(double v)
{
    return v >= 0 ? v / (1.0 + std::pow(0.05 * v, 1.3)) : v / (1.0 - 0.005 * v);
}

// A smooth maximum of a level and a threshold, both in dB: the knee's
// sharpness grows with `base`.
inline double softKneeDb(double levelDb, double kneeDb, double base, double logBase)
{
    return std::log10(std::pow(base, levelDb - kneeDb) + 1.0) / logBase + kneeDb;
}

} // namespace

double ol7t::timeCoefficient(double ms) const
{
    if (ms == 0)
        return 1.0;
    const double fs = static_cast<double>(float(sampleRate));
    return 1.0 - std::pow(kResidual, 1.0 / (fs * ms / 1000.0));
}

void ol7t::setSampleRate(float rate)
{
    if (rate == float(sampleRate))
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
}

void ol7t::designBiquad(int type, double f, double gainDb, double q, BiquadCoefficients& out) const
{
    if (type < kBiquadLowPass || type > kBiquadHighShelf)
        return;
    const double fs = static_cast<double>(float(sampleRate));
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
    FilterSets sets;
    designBiquad(kBiquadLowShelf, 10.0, -18.0, 0.5, sets.detLowShelf);
    designBiquad(kBiquadHighShelf, 17000.0, -12.0, 0.3, sets.detHighShelf);
    designBiquad(kBiquadPeaking, 220.0, double(r37Cut) * -13.0, 0.42, sets.detBell);
    designBiquad(kBiquadLowShelf, 43.0, 60.0, 0.6, sets.envLowShelf);
    filters.publish(sets);
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

// Detector of one sample: the filtered detector signal, its level above the
// threshold, the excess-weighted peaks, and from them the target gain x.
double ol7t::detectorStep(const FilterSets& f, double scL, double scR)
{
    const double in[2] = {scL, scR};
    double y[2], level[2];
    for (int c = 0; c < 2; ++c) {
        ChannelState& s = channel[c];
        y[c] = biquadStep(f.detBell, s.detBell,
                          biquadStep(f.detHighShelf, s.detHighShelf, biquadStep(f.detLowShelf, s.detLowShelf, in[c])));
        s.meanSquare = flushTiny(follow(s.meanSquare, y[c] * y[c], tcRms));
        level[c] = 0.25 * std::sqrt(s.meanSquare) + 0.75 * std::fabs(y[c]);
    }
    const double det = std::max(std::max(level[0], level[1]), kLevelFloor);

    // First knee: the share of the level that lies above the threshold.
    const double tDb = thresholdDb;
    const double tLin = thresholdLin;
    const double e = std::pow(10.0, softKneeDb(20.0 * std::log10(det), tDb, kneeBase, logKneeBase) / 20.0);
    const double excess = (e - tLin) / det;
    excessEnv = flushTiny(followRiseFall(excessEnv, excess, tcExcessAttack, tcExcessRelease));

    double u[2], v[2];
    for (int c = 0; c < 2; ++c) {
        u[c] = excessEnv * y[c];
        v[c] = biquadStep(f.envLowShelf, channel[c].envLowShelf, u[c]);
    }
    const double p = std::max(std::max(std::fabs(u[0]), std::fabs(u[1])), kLevelFloor);
    const double q = std::max(std::max(std::fabs(v[0]), std::fabs(v[1])), kLevelFloor);
    drivePeak = flushTiny(followRiseFall(drivePeak, p, tcPeakAttack, tcPeakRelease));
    shapedPeak = flushTiny(followRiseFall(shapedPeak, q, tcPeakAttack, tcPeakRelease));

    // Second knee: the target gain from the shaped and the driving peaks.
    const bool limit = limitMode;
    const double base = limit ? 1.3 : 1.2;
    const double kDb = kneeDb;
    const double s = std::pow(10.0, softKneeDb(20.0 * std::log10(shapedPeak), kDb, base, std::log10(base)) / 20.0);
    const double r = std::pow(10.0, kDb / 20.0) / s * drivePeak;
    return std::pow(tLin / (tLin + r), limit ? 0.94 : 0.79);
}

double ol7t::outputStage(double m, double g) const
{
    const double pr = peakRed;
    const double drive = pr * pr * 14.0 + 1.0;
    double amount = (1.0 - std::pow(0.98 * g, 0.1)) * 18.0;
    if (!(amount > 0))
        amount = 0;
    const double u = m * g * drive;
    const double h = (sat(u) - u) * 0.5 + (sat(m) - m) * 0.5;
    return (h * amount + m) * g * gainSmoothed;
}

void ol7t::processModel(double* mainL, double* mainR, const double* scL, const double* scR, int32_t count)
{
    if (count <= 0)
        return;
    // A design published mid-block takes effect with the next block.
    const FilterSets f = filters.read();
    for (int32_t i = 0; i < count; ++i) {
        if (sampleCounter + static_cast<uint64_t>(i) == 0)
            resetModel();

        const double target = gainTarget;
        if (gainSmoothed != target) {
            gainSmoothed = follow(gainSmoothed, target, 0.001);
            if (std::fabs(static_cast<float>(gainSmoothed - target)) < 0.001f)
                gainSmoothed = target;
        }

        const double g = cellStep(detectorStep(f, scL[i], scR[i]));
        mainL[i] = outputStage(mainL[i], g);
        mainR[i] = outputStage(mainR[i], g);
    }
}

double ol7t::cellStep(double x)
{
    // The slow memory never lets go below 0.7, the middle one never below 0.4.
    if (cellSlow > x)
        cellSlow = follow(cellSlow, x, tcSlowFall);
    else if (x > cellSlow)
        cellSlow = follow(cellSlow, x, tcSlowRise);
    cellSlow = std::max(cellSlow, 0.7);

    if (cellMid > x)
        cellMid = follow(cellMid, x, tcMidFall);
    else if (x > cellMid)
        cellMid = follow(cellMid, std::min(x, cellSlow), tcMidRise);
    cellMid = std::max(cellMid, 0.4);

    if (cellGain > x)
        cellTrack = follow(cellTrack, x, tcTrackAttack);
    else if (x > cellGain)
        cellTrack = follow(cellTrack, x, tcTrackRelease);

    // The attack time scales with how long the cell has been working.
    const double t = (cellTrack - 0.5) * 2.0;
    double scale, cap;
    if (!fastReset) {
        scale = std::max(t, 0.3);
        cap = 12.0 * x;
    } else {
        scale = std::max(t / 5.5, 0.3);
        cap = 6.0 * x;
        cellSpeed = 0.9;
    }
    const double k = timeCoefficient(scale * cellAttackMs);

    if (cellGain > x) {
        if (cellGain > x + 0.0001)
            cellSpeed = follow(cellSpeed, 1.0, tcSpeedRise);
        cellGain = std::min(follow(cellGain, x, k * cellSpeed), cap);
    } else if (x > cellGain) {
        cellSpeed = follow(cellSpeed, 0.0, tcSpeedFall);
        cellGain = follow(cellGain, std::min(x, cellMid), tcCellRelease);
    }

    for (double* v : {&cellSlow, &cellMid, &cellGain, &cellTrack, &cellSpeed}) {
        if (std::fabs(1.0 - *v) < kFlushBelow)
            *v = 1.0;
    }
    cellSpeed = flushTiny(cellSpeed);
    return cellGain;
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
        position = powf(clamp01((float(meterPeak) - 0.105f) / 1.307538f), 1.25f);
    }
    return meterFresh.exchange(false);
}
