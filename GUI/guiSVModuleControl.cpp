// The write overlay: shown while the channel-strip host writes automation.
#include "GUI/guiSVModuleControl.h"

#include "GUI/guiRegion.h"
#include "GUI/guiWindow.h"
#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"

void guiSVModuleControl::setOverlay(ZVNPal::CPalBitmap* image, int32_t ox, int32_t oy)
{
    overlay = image;
    offsetX = ox;
    offsetY = oy;
}

void guiSVModuleControl::setWriteShown(bool value)
{
    if (value == shown)
        return;
    shown = value;
    owner->m_nDrawnFrame = -1;
    if (owner->window && owner->window->IsValid())
        owner->window->invalidatePanelRect(owner->rect());
}

bool guiSVModuleControl::drawOverlay()
{
    if (!shown || !overlay || !owner->dc)
        return false;
    owner->dc->DrawBitmap(overlay, owner->x + offsetX, owner->y + offsetY, overlay->Width(), overlay->Height(), 0, 0,
                          1.f);
    return true;
}
