// The knob: drags, wheel steps, value keys and the reset to default.
#include "GUI/guiKnob.h"

#include "GUI/guiWindow.h"
#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"
#include "pal/PalFunctions.h"

#include <algorithm>

namespace {

constexpr float kWheelStep = 0.05f;
constexpr float kFineWheelStep = 0.01f;
// Pointer positions arrive as unsigned 16-bit numbers.
constexpr int32_t kPositionWrap = 65536;
constexpr int32_t kPositionHalf = 32768;

} // namespace

guiKnob::guiKnob(int32_t number, int32_t x_, int32_t y_, int32_t width_, int32_t height_, int32_t frames,
                 ZVNPal::CPalBitmap* background_, ZVNPal::CPalBitmap* strip_, ZVNPal::CPalBitmap* focus)
    : guiRegion(number, x_, y_, width_, height_, background_, x_, y_)
    , guiSVModuleControl(this)
    , strip(strip_)
    , focusImage(focus)
{
    m_nFrames = frames;
    imageWidth = width_;
    imageHeight = height_ * frames;
    m_nKind = kKindKnob;
    m_bRegistered = true;
}

int32_t guiKnob::frameOf(float value) const
{
    return std::max(0, static_cast<int32_t>(static_cast<float>(m_nFrames - 1) * value));
}

bool guiKnob::draw(const ZVNPal::CPalRect&, ZVNPal::IPalDC* given)
{
    ZVNPal::IPalDC* to = target(given);
    if (m_nDrawnFrame == m_nFrame || !to)
        return false;
    drawBackground(to);
    if (strip)
        to->DrawBitmap(strip, x, y, width, height, 0, height * m_nFrame, 1.f);
    if (m_bFocused && focusImage)
        to->DrawBitmap(focusImage, x, y, width, height, 0, 0, 1.f);
    drawOverlay();
    m_nDrawnFrame = m_nFrame;
    return true;
}

int32_t guiKnob::setValue(float value)
{
    // The user's hand wins over values arriving from outside.
    if (isHeld())
        return m_nFrame;
    const float v = std::clamp(value, 0.f, 1.f);
    m_fValue = v;
    m_nFrame = frameOf(v);
    if (m_bVisible && m_nFrame != m_nLastFrame)
        redrawOnChange();
    m_nDrawnFrame = -1;
    m_nLastFrame = m_nFrame;
    return m_nFrame;
}

void guiKnob::onMouseDown(int32_t px, int32_t py, uint32_t flags)
{
    using namespace ZVNPal;
    if (!m_bEnabled || (window && window->capturedRegion()))
        return;
    const bool left = flags & kPalModLeftButton;
    if ((flags & kPalModRightButton) || (left && (flags & kPalModAlt))) {
        reportAt(kReportContext, px + x, py + y);
        return;
    }
    if (!left)
        return;
    capturePointer(true);
    beginGesture();
    dragStartY = py;
    dragStartValue = m_fValue;
    onMouseMove(px, py, flags);
}

void guiKnob::onMouseMove(int32_t px, int32_t py, uint32_t flags)
{
    reportPointer(px, py);
    int32_t c = py;
    // Positions above the window arrive wrapped to large unsigned values.
    if (c > kPositionHalf)
        c -= kPositionWrap;
    if (!m_bCaptured)
        return;
    const float range = (flags & ZVNPal::kPalModShift) ? kFineDragRange : kDragRange;
    const float v = std::clamp(dragStartValue - static_cast<float>(c - dragStartY) / range, 0.f, 1.f);
    m_fValue = v;
    report();
    m_nFrame = frameOf(v);
    requestRedraw();
}

void guiKnob::onMouseUp(int32_t, int32_t, uint32_t)
{
    capturePointer(false);
    endGesture();
}

void guiKnob::onDoubleClick(int32_t, int32_t, uint32_t)
{
    capturePointer(false);
    m_fValue = m_fDefault;
    m_nFrame = frameOf(m_fValue);
    reportEdit();
    requestRedraw();
}

void guiKnob::onMouseWheel(int32_t px, int32_t py, uint32_t flags, int32_t delta)
{
    const float step = (flags & ZVNPal::kPalModShift) ? kFineWheelStep : kWheelStep;
    const float v = std::clamp(m_fValue + (delta > 0 ? step : -step), 0.f, 1.f);
    m_fValue = v;
    reportEdit();
    const int32_t frame = frameOf(v);
    m_nFrame = frame;
    if (frame != m_nLastFrame) {
        m_nDrawnFrame = -1;
        requestRedraw();
        m_nLastFrame = frame;
    }
    reportPointer(px, py);
}

void guiKnob::reportPointer(int32_t px, int32_t py)
{
    // A zero event x would not count as positional: it would report a value.
    reportAt(kReportPointer, px < 2 ? 1 : px, py);
}

int32_t guiKnob::onKeyDown(int32_t key, uint32_t)
{
    float v = m_fValue;
    switch (key) {
    case kKeyEnd: v = 1.f; break;
    case kKeyHome: v = 0.f; break;
    case kKeyPageUp: v += 0.05f; break;
    case kKeyPageDown: v -= 0.05f; break;
    case kKeyUp: v += 0.01f; break;
    case kKeyDown: v -= 0.01f; break;
    case kKeyLeft: v -= 0.001f; break;
    case kKeyRight: v += 0.001f; break;
    default: return 1;
    }
    m_fValue = std::clamp(v, 0.f, 1.f);
    beginGesture();
    report();
    m_nFrame = frameOf(m_fValue);
    requestRedraw();
    return 0;
}

void guiKnob::onKeyUp(int32_t, uint32_t)
{
    endGesture();
    requestRedraw();
}
