// The meter's tick: read the effect's position, pick the target, glide.
#include "GUI/guiVU.h"

#include "GUI/guiWindow.h"
#include "core/ol7t.h"

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
        requestRedraw();
}
