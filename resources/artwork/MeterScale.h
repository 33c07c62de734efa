// Where the VU meter's printed marks sit: the needle position in [0, 1] that the
// effect reports for a gain reduction or an output level, and the needle angle
// of each filmstrip frame.
#pragma once

#include <vector>

enum class MeterPanel { Full, Compact };

struct MeterMark
{
    int db;          // value printed on the face (0 is the rest mark)
    double position; // needle position in [0, 1]
    bool major;      // carries a number
};

class MeterScale
{
public:
    static constexpr int kFrames = 84;
    static constexpr double kSweepDegrees = 90.0; // left stop to right stop

    explicit MeterScale(MeterPanel panel) : m_panel(panel) {}

    // Position for a gain reduction of `db` decibels (db >= 0) in gain-reduction mode;
    // 0 dB is the rest mark.
    double positionForReduction(double db) const;
    // Position for an output level of `db` decibels in the full-scale output mode,
    // the only reading that reaches above the rest mark.
    static double positionForLevel(double db);
    // The marks of the face: reductions left of 0, output levels right of it.
    std::vector<MeterMark> marks() const;
    // Needle angle from vertical (degrees, clockwise positive) for a position, and
    // for filmstrip frame k.
    static double angleForPosition(double position);
    static double positionOfFrame(int frame) { return static_cast<double>(frame) / (kFrames - 1); }

private:
    MeterPanel m_panel;
};
