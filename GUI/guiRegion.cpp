// The region base: construction, value defaults, gestures, redraw requests,
// pointer capture and reports.
#include "GUI/guiRegion.h"

#include "GUI/guiWindow.h"
#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"

#include <algorithm>

namespace {

float clampUnit(float v)
{
    return std::clamp(v, 0.f, 1.f);
}

} // namespace

guiRegion::guiRegion(int32_t number, int32_t x_, int32_t y_, int32_t width_, int32_t height_,
                     ZVNPal::CPalBitmap* image, int32_t backgroundX_, int32_t backgroundY_)
    : background(image)
    , m_nID(number)
    , x(x_)
    , y(y_)
    , width(width_)
    , height(height_)
    , imageWidth(image ? image->Width() : 0)
    , imageHeight(image ? image->Height() : 0)
    , backgroundX(backgroundX_)
    , backgroundY(backgroundY_)
{
    std::fill(std::begin(levels), std::end(levels), 255);
}

guiRegion::~guiRegion() = default;

bool guiRegion::draw(const ZVNPal::CPalRect&, ZVNPal::IPalDC*)
{
    return false;
}

void guiRegion::show()
{
    m_bVisible = true;
    m_nDrawnFrame = -1;
    requestRedraw();
}

void guiRegion::hide()
{
    m_bVisible = false;
    m_nDrawnFrame = -1;
}

void guiRegion::toggleVisibility()
{
    if (m_bVisible)
        hide();
    else
        show();
}

void guiRegion::setDefaultValue(float value)
{
    m_fDefault = clampUnit(value);
}

void guiRegion::setBackgroundOrigin(int32_t bx, int32_t by)
{
    backgroundX = bx;
    backgroundY = by;
}

void guiRegion::setAlpha(float value)
{
    alpha = static_cast<int32_t>(clampUnit(value) * 255.f);
    m_nDrawnFrame = -1;
    redrawOnChange();
}

void guiRegion::setLevel(int32_t i, float value)
{
    if (i < 0 || i >= kLevelCount)
        return;
    levels[i] = static_cast<int32_t>(clampUnit(value) * 255.f);
    m_nDrawnFrame = -1;
}

void guiRegion::setBackground(ZVNPal::CPalBitmap* image)
{
    background = image;
    m_nDrawnFrame = -1;
    requestRedraw();
}

void guiRegion::setText(int32_t i, const std::u16string& text)
{
    if (i >= 0 && i < kTextCount)
        texts[i] = text;
}

void guiRegion::setStateWord(int32_t word)
{
    stateWord = word;
    m_nDrawnFrame = -1;
    if (window && window->IsValid())
        window->invalidatePanelRect(rect());
}

void guiRegion::beginGesture()
{
    m_bInGesture = true;
    reportAt(kReportGestureBegin, 1, eventY);
}

void guiRegion::endGesture()
{
    if (!m_bInGesture)
        return;
    m_bInGesture = false;
    reportAt(kReportGestureEnd, 1, eventY);
}

void guiRegion::showFocus()
{
    m_bFocused = true;
    m_nDrawnFrame = -1;
    requestRedraw();
}

void guiRegion::hideFocus()
{
    m_bFocused = false;
    m_nDrawnFrame = -1;
    requestRedraw();
}

void guiRegion::requestRedraw()
{
    if (m_bVisible && canRedraw())
        redrawOnChange();
}

void guiRegion::redrawOnChange()
{
    if (window && window->IsValid())
        window->invalidatePanelRect(rect());
}

void guiRegion::capturePointer(bool on)
{
    if (on == m_bCaptured || !window)
        return;
    if (on)
        window->CaptureMouse();
    else
        window->ReleaseMouse();
    m_bCaptured = on;
    window->setCapturedRegion(on ? this : nullptr);
}

void guiRegion::report()
{
    if (listener)
        listener->reportChange(this);
    m_nEvent = kReportValue;
}

void guiRegion::reportEdit()
{
    if (m_bInGesture) {
        report();
        return;
    }
    beginGesture();
    report();
    endGesture();
}

void guiRegion::reportAt(int32_t code, int32_t px, int32_t py)
{
    m_nEvent = code;
    eventX = px;
    eventY = py;
    report();
}

void guiRegion::drawBackground(ZVNPal::IPalDC* to) const
{
    if (background && to)
        to->DrawBitmap(background, x, y, width, height, backgroundX, backgroundY, 1.f);
}
