// The Windows picture: the panel's window draws itself into it. Pop-ups are
// windows of the system's own there and are not taken in.
#include "tools/shot/ScreenCapture.h"

#include "pal/PalFunctions.h"

std::string saveScreenArea(ZVNPal::IPalWindow* window, const ScreenArea& panel, const std::string& path,
                           ScreenArea& written)
{
    if (!ZVNPal::SaveWindowImage(window, path.c_str()))
        return "could not write " + path;
    written = panel;
    return {};
}
