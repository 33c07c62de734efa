// The render tool's PNG plot: input and output level over time above, the
// effect's gain reduction below, on a shared time axis.
#pragma once

#include "tools/render/LevelAnalysis.h"

#include <string>

struct PlotLabels
{
    std::string title;
    std::string subtitle; // the settings of the render
};

// Writes a 1200 x 500 PNG. Returns an empty string on success, else a
// one-line message.
std::string writeLevelPlot(const std::string& path, const LevelSummary& summary, double durationSeconds,
                           const PlotLabels& labels);
