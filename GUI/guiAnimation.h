// A filmstrip widget that steps through its frames: the base of the switches
// and of the VU meter.
#pragma once

#include "GUI/guiRegion.h"

class guiAnimation : public guiRegion
{
public:
    guiAnimation(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frames,
                 ZVNPal::CPalBitmap* strip, ZVNPal::CPalBitmap* background);

    bool draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* dc) override;
    int32_t setValue(float value) override;
    void onMouseDown(int32_t x, int32_t y, uint32_t flags) override;
    void onDoubleClick(int32_t x, int32_t y, uint32_t flags) override;
    int32_t onKeyDown(int32_t key, uint32_t flags) override;
    virtual void stepForward(int32_t x, int32_t y, uint32_t flags);
    virtual void stepBack(int32_t x, int32_t y, uint32_t flags);

    void resetToDefault();

    bool wrap = true;
    ZVNPal::CPalBitmap* strip = nullptr;

protected:
    // Paints the background patch and the current frame; false when nothing to paint.
    bool drawFrame(ZVNPal::IPalDC* to);
    // True when the strip's pixels reach the screen one for one: at one
    // pixel a unit, or the twice-size strip at two. Resampled at other
    // scales, frames blend at their edges and differ all over from each other.
    bool drawnPixelForPixel() const;
    // True when the frame hides the background patch entirely, so that the
    // patch need not be painted first.
    bool coversBackground() const;

private:
    // A frame chosen by stepping becomes the value, reported as one gesture.
    void commitStep(int32_t frame);
};
