// The needle meter: polls the effect's meter position every 20 ms and moves
// the needle towards it with its own rise and fall per meter mode.
#pragma once

#include "GUI/guiAnimation.h"
#include "pal/CPalRect.h"


class ol7t;
class guiNeedleAreas;

class guiVU : public guiAnimation
{
public:
    static constexpr uint32_t kTickMs = 20;
    static constexpr int32_t kStaleLimit = 25;
    static constexpr int32_t kMeterNumber = 10;
    static constexpr float kGainReductionFall = 0.6f;
    static constexpr float kGainReductionReturn = 0.3f;
    static constexpr float kOutputRise = 0.4f;
    static constexpr float kOutputFall = 0.25f;
    static constexpr float kRestMarkFullPanel = 0.64f;
    static constexpr float kRestMarkCompactPanel = 0.63f;
    static constexpr float kSnap = 1e-17f;

    guiVU(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frames,
          ZVNPal::CPalBitmap* strip, ZVNPal::CPalBitmap* background, ol7t* effect);

    void onAttach() override;
    bool draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* dc) override;
    void onTimer(uint32_t id) override;

    int32_t staleTicks() const { return stale; }

private:
    float targetOf(float position) const;
    // Repaints what a step of the needle from the drawn frame changes.
    void redrawStep();
    ZVNPal::CPalRect stepArea(int32_t from, int32_t to);
    // Where a frame of the strip differs from the meter's face, in panel
    // coordinates; false when unknown.
    bool needleArea(int32_t frame, ZVNPal::CPalRect& area);

    // Shared with every meter of the process showing the same strip.
    guiNeedleAreas* areas = nullptr;
    bool areasSought = false;

    ol7t* effect;
    int32_t stale = 0;
};
