// The meter's tick: read the effect's position, pick the target, glide.
#include "GUI/guiVU.h"

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
    const ZVNPal::CPalRect* before = needleArea(from);
    const ZVNPal::CPalRect* after = needleArea(to);
    if (!before || !after)
        return rect();
    ZVNPal::CPalRect area = unite(*before, *after);
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

namespace {

// The strips are opaque: their pixels are compared by colour alone.
constexpr uint32_t kColour = 0x00FFFFFFu;

} // namespace

const uint32_t* guiVU::framePixels(int32_t frame, int32_t& stride) const
{
    const uint32_t* pixels = strip->DecodedPixels(stride);
    return pixels ? pixels + size_t(frame) * size_t(height) * size_t(stride) : nullptr;
}

void guiVU::findFace()
{
    faceSearched = true;
    if (!strip || !strip->IsOpaque() || m_nFrames < 3 || strip->Width() < width ||
        strip->Height() < height * m_nFrames)
        return;
    // Read where the decoded strip lies, not drawn and read back: that cost
    // more than the needle's steps of a whole session.
    int32_t stride = 0;
    const uint32_t* first = framePixels(0, stride);
    if (!first)
        return;
    const uint32_t* middle = framePixels(m_nFrames / 2, stride);
    const uint32_t* last = framePixels(m_nFrames - 1, stride);
    // At each pixel, what two of the first, middle and last frames show
    // there. Any face keeps the step areas right (a pixel that differs
    // between two frames differs from the face in one of them); this one
    // keeps them small.
    face.resize(size_t(width) * size_t(height));
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column) {
            const size_t at = size_t(row) * size_t(stride) + size_t(column);
            const uint32_t a = first[at] & kColour, b = middle[at] & kColour;
            face[size_t(row) * size_t(width) + size_t(column)] = a != b && a != (last[at] & kColour) ? b : a;
        }
    needleAreas.assign(size_t(m_nFrames), ZVNPal::CPalRect());
    needleAreaFound.assign(size_t(m_nFrames), false);
}

const ZVNPal::CPalRect* guiVU::needleArea(int32_t frame)
{
    if (!faceSearched)
        findFace();
    if (face.empty() || frame < 0 || frame >= m_nFrames)
        return nullptr;
    if (!needleAreaFound[size_t(frame)]) {
        int32_t stride = 0;
        const uint32_t* pixels = framePixels(frame, stride);
        if (!pixels)
            return nullptr;
        int32_t left = width, right = -1, top = height, bottom = -1;
        for (int32_t row = 0; row < height; ++row)
            for (int32_t column = 0; column < width; ++column)
                if ((pixels[size_t(row) * size_t(stride) + size_t(column)] & kColour) !=
                    face[size_t(row) * size_t(width) + size_t(column)]) {
                    left = std::min(left, column);
                    right = std::max(right, column);
                    top = std::min(top, row);
                    bottom = std::max(bottom, row);
                }
        if (right >= 0)
            needleAreas[size_t(frame)] = ZVNPal::CPalRect(x + left, y + top, right - left + 1, bottom - top + 1);
        needleAreaFound[size_t(frame)] = true;
    }
    return &needleAreas[size_t(frame)];
}
