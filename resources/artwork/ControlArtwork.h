// The filmstrips and overlays of the editor's controls: knobs, meter selectors,
// the trim screw, the toggle switch, the VU meters and the focus and automation
// write indicators.
#pragma once

#include "Canvas.h"
#include "MeterScale.h"

#include <memory>

class ControlArtwork
{
public:
    static constexpr int kKnobFrames = 151;
    static constexpr int kSelectorFrames = 4;
    static constexpr double kKnobSweepDegrees = 270.0;

    // Pointer angle (degrees from vertical, clockwise) of a knob frame; frame 0 is
    // the left stop, the last frame the right stop.
    static double knobAngle(int frame, int frames);
    // Pointer angle of a meter-selector frame: one of the four printed modes.
    static double selectorAngle(int frame);

    enum class Size { Full, Compact };

    static std::unique_ptr<Canvas> knobStrip(Size size);
    static std::unique_ptr<Canvas> selectorStrip(Size size);
    static std::unique_ptr<Canvas> screwStrip();
    static std::unique_ptr<Canvas> switchStrip();
    static std::unique_ptr<Canvas> meterStrip(MeterPanel panel);

    static std::unique_ptr<Canvas> knobFocus();
    static std::unique_ptr<Canvas> knobWrite();
    static std::unique_ptr<Canvas> screwFocus();
    static std::unique_ptr<Canvas> screwWrite();
    static std::unique_ptr<Canvas> switchFocus();
    static std::unique_ptr<Canvas> switchWrite();

    // Knob sizes shared with the printed scales of the backgrounds.
    static double knobRadius(Size size) { return size == Size::Full ? 30.0 : 20.0; }
    static double selectorRadius(Size size) { return size == Size::Full ? 32.0 : 21.5; }
    static constexpr double kScrewRadius = 10.5;
};
