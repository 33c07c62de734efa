// The progress bar redraws its line in place, and only when the whole-percent
// value changes, so long renders do not flood a slow terminal.
#include "tools/render/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::string text, bool enabled)
    : label(std::move(text)), visible(enabled && isatty(STDERR_FILENO))
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::update(double fraction)
{
    if (!visible)
        return;
    const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d %%", label.c_str(), std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(kBarWidth - filled), '.').c_str(), percent);
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (!visible)
        return;
    update(1.0);
    std::fputc('\n', stderr);
    visible = false;
}
