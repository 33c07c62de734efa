// The Windows build of the render tool draws no plot: its drawing library
// (cairo) is a Linux dependency. The option answers with a clear message.
#include "tools/render/LevelPlot.h"

std::string writeLevelPlot(const std::string& path, const LevelSummary&, double, const PlotLabels&)
{
    return "cannot write the plot '" + path + "': the Windows build of ol7t-render draws no plots";
}
