// The switch: snaps to off or on, toggles or holds while pressed.
#include "GUI/guiOnOff.h"

#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"
#include "pal/PalFunctions.h"

#include <algorithm>

guiOnOff::guiOnOff(int32_t number, int32_t x_, int32_t y_, int32_t width_, int32_t height_, int32_t frames,
                   ZVNPal::CPalBitmap* background_, ZVNPal::CPalBitmap* strip_, ZVNPal::CPalBitmap* focus)
    : guiAnimation(number, x_, y_, width_, height_, frames, strip_, background_)
    , guiSVModuleControl(this)
    , focusImage(focus)
{
    m_nKind = kKindSwitch;
}

bool guiOnOff::draw(const ZVNPal::CPalRect&, ZVNPal::IPalDC* given)
{
    ZVNPal::IPalDC* to = target(given);
    if (!drawFrame(to))
        return false;
    if (m_bFocused && focusImage)
        to->DrawBitmap(focusImage, x, y, width, height, 0, 0, 1.f);
    return isWriteShown() ? drawOverlay() : true;
}

int32_t guiOnOff::setValue(float value)
{
    // Exactly one half counts as off.
    m_fValue = std::clamp(value, 0.f, 1.f) > 0.5f ? 1.f : 0.f;
    m_nFrame = m_fValue > 0.f ? 1 : 0;
    if (m_bVisible && m_nFrame != m_nLastFrame)
        redrawOnChange();
    m_nLastFrame = m_nFrame;
    return m_nFrame;
}

void guiOnOff::onMouseDown(int32_t px, int32_t py, uint32_t flags)
{
    if (flags & ZVNPal::kPalModRightButton) {
        reportAt(kReportContext, px + x, py + y);
        return;
    }
    beginGesture();
    capturePointer(true);
    setValue(momentary || m_fValue != 1.f ? 1.f : 0.f);
    report();
}

void guiOnOff::onMouseUp(int32_t, int32_t, uint32_t)
{
    capturePointer(false);
    endGesture();
    if (momentary) {
        setValue(0.f);
        report();
    }
}
