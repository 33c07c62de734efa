// The compact panel's own handlers.
#include "GUI/guiSVModuleWindow.h"

#include "pal/Folders.h"
#include "pal/PalFunctions.h"
#include "pal/PalTypes.h"


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
    if (ZVNPal::FileExists(name))
        ZVNPal::OpenDocument(name.c_str());
    return 1;
}
