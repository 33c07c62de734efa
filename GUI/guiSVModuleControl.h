// The automation-write overlay of the compact module panel, mixed into the
// knobs and switches.
#pragma once

#include <cstdint>

namespace ZVNPal {
class CPalBitmap;
}
class guiRegion;

class guiSVModuleControl
{
public:
    explicit guiSVModuleControl(guiRegion* owner) : owner(owner) {}

    void setOverlay(ZVNPal::CPalBitmap* image, int32_t offsetX, int32_t offsetY);
    void setWriteShown(bool shown);
    // Paints the overlay into the owner's context when shown; true when painted.
    bool drawOverlay();
    bool isWriteShown() const { return shown; }

private:
    guiRegion* owner;
    ZVNPal::CPalBitmap* overlay = nullptr;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    bool shown = false;
};
