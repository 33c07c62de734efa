// The compact panel's own handlers.
#include "GUI/guiSVModuleWindow.h"

#include "pal/PalFunctions.h"
#include "pal/PalTypes.h"

#include <sys/stat.h>

int guiSVModuleWindow::onMouseWheel(int32_t, int32_t, uint32_t, int32_t)
{
    return ZVNPal::kPalPassOn;
}

int guiSVModuleWindow::onFocusLost()
{
    dropFocus();
    return guiVSTWindow::onFocusLost();
}

int guiSVModuleWindow::onHelp()
{
    struct stat info{};
    if (!name.empty() && stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ZVNPal::OpenDocument(name.c_str());
    return 1;
}
