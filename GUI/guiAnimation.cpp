// The animation: frame from value, stepping with wrap, reset to default.
#include "GUI/guiAnimation.h"

#include "GUI/guiWindow.h"
#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"
#include "pal/PalFunctions.h"

#include <algorithm>

guiAnimation::guiAnimation(int32_t number, int32_t x_, int32_t y_, int32_t width_, int32_t height_, int32_t frames,
                           ZVNPal::CPalBitmap* strip_, ZVNPal::CPalBitmap* background_)
    : guiRegion(number, x_, y_, width_, height_, background_, x_, y_)
    , strip(strip_)
{
    m_nFrames = frames;
    imageWidth = strip ? strip->Width() : 0;
    imageHeight = strip ? strip->Height() : 0;
    m_nKind = kKindAnimation;
}

bool guiAnimation::drawFrame(ZVNPal::IPalDC* to)
{
    if (m_nDrawnFrame == m_nFrame || !strip || !to)
        return false;
    if (!coversBackground())
        drawBackground(to);
    to->DrawBitmap(strip, x, y, width, height, 0, height * m_nFrame, 1.f);
    m_nDrawnFrame = m_nFrame;
    return true;
}

bool guiAnimation::drawnPixelForPixel() const
{
    const float scale = window ? window->Scale() : 1.f;
    return scale == 1.f || (scale == 2.f && strip && strip->GetDetailedImage());
}

bool guiAnimation::coversBackground() const
{
    // Resampled, the frame's edges blend with what lies beneath them.
    return drawnPixelForPixel() && strip->IsOpaque() && strip->Width() >= width &&
           strip->Height() >= height * (m_nFrame + 1);
}

bool guiAnimation::draw(const ZVNPal::CPalRect&, ZVNPal::IPalDC* given)
{
    return drawFrame(target(given));
}

int32_t guiAnimation::setValue(float value)
{
    const float v = std::clamp(value, 0.f, 1.f);
    m_fValue = v;
    m_nFrame = std::max(0, std::min(static_cast<int32_t>(static_cast<float>(m_nFrames) * v), m_nFrames - 1));
    if (m_bVisible && m_nFrame != m_nLastFrame)
        redrawOnChange();
    m_nLastFrame = m_nFrame;
    return m_nFrame;
}

void guiAnimation::commitStep(int32_t frame)
{
    m_nFrame = frame;
    m_nLastFrame = frame;
    m_fValue = m_nFrames > 1 ? static_cast<float>(frame) / static_cast<float>(m_nFrames - 1) : 0.f;
    reportEdit();
    requestRedraw();
}

void guiAnimation::stepForward(int32_t, int32_t, uint32_t)
{
    int32_t frame = m_nFrame + 1;
    if (frame > m_nFrames - 1)
        frame = wrap ? 0 : m_nFrames - 1;
    commitStep(std::max(frame, 0));
}

void guiAnimation::stepBack(int32_t, int32_t, uint32_t)
{
    int32_t frame = m_nFrame - 1;
    if (frame < 0)
        frame = wrap ? m_nFrames - 1 : 0;
    commitStep(std::max(frame, 0));
}

void guiAnimation::resetToDefault()
{
    m_fValue = m_fDefault;
    m_nFrame = m_nLastFrame = static_cast<int32_t>(static_cast<float>(m_nFrames - 1) * m_fDefault);
    reportEdit();
    requestRedraw();
}

void guiAnimation::onMouseDown(int32_t px, int32_t py, uint32_t flags)
{
    using namespace ZVNPal;
    if (!m_bEnabled)
        return;
    const bool left = flags & kPalModLeftButton;
    if ((flags & kPalModRightButton) || (left && (flags & kPalModAlt)))
        stepBack(px, py, flags);
    else if (left && (flags & kPalModControl))
        resetToDefault();
    else if (left)
        stepForward(px, py, flags);
}

void guiAnimation::onDoubleClick(int32_t, int32_t, uint32_t)
{
    capturePointer(false);
}

int32_t guiAnimation::onKeyDown(int32_t key, uint32_t flags)
{
    if (key == kKeyUp)
        stepForward(0, 0, flags);
    else if (key == kKeyDown)
        stepBack(0, 0, flags);
    else
        return 1;
    return 0;
}
