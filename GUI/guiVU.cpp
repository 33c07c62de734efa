// The meter's tick: read the effect's position, pick the target, glide.
#include "GUI/guiVU.h"

#include "GUI/guiNeedleAreas.h"
#include "GUI/guiWindow.h"
#include "core/ol7t.h"
#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"

#include <algorithm>
#include <cmath>

guiVU::guiVU(int32_t number, int32_t x_, int32_t y_, int32_t width_, int32_t height_, int32_t frames,
             ZVNPal::CPalBitmap* strip_, ZVNPal::CPalBitmap* background_, ol7t* effect_)
    : guiAnimation(number, x_, y_, width_, height_, frames, strip_, background_)
    , effect(effect_)
{
}

void guiVU::onAttach()
{
    if (window)
        window->StartTimer(static_cast<uint32_t>(index), kTickMs);
}

float guiVU::targetOf(float position) const
{
    if (!effect->active)
        return 0.f;
    if (stale < kStaleLimit)
        return std::clamp(position, 0.f, 1.f);
    if (effect->meterMode != 0)
        return 0.f;
    return effect->moduleMode ? kRestMarkCompactPanel : kRestMarkFullPanel;
}

void guiVU::onTimer(uint32_t)
{
    if (!m_bVisible || !effect)
        return;
    // The needle freezes while no editor is attached or the about panel shows.
    if (!effect->editor || (window && window->isAboutShowing()))
        return;
    float position = 0.f;
    // A stale needle ignores the position, so none is worked out for it.
    const bool fresh = effect->getMeterPosition(position, kMeterNumber, stale < kStaleLimit);
    stale = fresh ? 0 : stale + 1;
    const float target = targetOf(position);
    float delta = target - m_fValue;
    if (std::fabs(delta) < kSnap)
        delta = 0.f;
    float k;
    if (effect->meterMode == 0)
        k = target <= m_fValue ? kGainReductionFall : kGainReductionReturn;
    else
        k = target >= m_fValue ? kOutputRise : kOutputFall;
    m_fValue += k * delta;
    if (std::fabs(m_fValue) < kSnap)
        m_fValue = 0.f;
    m_nFrame = static_cast<int32_t>(static_cast<float>(m_nFrames - 1) * m_fValue + 0.5f);
    if (m_nFrame != m_nDrawnFrame)
        redrawStep();
}

bool guiVU::draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* given)
{
    // A step of the needle draws only the part of the frame it repaints:
    // elsewhere the new frame is the same as the drawn one (see stepArea).
    ZVNPal::CPalRect part;
    if (given || !dc || m_nDrawnFrame < 0 || m_nDrawnFrame == m_nFrame || !coversBackground() ||
        !part.Intersect(update, rect()))
        return guiAnimation::draw(update, given);
    dc->DrawBitmap(strip, part.Left(), part.Top(), part.Width(), part.Height(), part.Left() - x,
                   height * m_nFrame + part.Top() - y, 1.f);
    m_nDrawnFrame = m_nFrame;
    return true;
}

void guiVU::redrawStep()
{
    if (!m_bVisible || !canRedraw() || !window || !window->IsValid())
        return;
    const ZVNPal::CPalRect area = stepArea(m_nDrawnFrame, m_nFrame);
    if (!area.IsEmpty())
        window->invalidatePanelRect(area);
}

namespace {

// The smallest rectangle holding both; an empty one adds nothing.
ZVNPal::CPalRect unite(const ZVNPal::CPalRect& a, const ZVNPal::CPalRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    const int32_t left = std::min(a.Left(), b.Left());
    const int32_t top = std::min(a.Top(), b.Top());
    return ZVNPal::CPalRect(left, top, std::max(a.Right(), b.Right()) - left, std::max(a.Bottom(), b.Bottom()) - top);
}

} // namespace

ZVNPal::CPalRect guiVU::stepArea(int32_t from, int32_t to)
{
    // The first paint, or a scale at which every frame differs all over.
    if (from < 0 || !drawnPixelForPixel())
        return rect();
    ZVNPal::CPalRect before, after;
    if (!needleArea(from, before) || !needleArea(to, after))
        return rect();
    ZVNPal::CPalRect area = unite(before, after);
    if (area.IsEmpty())
        return area;
    // A margin for the twice-size strip, whose smoothed needle may reach a
    // little beyond the one-size strip's pixels.
    constexpr int32_t kMargin = 2;
    area = ZVNPal::CPalRect(area.Left() - kMargin, area.Top() - kMargin, area.Width() + 2 * kMargin,
                            area.Height() + 2 * kMargin);
    ZVNPal::CPalRect inside;
    inside.Intersect(area, rect());
    return inside;
}

bool guiVU::needleArea(int32_t frame, ZVNPal::CPalRect& area)
{
    if (!areasSought) {
        areasSought = true;
        areas = strip ? guiNeedleAreas::of(*strip, width, height, m_nFrames) : nullptr;
    }
    if (!areas || !areas->area(*strip, frame, area))
        return false;
    area.Offset(x, y);
    return true;
}
