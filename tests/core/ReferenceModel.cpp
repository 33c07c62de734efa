// The literal signal model: every power, logarithm and time coefficient is
// evaluated as written, per sample, with the control values read per sample.
#include "ReferenceModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kResidual = 1.0 - 0.95;
constexpr double kLevelFloor = 1e-10;

double follow(double value, double target, double coefficient)
{
    return value + (target - value) * coefficient;
}

double followRiseFall(double value, double target, double rise, double fall)
{
    return follow(value, target, target > value ? rise : fall);
}

double sat(double v)
{
    return v >= 0 ? v / (1.0 + std::pow(0.05 * v, 1.3)) : v / (1.0 - 0.005 * v);
}

double softKneeDb(double levelDb, double kneeDb, double base, double logBase)
{
    return std::log10(std::pow(base, levelDb - kneeDb) + 1.0) / logBase + kneeDb;
}

double timeCoefficient(const ol7t& e, double ms)
{
    if (ms == 0)
        return 1.0;
    const double fs = static_cast<double>(e.getSampleRate());
    return 1.0 - std::pow(kResidual, 1.0 / (fs * ms / 1000.0));
}

} // namespace

void ReferenceModel::reset(const ol7t& effect)
{
    cellSlow = cellMid = cellTrack = cellGain = 1.0;
    cellSpeed = 0.0;
    for (ol7t::ChannelState& c : channel)
        c = ol7t::ChannelState{};
    excessEnv = drivePeak = shapedPeak = 0.0;
    gainSmoothed = effect.gainTarget;
}

double ReferenceModel::detectorStep(const ol7t& e, const FilterSets& f, double scL, double scR)
{
    const double in[2] = {scL, scR};
    double y[2], level[2];
    for (int c = 0; c < 2; ++c) {
        ol7t::ChannelState& s = channel[c];
        y[c] = biquadStep(f.detBell, s.detBell,
                          biquadStep(f.detHighShelf, s.detHighShelf, biquadStep(f.detLowShelf, s.detLowShelf, in[c])));
        s.meanSquare = flushTiny(follow(s.meanSquare, y[c] * y[c], e.tcRms));
        level[c] = 0.25 * std::sqrt(s.meanSquare) + 0.75 * std::fabs(y[c]);
    }
    const double det = std::max(std::max(level[0], level[1]), kLevelFloor);

    const double tDb = e.thresholdDb;
    const double tLin = e.thresholdLin;
    const double ev = std::pow(10.0, softKneeDb(20.0 * std::log10(det), tDb, e.kneeBase, e.logKneeBase) / 20.0);
    const double excess = (ev - tLin) / det;
    excessEnv = flushTiny(followRiseFall(excessEnv, excess, e.tcExcessAttack, e.tcExcessRelease));

    double u[2], v[2];
    for (int c = 0; c < 2; ++c) {
        u[c] = excessEnv * y[c];
        v[c] = biquadStep(f.envLowShelf, channel[c].envLowShelf, u[c]);
    }
    const double p = std::max(std::max(std::fabs(u[0]), std::fabs(u[1])), kLevelFloor);
    const double q = std::max(std::max(std::fabs(v[0]), std::fabs(v[1])), kLevelFloor);
    drivePeak = flushTiny(followRiseFall(drivePeak, p, e.tcPeakAttack, e.tcPeakRelease));
    shapedPeak = flushTiny(followRiseFall(shapedPeak, q, e.tcPeakAttack, e.tcPeakRelease));

    const bool limit = e.limitMode;
    const double base = limit ? 1.3 : 1.2;
    const double kDb = e.kneeDb;
    const double s = std::pow(10.0, softKneeDb(20.0 * std::log10(shapedPeak), kDb, base, std::log10(base)) / 20.0);
    const double r = std::pow(10.0, kDb / 20.0) / s * drivePeak;
    return std::pow(tLin / (tLin + r), limit ? 0.94 : 0.79);
}

double ReferenceModel::cellStep(const ol7t& e, double x)
{
    if (cellSlow > x)
        cellSlow = follow(cellSlow, x, e.tcSlowFall);
    else if (x > cellSlow)
        cellSlow = follow(cellSlow, x, e.tcSlowRise);
    cellSlow = std::max(cellSlow, 0.7);

    if (cellMid > x)
        cellMid = follow(cellMid, x, e.tcMidFall);
    else if (x > cellMid)
        cellMid = follow(cellMid, std::min(x, cellSlow), e.tcMidRise);
    cellMid = std::max(cellMid, 0.4);

    if (cellGain > x)
        cellTrack = follow(cellTrack, x, e.tcTrackAttack);
    else if (x > cellGain)
        cellTrack = follow(cellTrack, x, e.tcTrackRelease);

    const double t = (cellTrack - 0.5) * 2.0;
    double scale, cap;
    if (!e.fastReset) {
        scale = std::max(t, 0.3);
        cap = 12.0 * x;
    } else {
        scale = std::max(t / 5.5, 0.3);
        cap = 6.0 * x;
        cellSpeed = 0.9;
    }
    const double k = timeCoefficient(e, scale * e.cellAttackMs);

    if (cellGain > x) {
        if (cellGain > x + 0.0001)
            cellSpeed = follow(cellSpeed, 1.0, e.tcSpeedRise);
        cellGain = std::min(follow(cellGain, x, k * cellSpeed), cap);
    } else if (x > cellGain) {
        cellSpeed = follow(cellSpeed, 0.0, e.tcSpeedFall);
        cellGain = follow(cellGain, std::min(x, cellMid), e.tcCellRelease);
    }

    for (double* v : {&cellSlow, &cellMid, &cellGain, &cellTrack, &cellSpeed}) {
        if (std::fabs(1.0 - *v) < kFlushBelow)
            *v = 1.0;
    }
    cellSpeed = flushTiny(cellSpeed);
    return cellGain;
}

double ReferenceModel::outputStage(const ol7t& e, double m, double g) const
{
    const double pr = e.peakRed;
    const double drive = pr * pr * 14.0 + 1.0;
    double amount = (1.0 - std::pow(0.98 * g, 0.1)) * 18.0;
    if (!(amount > 0))
        amount = 0;
    const double u = m * g * drive;
    const double h = (sat(u) - u) * 0.5 + (sat(m) - m) * 0.5;
    return (h * amount + m) * g * gainSmoothed;
}

void ReferenceModel::process(const ol7t& e, double* mainL, double* mainR, const double* scL, const double* scR,
                             int32_t count)
{
    if (count <= 0)
        return;
    const FilterSets f = e.currentFilters();
    for (int32_t i = 0; i < count; ++i) {
        if (sampleCounter + static_cast<uint64_t>(i) == 0)
            reset(e);

        const double target = e.gainTarget;
        if (gainSmoothed != target) {
            gainSmoothed = follow(gainSmoothed, target, 0.001);
            if (std::fabs(static_cast<float>(gainSmoothed - target)) < 0.001f)
                gainSmoothed = target;
        }

        const double g = cellStep(e, detectorStep(e, f, scL[i], scR[i]));
        mainL[i] = outputStage(e, mainL[i], g);
        mainR[i] = outputStage(e, mainR[i], g);
    }
    sampleCounter += static_cast<uint64_t>(count);
}
