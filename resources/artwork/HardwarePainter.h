// Drawing of the hardware parts that every image shares: panel finishes, engraved
// lettering, soft shadows, bakelite knobs, the slotted trim screw and the toggle
// switch. Everything is drawn in vector form with anti-aliasing, so a part turned
// through any angle stays round and centred.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Rgb
{
    double r, g, b;
};

enum class TextAlign { Left, Centre, Right };

class HardwarePainter
{
public:
    using PathBuilder = std::function<void(cairo_t*)>;

    // Horizontal brushed aluminium with a deterministic grain.
    static void brushedMetal(cairo_t* cr, double x, double y, double w, double h, Rgb base, uint32_t seed);
    // Smooth stoved enamel with a faint sheen.
    static void enamel(cairo_t* cr, double x, double y, double w, double h, Rgb base);
    // A shadow of the shape built by `path`, offset and blurred by `spread` pixels.
    static void softShadow(cairo_t* cr, const PathBuilder& path, double dx, double dy, double spread,
                           double alpha);

    // Lettering cut into the panel and filled with `ink`: a light lip below the
    // cut when the ink is dark, a dark one above it when the ink is light.
    static void engravedText(cairo_t* cr, const std::string& text, double x, double baseline, double size,
                             TextAlign align, Rgb ink, bool bold = true, double condense = 0.88);
    static double textWidth(cairo_t* cr, const std::string& text, double size, bool bold = true,
                            double condense = 0.88);

    // A dial scale printed round a knob: ticks at `ticks` positions (angles in
    // degrees from vertical, clockwise), numbers at the positions of `labels`.
    static void dialScale(cairo_t* cr, double cx, double cy, double rInner, double rOuter,
                          const std::vector<double>& tickAngles, const std::vector<double>& majorAngles,
                          const std::vector<std::string>& labels, double labelRadius, double fontSize, Rgb ink);

    // Round bakelite knob with a fluted grip and a cream pointer; R is the skirt radius.
    static void bakeliteKnob(cairo_t* cr, double cx, double cy, double R, double angleDegrees);
    // Bakelite pointer knob of a rotary switch; R reaches the pointer tip.
    static void pointerKnob(cairo_t* cr, double cx, double cy, double R, double angleDegrees);
    // Chrome slotted screw head with a white index dot at one end of the slot.
    static void trimScrew(cairo_t* cr, double cx, double cy, double r, double angleDegrees);
    // A plain panel screw (fixed, no index).
    static void panelScrew(cairo_t* cr, double cx, double cy, double r, double angleDegrees);
    // Bat-handle toggle on a hex nut; `up` throws the lever upwards.
    static void toggleSwitch(cairo_t* cr, double cx, double cy, double scale, bool up);
    // A soft coloured ring (focus and write indicators).
    static void glowRing(cairo_t* cr, double cx, double cy, double r, Rgb colour, double width);
    // A small glowing lamp.
    static void glowDot(cairo_t* cr, double cx, double cy, double r, Rgb colour);
    // A rounded rectangle path.
    static void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
};
