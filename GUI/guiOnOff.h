// A two-state switch, toggling or momentary, with focus and write overlays.
#pragma once

#include "GUI/guiAnimation.h"
#include "GUI/guiSVModuleControl.h"

class guiOnOff : public guiAnimation, public guiSVModuleControl
{
public:
    guiOnOff(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frames,
             ZVNPal::CPalBitmap* background, ZVNPal::CPalBitmap* strip, ZVNPal::CPalBitmap* focusImage);

    bool draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* dc) override;
    int32_t setValue(float value) override;
    void onMouseDown(int32_t x, int32_t y, uint32_t flags) override;
    void onMouseUp(int32_t x, int32_t y, uint32_t flags) override;

    ZVNPal::CPalBitmap* focusImage = nullptr;
    bool momentary = false;
};
