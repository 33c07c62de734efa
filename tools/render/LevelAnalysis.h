// The render summary's measurements: peak and RMS levels of whole clips, the
// effect's gain reduction read from a pilot pass, input level, output level
// and gain reduction over time, and the warnings a render deserves.
#pragma once

#include "tools/render/AudioClip.h"

#include <string>
#include <vector>

// Level in dB relative to full scale; minus infinity for silence.
double toDb(double linear);

// Over every channel and sample of the clip.
double peakDb(const AudioClip& clip);
double rmsDb(const AudioClip& clip);

// The effect's gain, output over input, from a pass whose main input was the
// constant `pilot`: the mean ratio of the first channel from `fromFrame` on.
// 0 when the output is silent or not a number there.
double pilotGain(const AudioClip& pilotOutput, double pilot, size_t fromFrame);

// The gain reduction per frame in dB (positive while the effect reduces), from
// a pass whose main input was the constant `pilot` while the detector heard
// the real material: the output over the pilot is the cell's gain times the
// output gain, and `restingGain`, the same ratio while nothing is reduced,
// takes the output gain out. NaN where the output tells nothing (silent or
// not a number).
std::vector<float> reductionTrace(const AudioClip& pilotOutput, double pilot, double restingGain);

struct LevelWindow
{
    double seconds;      // start of the window
    double inputDb;      // RMS over the window and both channels
    double outputDb;
    bool hasReduction;   // false where the trace tells nothing
    double reductionDb;  // the window's largest reduction
};

struct LevelSummary
{
    double inputPeakDb = 0, inputRmsDb = 0;
    double outputPeakDb = 0, outputRmsDb = 0;
    bool reductionKnown = false;        // the trace had at least one value
    double largestReductionDb = 0;
    double largestReductionSeconds = 0; // where it happened
    double averageReductionDb = 0;      // over every frame with a value
    size_t outputNotFinite = 0;         // output samples that are not numbers or infinite
    size_t silencedWindows = 0;         // windows with audible input and a silent output
    std::vector<LevelWindow> windows;
};

// Input windows quieter than this do not count as audible.
constexpr double kQuietestAudibleDb = -80.0;

// Levels per window of `windowSeconds`; `reduction` is the trace of
// reductionTrace (empty: no reduction is known).
LevelSummary analyseLevels(const AudioClip& input, const AudioClip& output, const std::vector<float>& reduction,
                           double windowSeconds);

// Plain warnings for a render whose output is silent or not finite where its
// input is neither; empty when the render looks sound.
std::vector<std::string> renderWarnings(const LevelSummary& summary);
