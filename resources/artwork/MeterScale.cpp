// The needle mapping of the effect's meter, evaluated for the printed scale.
#include "MeterScale.h"

#include <algorithm>
#include <cmath>

namespace {

// The effect's gain-reduction curve: the needle stops at a ceiling c, and the
// cell gain spans 0.1 (left stop) to d.
constexpr float kCeilingFull = 0.64f, kSpanFull = 1.37f;
constexpr float kCeilingCompact = 0.63f, kSpanCompact = 1.38f;
constexpr float kGainFloor = 0.1f, kReductionExponent = 1.3f;
// The output curve: levels from 0.105 to 0.105 + 1.307538 (about -19.6 dB to +3 dB).
constexpr float kLevelFloor = 0.105f, kLevelSpan = 1.307538f, kLevelExponent = 1.25f;

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

} // namespace

double MeterScale::positionForReduction(double db) const
{
    const bool compact = m_panel == MeterPanel::Compact;
    const float c = compact ? kCeilingCompact : kCeilingFull;
    const float d = compact ? kSpanCompact : kSpanFull;
    const float gain = static_cast<float>(std::pow(10.0, -db / 20.0));
    const float v = std::pow(clamp01((gain - kGainFloor) / (d - kGainFloor)), kReductionExponent);
    return c * clamp01(v / c);
}

double MeterScale::positionForLevel(double db)
{
    const float level = static_cast<float>(std::pow(10.0, db / 20.0));
    return std::pow(clamp01((level - kLevelFloor) / kLevelSpan), kLevelExponent);
}

std::vector<MeterMark> MeterScale::marks() const
{
    std::vector<MeterMark> result;
    for (int db : {-20, -15, -10, -7, -5, -4, -3, -2, -1, 0})
        result.push_back({db, positionForReduction(-db), db != -15 && db != -4});
    for (int db : {1, 2, 3})
        result.push_back({db, positionForLevel(db), true});
    return result;
}

double MeterScale::angleForPosition(double position)
{
    return kSweepDegrees * (position - 0.5);
}
