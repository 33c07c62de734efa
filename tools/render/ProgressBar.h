// A one-line progress bar on standard error, drawn only on a terminal.
#pragma once

#include <cstdio>
#include <string>

class ProgressBar
{
public:
    // Draws nothing when `enabled` is false or standard error is no terminal.
    ProgressBar(std::string label, bool enabled);
    ~ProgressBar();

    void update(double fraction);
    // Completes the line; further updates draw nothing.
    void finish();

private:
    std::string label;
    bool visible;
    int shownPercent = -1;
};
