// The picture of an editor as it is on screen. On Linux the panel's area is
// read from the screen itself, widened to take in the pop-ups (tool tips,
// menus) that overlap it, since those are windows of their own above the
// panel (ScreenCaptureX11.cpp); on Windows the panel's window draws itself
// into the picture (ScreenCaptureWin32.cpp).
#pragma once

#include "pal/IPalWindow.h"

#include <string>

struct ScreenArea
{
    int x = 0, y = 0, width = 0, height = 0;
};

// Writes the PNG of `panel` (screen coordinates) and of every shown pop-up
// overlapping it. Returns an empty string on success, else a one-line
// message; `written` is then the area saved.
std::string saveScreenArea(ZVNPal::IPalWindow* window, const ScreenArea& panel, const std::string& path,
                           ScreenArea& written);
