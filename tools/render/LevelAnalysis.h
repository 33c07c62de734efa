// The render summary's measurements: peak and RMS levels of whole clips, and
// input level, output level and gain reduction over time.
#pragma once

#include "tools/render/AudioClip.h"

#include <vector>

// Level in dB relative to full scale; minus infinity for silence.
double toDb(double linear);

// Over every channel and sample of the clip.
double peakDb(const AudioClip& clip);
double rmsDb(const AudioClip& clip);

// The effect's gain at rest: output RMS over input RMS, in dB, measured over
// the frames from `fromFrame` on (after the effect has settled).
double restingGainDb(const AudioClip& input, const AudioClip& output, size_t fromFrame);

struct LevelWindow
{
    double seconds;      // start of the window
    double inputDb;      // RMS over the window and both channels
    double outputDb;
    bool hasReduction;   // false where the input is too quiet to measure it
    double reductionDb;  // positive while the effect pulls the level down
};

struct LevelSummary
{
    double inputPeakDb = 0, inputRmsDb = 0;
    double outputPeakDb = 0, outputRmsDb = 0;
    double largestReductionDb = 0;      // 0 when the effect never reduced
    double largestReductionSeconds = 0; // start of the window where it happened
    std::vector<LevelWindow> windows;
};

// Input windows quieter than this carry no gain-reduction measurement.
constexpr double kQuietestMeasuredDb = -80.0;

// Gain reduction per window is the level change (output minus input) less
// `restingDb`, the effect's own gain when it does not reduce.
LevelSummary analyseLevels(const AudioClip& input, const AudioClip& output, double restingDb,
                           double windowSeconds);
