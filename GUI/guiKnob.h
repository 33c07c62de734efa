// A knob turned through its filmstrip by vertical drags, the wheel and keys.
#pragma once

#include "GUI/guiRegion.h"
#include "GUI/guiSVModuleControl.h"

class guiKnob : public guiRegion, public guiSVModuleControl
{
public:
    // Pixels of vertical travel over the whole range, plain and with Shift.
    static constexpr float kDragRange = 200.f;
    static constexpr float kFineDragRange = 2000.f;

    guiKnob(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frames,
            ZVNPal::CPalBitmap* background, ZVNPal::CPalBitmap* strip, ZVNPal::CPalBitmap* focusImage);

    bool draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* dc) override;
    int32_t setValue(float value) override;
    void onMouseDown(int32_t x, int32_t y, uint32_t flags) override;
    void onMouseUp(int32_t x, int32_t y, uint32_t flags) override;
    void onMouseMove(int32_t x, int32_t y, uint32_t flags) override;
    void onDoubleClick(int32_t x, int32_t y, uint32_t flags) override;
    void onMouseWheel(int32_t x, int32_t y, uint32_t flags, int32_t delta) override;
    int32_t onKeyDown(int32_t key, uint32_t flags) override;
    void onKeyUp(int32_t key, uint32_t flags) override;

    ZVNPal::CPalBitmap* strip = nullptr;
    ZVNPal::CPalBitmap* focusImage = nullptr;
    float dragStartValue = 0.f;
    int32_t dragStartY = 0;

private:
    int32_t frameOf(float value) const;
    void reportPointer(int32_t px, int32_t py);
};
