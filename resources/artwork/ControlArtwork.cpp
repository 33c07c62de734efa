// Filmstrip rendering: each frame draws its part about the exact centre of the
// frame, so a strip played in order turns without wobble.
#include "ControlArtwork.h"

#include "HardwarePainter.h"
#include "MeterFace.h"

namespace {

constexpr Rgb kFocusAmber{1.0, 0.72, 0.25};
constexpr Rgb kWriteRed{0.95, 0.16, 0.10};

struct StripSize
{
    int width, frameHeight;
};

StripSize knobSize(ControlArtwork::Size size)
{
    return size == ControlArtwork::Size::Full ? StripSize{83, 86} : StripSize{58, 59};
}

} // namespace

double ControlArtwork::knobAngle(int frame, int frames)
{
    return -kKnobSweepDegrees / 2 + kKnobSweepDegrees * frame / (frames - 1);
}

double ControlArtwork::selectorAngle(int frame)
{
    return -60.0 + 40.0 * frame;
}

std::unique_ptr<Canvas> ControlArtwork::knobStrip(Size size)
{
    const StripSize s = knobSize(size);
    auto strip = std::make_unique<Canvas>(s.width, s.frameHeight * kKnobFrames);
    strip->paintFilmstrip(kKnobFrames, s.frameHeight, [&](cairo_t* cr, int k) {
        HardwarePainter::bakeliteKnob(cr, s.width / 2.0, s.frameHeight / 2.0, knobRadius(size),
                                      knobAngle(k, kKnobFrames));
    });
    return strip;
}

std::unique_ptr<Canvas> ControlArtwork::selectorStrip(Size size)
{
    const StripSize s = knobSize(size);
    auto strip = std::make_unique<Canvas>(s.width, s.frameHeight * kSelectorFrames);
    strip->paintFilmstrip(kSelectorFrames, s.frameHeight, [&](cairo_t* cr, int k) {
        HardwarePainter::pointerKnob(cr, s.width / 2.0, s.frameHeight / 2.0, selectorRadius(size),
                                     selectorAngle(k));
    });
    return strip;
}

std::unique_ptr<Canvas> ControlArtwork::screwStrip()
{
    auto strip = std::make_unique<Canvas>(32, 32 * kKnobFrames);
    strip->paintFilmstrip(kKnobFrames, 32, [&](cairo_t* cr, int k) {
        HardwarePainter::trimScrew(cr, 16.0, 16.0, kScrewRadius, knobAngle(k, kKnobFrames));
    });
    return strip;
}

std::unique_ptr<Canvas> ControlArtwork::switchStrip()
{
    auto strip = std::make_unique<Canvas>(38, 94);
    strip->paintFilmstrip(2, 47, [&](cairo_t* cr, int k) { HardwarePainter::toggleSwitch(cr, 19.0, 23.5, 1.0, k == 1); });
    return strip;
}

std::unique_ptr<Canvas> ControlArtwork::meterStrip(MeterPanel panel)
{
    const MeterFace face(panel);
    const MeterGeometry& g = face.geometry();
    auto strip = std::make_unique<Canvas>(g.width, g.height * MeterScale::kFrames);
    strip->paintFilmstrip(MeterScale::kFrames, g.height, [&](cairo_t* cr, int k) { face.paintFrame(cr, k); });
    return strip;
}

// The compact panel's indicators: amber when a control has the keyboard focus,
// red while the host writes its automation.
std::unique_ptr<Canvas> ControlArtwork::knobFocus()
{
    auto c = std::make_unique<Canvas>(58, 58);
    HardwarePainter::glowRing(c->context(), 29.0, 29.5, 26.0, kFocusAmber, 1.2);
    return c;
}

std::unique_ptr<Canvas> ControlArtwork::knobWrite()
{
    auto c = std::make_unique<Canvas>(58, 58);
    HardwarePainter::glowRing(c->context(), 29.0, 29.5, 22.8, kWriteRed, 1.3);
    return c;
}

std::unique_ptr<Canvas> ControlArtwork::screwFocus()
{
    auto c = std::make_unique<Canvas>(32, 32);
    HardwarePainter::glowRing(c->context(), 16.0, 16.0, 14.6, kFocusAmber, 1.0);
    return c;
}

std::unique_ptr<Canvas> ControlArtwork::screwWrite()
{
    auto c = std::make_unique<Canvas>(32, 32);
    HardwarePainter::glowRing(c->context(), 16.0, 16.0, 12.9, kWriteRed, 1.1);
    return c;
}

// The switch's focus is a ring around its nut, as the knobs' is around them.
std::unique_ptr<Canvas> ControlArtwork::switchFocus()
{
    auto c = std::make_unique<Canvas>(38, 47);
    HardwarePainter::glowRing(c->context(), 19.0, 23.0, 15.5, kFocusAmber, 1.1);
    return c;
}

// The switch's automation mark: a red lamp at its upper left.
std::unique_ptr<Canvas> ControlArtwork::switchWrite()
{
    auto c = std::make_unique<Canvas>(22, 25);
    HardwarePainter::glowDot(c->context(), 6.0, 6.0, 2.2, kWriteRed);
    return c;
}
