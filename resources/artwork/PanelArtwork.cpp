// Panel faces: brushed aluminium with engraved black lettering, a black enamel
// name plate and a chrome-lipped meter bezel. Scales and labels are placed from
// the control positions of the layouts.
#include "PanelArtwork.h"

#include "ControlArtwork.h"
#include "HardwarePainter.h"
#include "MeterFace.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr Rgb kAluminium{0.80, 0.79, 0.76};
constexpr Rgb kInk{0.11, 0.10, 0.09};
constexpr Rgb kSilverInk{0.88, 0.86, 0.80};
constexpr Rgb kEnamel{0.09, 0.09, 0.10};
constexpr double kKnobDefault = 0.5, kGainDefault = 0.4;
constexpr uint32_t kFullSeed = 0x7a11u, kCompactSeed = 0x5e7u;
// The compact panel's smallest print: DejaVu Sans capitals stand 0.73 of the
// size, so 9.7 keeps every legend at least 7 pixels tall at 100 %.
constexpr double kCompactLegendSize = 9.7;

std::vector<double> evenAngles(int count, double sweep)
{
    std::vector<double> angles;
    for (int i = 0; i < count; ++i)
        angles.push_back(-sweep / 2 + sweep * i / (count - 1));
    return angles;
}

std::vector<std::string> numbers(int last)
{
    std::vector<std::string> labels;
    for (int i = 0; i <= last; ++i)
        labels.push_back(std::to_string(i));
    return labels;
}

void panelBevel(cairo_t* cr, int w, int h)
{
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_move_to(cr, 0.5, h - 0.5);
    cairo_line_to(cr, 0.5, 0.5);
    cairo_line_to(cr, w - 0.5, 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_move_to(cr, w - 0.5, 0.5);
    cairo_line_to(cr, w - 0.5, h - 0.5);
    cairo_line_to(cr, 0.5, h - 0.5);
    cairo_stroke(cr);
}

// A black enamel plate with a chrome lip, set on the panel.
void enamelPlate(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    HardwarePainter::softShadow(cr, [&](cairo_t* c) { HardwarePainter::roundedRect(c, x, y, w, h, radius); },
                                0.8, 1.5, 2.0, 0.45);
    HardwarePainter::roundedRect(cr, x, y, w, h, radius);
    cairo_save(cr);
    cairo_clip(cr);
    HardwarePainter::enamel(cr, x, y, w, h, kEnamel);
    cairo_restore(cr);
    HardwarePainter::roundedRect(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, radius);
    cairo_pattern_t* lip = cairo_pattern_create_linear(x, y, x, y + h);
    cairo_pattern_add_color_stop_rgb(lip, 0.0, 0.95, 0.94, 0.92);
    cairo_pattern_add_color_stop_rgb(lip, 1.0, 0.45, 0.44, 0.42);
    cairo_set_source(cr, lip);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_pattern_destroy(lip);
}

void meterBezel(cairo_t* cr, const ControlPlace& m, double margin)
{
    enamelPlate(cr, m.x - margin, m.y - margin, m.w + 2 * margin, m.h + 2 * margin, margin * 0.7);
    // Chrome ring right round the window.
    cairo_rectangle(cr, m.x - 1.5, m.y - 1.5, m.w + 3, m.h + 3);
    cairo_pattern_t* ring = cairo_pattern_create_linear(0, m.y, 0, m.y + m.h);
    cairo_pattern_add_color_stop_rgb(ring, 0.0, 0.50, 0.49, 0.47);
    cairo_pattern_add_color_stop_rgb(ring, 1.0, 0.92, 0.91, 0.88);
    cairo_set_source(cr, ring);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(ring);
}

void rackSlot(cairo_t* cr, double cx, double cy)
{
    HardwarePainter::roundedRect(cr, cx - 8, cy - 4.5, 16, 9, 4.5);
    cairo_set_source_rgb(cr, 0.07, 0.07, 0.07);
    cairo_fill_preserve(cr);
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, cy - 4.5, 0, cy + 4.5);
    cairo_pattern_add_color_stop_rgba(lip, 0.0, 0, 0, 0, 0.6);
    cairo_pattern_add_color_stop_rgba(lip, 1.0, 1, 1, 1, 0.7);
    cairo_set_source(cr, lip);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(lip);
}

// The options button: a small black push button with a menu mark.
void optionsButton(cairo_t* cr, const ControlPlace& p)
{
    const double cx = p.centreX(), cy = p.centreY(), r = std::min(p.w, p.h) / 2.0 - 0.8;
    HardwarePainter::softShadow(cr, [&](cairo_t* c) { cairo_arc(c, cx, cy, r, 0, 6.2832); }, 0.5, 1.0, 1.4, 0.5);
    cairo_arc(cr, cx, cy, r, 0, 6.2832);
    cairo_pattern_t* ring = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(ring, 0.0, 0.95, 0.94, 0.92);
    cairo_pattern_add_color_stop_rgb(ring, 1.0, 0.40, 0.39, 0.37);
    cairo_set_source(cr, ring);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    cairo_arc(cr, cx, cy, r - 1.4, 0, 6.2832);
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.10);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.85, 0.83, 0.76);
    cairo_set_line_width(cr, 0.9);
    for (int i = -1; i <= 1; ++i) {
        cairo_move_to(cr, cx - r * 0.42, cy + i * r * 0.32);
        cairo_line_to(cr, cx + r * 0.42, cy + i * r * 0.32);
    }
    cairo_stroke(cr);
}

void knobDial(cairo_t* cr, const ControlPlace& p, double knobRadius, bool withMinorTicks, double fontSize)
{
    const double sweep = ControlArtwork::kKnobSweepDegrees;
    HardwarePainter::dialScale(cr, p.centreX(), p.centreY(), knobRadius + 2.5, knobRadius + 7.0,
                               withMinorTicks ? evenAngles(21, sweep) : std::vector<double>{},
                               evenAngles(11, sweep), numbers(10), knobRadius + 7.0 + fontSize * 1.05, fontSize,
                               kInk);
}

// The compact knobs: a tick at every number, only the even ones printed, so
// that the numbers can be large enough to read.
void compactKnobDial(cairo_t* cr, const ControlPlace& p, double knobRadius)
{
    const double sweep = ControlArtwork::kKnobSweepDegrees;
    HardwarePainter::dialScale(cr, p.centreX(), p.centreY(), knobRadius + 2.5, knobRadius + 6.5, evenAngles(11, sweep),
                               evenAngles(6, sweep), {"0", "2", "4", "6", "8", "10"},
                               knobRadius + 7.5 + kCompactLegendSize * 0.75, kCompactLegendSize, kInk);
}

void selectorDial(cairo_t* cr, const ControlPlace& p, double radius, double fontSize, double labelOffset)
{
    std::vector<double> angles;
    for (int k = 0; k < ControlArtwork::kSelectorFrames; ++k)
        angles.push_back(ControlArtwork::selectorAngle(k));
    HardwarePainter::dialScale(cr, p.centreX(), p.centreY(), radius + 2.0, radius + 5.5, {}, angles,
                               {"GR", "dBFS", "+4", "+10"}, radius + 5.5 + labelOffset, fontSize, kInk);
}

void screwDial(cairo_t* cr, const ControlPlace& p)
{
    const double r = ControlArtwork::kScrewRadius;
    HardwarePainter::dialScale(cr, p.centreX(), p.centreY(), r + 3.0, r + 5.5, {},
                               evenAngles(11, ControlArtwork::kKnobSweepDegrees), {}, 0, 0, kInk);
}

void drawFullFace(cairo_t* cr)
{
    const PanelLayout& l = PanelLayout::full();
    HardwarePainter::brushedMetal(cr, 0, 0, l.width, l.height, kAluminium, kFullSeed);
    panelBevel(cr, l.width, l.height);
    for (double x : {20.0, 745.0})
        for (double y : {48.0, 170.0})
            rackSlot(cr, x, y);

    // Name plate.
    enamelPlate(cr, 58, 16, 236, 46, 3);
    for (double x : {64.0, 288.0})
        for (double y : {22.0, 56.0})
            HardwarePainter::panelScrew(cr, x, y, 2.4, 35.0);
    HardwarePainter::engravedText(cr, "OL-7T", 74, 50, 27, TextAlign::Left, kSilverInk, true, 0.92);
    HardwarePainter::engravedText(cr, "LEVELING", 170, 36, 11, TextAlign::Left, kSilverInk, true, 1.05);
    HardwarePainter::engravedText(cr, "AMPLIFIER", 170, 50, 11, TextAlign::Left, kSilverInk, true, 1.05);

    meterBezel(cr, l.meter, 8);
    HardwarePainter::panelScrew(cr, l.meter.x - 5, l.meter.centreY(), 2.0, 70.0);
    HardwarePainter::panelScrew(cr, l.meter.x + l.meter.w + 5, l.meter.centreY(), 2.0, 110.0);
    enamelPlate(cr, 338, 150, 90, 22, 2);
    HardwarePainter::engravedText(cr, "MARROWBY", 383, 165, 10, TextAlign::Centre, kSilverInk, true, 1.0);

    const double knobR = ControlArtwork::knobRadius(ControlArtwork::Size::Full);
    knobDial(cr, l.gain, knobR, true, 7.5);
    knobDial(cr, l.peak, knobR, true, 7.5);
    HardwarePainter::engravedText(cr, "GAIN", l.gain.centreX(), 78, 10, TextAlign::Centre, kInk);
    HardwarePainter::engravedText(cr, "PEAK REDUCTION", l.peak.centreX(), 78, 10, TextAlign::Centre, kInk);

    screwDial(cr, l.screw);
    HardwarePainter::engravedText(cr, "R37", l.screw.centreX(), 122, 8.5, TextAlign::Centre, kInk);
    HardwarePainter::engravedText(cr, "LIMIT", l.limit.centreX(), 122, 8.5, TextAlign::Centre, kInk);
    HardwarePainter::engravedText(cr, "COMPRESS", l.limit.centreX(), 191, 8.5, TextAlign::Centre, kInk);

    constexpr double kFullSelectorFont = 7.5;
    selectorDial(cr, l.selector, ControlArtwork::selectorRadius(ControlArtwork::Size::Full), kFullSelectorFont,
                 kFullSelectorFont * 1.5);
    HardwarePainter::engravedText(cr, "METER", l.selector.centreX(), 22, 8.5, TextAlign::Centre, kInk);
    HardwarePainter::engravedText(cr, "ON", l.enable.x + l.enable.w + 2, l.enable.y + 12, 8.5, TextAlign::Left,
                                  kInk);
    HardwarePainter::engravedText(cr, "OFF", l.enable.x + l.enable.w + 2, l.enable.y + 42, 8.5, TextAlign::Left,
                                  kInk);
    optionsButton(cr, l.options);
}

void drawCompactFace(cairo_t* cr)
{
    const PanelLayout& l = PanelLayout::compact();
    HardwarePainter::brushedMetal(cr, 0, 0, l.width, l.height, kAluminium, kCompactSeed);
    panelBevel(cr, l.width, l.height);

    enamelPlate(cr, 6, 5, 164, 25, 2.5);
    HardwarePainter::engravedText(cr, "OL-7T", 13, 24, 15, TextAlign::Left, kSilverInk, true, 0.92);
    HardwarePainter::engravedText(cr, "LEVELING", 162, 16, kCompactLegendSize, TextAlign::Right, kSilverInk, true, 0.9);
    HardwarePainter::engravedText(cr, "AMPLIFIER", 162, 26.5, kCompactLegendSize, TextAlign::Right, kSilverInk, true,
                                  0.9);
    optionsButton(cr, l.options);
    meterBezel(cr, l.meter, 5);

    const double knobR = ControlArtwork::knobRadius(ControlArtwork::Size::Compact);
    compactKnobDial(cr, l.gain, knobR);
    compactKnobDial(cr, l.peak, knobR);
    HardwarePainter::engravedText(cr, "GAIN", l.gain.centreX(), 245, kCompactLegendSize, TextAlign::Centre, kInk);
    HardwarePainter::engravedText(cr, "PEAK REDUCTION", l.peak.centreX(), 245, kCompactLegendSize, TextAlign::Centre,
                                  kInk, true, 0.8);

    // Close in, so the upper labels stay clear of the meter's bezel.
    selectorDial(cr, l.selector, ControlArtwork::selectorRadius(ControlArtwork::Size::Compact), kCompactLegendSize,
                 kCompactLegendSize * 0.9);
    screwDial(cr, l.screw);
    HardwarePainter::engravedText(cr, "R37", l.screw.x + l.screw.w + 1, l.screw.centreY() + 3.5, kCompactLegendSize,
                                  TextAlign::Left, kInk, true, 0.8);
    HardwarePainter::engravedText(cr, "LIMIT", l.limit.x - 1, 124, kCompactLegendSize, TextAlign::Right, kInk, true,
                                  0.85);
    HardwarePainter::engravedText(cr, "COMP", l.limit.x - 1, 149, kCompactLegendSize, TextAlign::Right, kInk, true,
                                  0.85);
}

std::unique_ptr<Canvas> paintedCanvas(int w, int h, void (*painter)(cairo_t*))
{
    auto c = std::make_unique<Canvas>(w, h);
    painter(c->context());
    return c;
}

// A large knob with its dial on dark enamel, the picture of the about panels.
void aboutKnob(cairo_t* cr, double cx, double cy, double R)
{
    HardwarePainter::dialScale(cr, cx, cy, R + 4, R + 11, evenAngles(21, 270), evenAngles(11, 270), numbers(10),
                               R + 11 + R * 0.2, R * 0.17, kSilverInk);
    HardwarePainter::bakeliteKnob(cr, cx, cy, R, 40.0);
}

void darkBackdrop(cairo_t* cr, double w, double h)
{
    HardwarePainter::enamel(cr, 0, 0, w, h, kEnamel);
    cairo_pattern_t* glow = cairo_pattern_create_radial(w * 0.35, h * 0.3, 0, w * 0.4, h * 0.4, w * 0.8);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 0.35, 0.28, 0.18, 0.35);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 0, 0, 0, 0.4);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

void goldRule(cairo_t* cr, double x0, double x1, double y)
{
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x1, y);
    cairo_set_source_rgb(cr, 0.78, 0.62, 0.32);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void drawFullAbout(cairo_t* cr)
{
    darkBackdrop(cr, 685, 212);
    // The editor writes the version and copyright lines in white from x 155,
    // about 30 pixels above the bottom; that band stays plain.
    HardwarePainter::engravedText(cr, "OL-7T", 153, 80, 48, TextAlign::Left, kSilverInk, true, 0.92);
    HardwarePainter::engravedText(cr, "LEVELING AMPLIFIER", 156, 106, 16, TextAlign::Left, kSilverInk, true, 1.0);
    goldRule(cr, 156, 470, 118);
    HardwarePainter::engravedText(cr, "Optical gain cell  \xC2\xB7  program-dependent release", 156, 136, 10,
                                  TextAlign::Left, {0.72, 0.70, 0.64}, false, 1.0);
    aboutKnob(cr, 575, 104, 50);
}

void drawCompactAbout(cairo_t* cr)
{
    darkBackdrop(cr, 198, 249);
    HardwarePainter::engravedText(cr, "OL-7T", 99, 44, 30, TextAlign::Centre, kSilverInk, true, 0.92);
    HardwarePainter::engravedText(cr, "LEVELING AMPLIFIER", 99, 60, 9, TextAlign::Centre, kSilverInk, true, 1.0);
    goldRule(cr, 40, 158, 68);
    aboutKnob(cr, 99, 136, 34);
}

} // namespace

std::unique_ptr<Canvas> PanelArtwork::fullBackground() { return paintedCanvas(765, 212, drawFullFace); }
std::unique_ptr<Canvas> PanelArtwork::compactBackground() { return paintedCanvas(198, 249, drawCompactFace); }
std::unique_ptr<Canvas> PanelArtwork::fullAbout() { return paintedCanvas(685, 212, drawFullAbout); }
std::unique_ptr<Canvas> PanelArtwork::compactAbout() { return paintedCanvas(198, 249, drawCompactAbout); }

std::unique_ptr<Canvas> PanelArtwork::composePanel(const PanelLayout& layout, const ImageLookup& image)
{
    const bool full = layout.meterPanel == MeterPanel::Full;
    const std::string prefix = full ? "ol_" : "sv_";
    auto panel = std::make_unique<Canvas>(layout.width, layout.height);
    panel->paintCanvas(image(full ? "ol_background.bmp" : "sv_background.bmp"), 0, 0);

    auto frameOf = [&](const ControlPlace& p, const std::string& name, int frame) {
        panel->paintCanvas(image(name), p.x, p.y, 1.0, static_cast<double>(frame) * p.h, p.h);
    };
    const int knobLast = ControlArtwork::kKnobFrames - 1;
    frameOf(layout.screw, "screw.png", static_cast<int>(knobLast * kKnobDefault));
    frameOf(layout.gain, prefix + "knob1.png", static_cast<int>(knobLast * kGainDefault));
    frameOf(layout.peak, prefix + "knob1.png", static_cast<int>(knobLast * kKnobDefault));
    frameOf(layout.selector, prefix + "knob2.png", 0);
    frameOf(layout.limit, "switch.png", 0);
    if (layout.hasEnable)
        frameOf(layout.enable, "switch.png", 1);
    const double rest = MeterScale(layout.meterPanel).positionForReduction(0.0);
    frameOf(layout.meter, prefix + "meter.png", static_cast<int>((MeterScale::kFrames - 1) * rest + 0.5));
    return panel;
}

std::unique_ptr<Canvas> PanelArtwork::thumbnail(const Canvas& panel, bool inactive)
{
    auto thumb = std::make_unique<Canvas>(panel.width() / 2, panel.height() / 2);
    thumb->paintCanvas(panel, 0, 0, 0.5);
    if (inactive) {
        cairo_t* cr = thumb->context();
        cairo_set_operator(cr, CAIRO_OPERATOR_HSL_SATURATION);
        cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_set_source_rgba(cr, 0.05, 0.05, 0.05, 0.45);
        cairo_paint(cr);
    }
    return thumb;
}
