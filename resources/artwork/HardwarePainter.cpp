// Vector drawing of panel finishes, lettering and the turning parts. The light
// falls from the upper left everywhere; only pointers, slots and flutes turn with
// a part, never its shading, so a turning knob keeps its look.
#include "HardwarePainter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kCream{0.95, 0.91, 0.80};
constexpr double kLightDegrees = -45.0; // light from the upper left

double radians(double degrees) { return degrees * kPi / 180.0; }

// Small deterministic generator for the metal grain.
class Grain
{
public:
    explicit Grain(uint32_t seed) : m_state(seed ? seed : 1u) {}
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / static_cast<double>(1u << 24);
    }

private:
    uint32_t m_state;
};

void setRgb(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

// A light-to-dark edge gradient across a disc of radius r at (cx, cy): the rim
// catches the light at the upper left and falls into shade at the lower right.
cairo_pattern_t* rimLight(double cx, double cy, double r, double light, double shade)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 1, 1, light);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0, 0, 0, shade);
    return p;
}

void strokeWith(cairo_t* cr, cairo_pattern_t* pattern, double width, bool preserve = false)
{
    cairo_set_source(cr, pattern);
    cairo_set_line_width(cr, width);
    if (preserve)
        cairo_stroke_preserve(cr);
    else
        cairo_stroke(cr);
    cairo_pattern_destroy(pattern);
}

void fillWith(cairo_t* cr, cairo_pattern_t* pattern, bool preserve = false)
{
    cairo_set_source(cr, pattern);
    if (preserve)
        cairo_fill_preserve(cr);
    else
        cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void circle(cairo_t* cr, double cx, double cy, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_close_path(cr);
}

void selectFont(cairo_t* cr, double size, bool bold, double condense)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, size * condense, size);
    cairo_set_font_matrix(cr, &m);
}

// Black bakelite: a little warm, glossy towards the light.
cairo_pattern_t* bakeliteFill(double cx, double cy, double r)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 0.35 * r, cy - 0.45 * r, 0.0, cx, cy, 1.15 * r);
    cairo_pattern_add_color_stop_rgb(p, 0.0, 0.38, 0.36, 0.34);
    cairo_pattern_add_color_stop_rgb(p, 0.55, 0.10, 0.095, 0.09);
    cairo_pattern_add_color_stop_rgb(p, 1.0, 0.035, 0.03, 0.03);
    return p;
}

void glint(cairo_t* cr, double x, double y, double r, double alpha)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 1, 1, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 1, 1, 1, 0.0);
    circle(cr, x, y, r);
    fillWith(cr, p);
}

// A cream pointer line cut into bakelite: a dark groove under the paint.
void pointerLine(cairo_t* cr, double cx, double cy, double angleDegrees, double r0, double r1, double width)
{
    const double s = std::sin(radians(angleDegrees)), c = -std::cos(radians(angleDegrees));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx + r0 * s, cy + r0 * c);
    cairo_line_to(cr, cx + r1 * s, cy + r1 * c);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_set_line_width(cr, width * 1.6);
    cairo_stroke_preserve(cr);
    setRgb(cr, kCream);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

} // namespace

void HardwarePainter::roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void HardwarePainter::brushedMetal(cairo_t* cr, double x, double y, double w, double h, Rgb base, uint32_t seed)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);

    cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(body, 0.0, base.r + 0.05, base.g + 0.05, base.b + 0.05);
    cairo_pattern_add_color_stop_rgb(body, 1.0, base.r - 0.06, base.g - 0.06, base.b - 0.06);
    cairo_rectangle(cr, x, y, w, h);
    fillWith(cr, body);

    Grain grain(seed);
    const int strokes = static_cast<int>(h * 12);
    for (int i = 0; i < strokes; ++i) {
        const double ly = y + grain.next() * h;
        const double len = w * (0.15 + 0.85 * grain.next());
        const double lx = x - 0.1 * w + grain.next() * (1.2 * w - len);
        const bool light = grain.next() < 0.5;
        const double alpha = 0.012 + 0.03 * grain.next();
        cairo_set_source_rgba(cr, light ? 1 : 0, light ? 1 : 0, light ? 1 : 0, alpha);
        cairo_set_line_width(cr, 0.3 + 0.7 * grain.next());
        cairo_move_to(cr, lx, ly);
        cairo_line_to(cr, lx + len, ly);
        cairo_stroke(cr);
    }

    // A broad sheen where the light strikes the brushing.
    cairo_pattern_t* sheen = cairo_pattern_create_linear(x, 0, x + w, 0);
    cairo_pattern_add_color_stop_rgba(sheen, 0.0, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(sheen, 0.3, 1, 1, 1, 0.10);
    cairo_pattern_add_color_stop_rgba(sheen, 0.55, 1, 1, 1, 0.02);
    cairo_pattern_add_color_stop_rgba(sheen, 0.8, 1, 1, 1, 0.07);
    cairo_pattern_add_color_stop_rgba(sheen, 1.0, 1, 1, 1, 0.0);
    cairo_rectangle(cr, x, y, w, h);
    fillWith(cr, sheen);
    cairo_restore(cr);
}

void HardwarePainter::enamel(cairo_t* cr, double x, double y, double w, double h, Rgb base)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0.0, base.r + 0.06, base.g + 0.06, base.b + 0.06);
    cairo_pattern_add_color_stop_rgb(p, 0.45, base.r, base.g, base.b);
    cairo_pattern_add_color_stop_rgb(p, 1.0, base.r - 0.04, base.g - 0.04, base.b - 0.04);
    cairo_rectangle(cr, x, y, w, h);
    fillWith(cr, p);
}

void HardwarePainter::softShadow(cairo_t* cr, const PathBuilder& path, double dx, double dy, double spread,
                                 double alpha)
{
    constexpr int kLayers = 8;
    cairo_save(cr);
    cairo_translate(cr, dx, dy);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = kLayers; i >= 1; --i) {
        cairo_new_path(cr);
        path(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, alpha / kLayers);
        cairo_set_line_width(cr, 2.0 * spread * i / kLayers);
        cairo_stroke_preserve(cr);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

double HardwarePainter::textWidth(cairo_t* cr, const std::string& text, double size, bool bold, double condense)
{
    cairo_save(cr);
    selectFont(cr, size, bold, condense);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

void HardwarePainter::engravedText(cairo_t* cr, const std::string& text, double x, double baseline, double size,
                                   TextAlign align, Rgb ink, bool bold, double condense)
{
    const double width = textWidth(cr, text, size, bold, condense);
    const double left = align == TextAlign::Left ? x : align == TextAlign::Centre ? x - width / 2 : x - width;
    const bool darkInk = ink.r + ink.g + ink.b < 1.5;

    cairo_save(cr);
    selectFont(cr, size, bold, condense);
    if (darkInk) {
        cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
        cairo_move_to(cr, left + 0.3, baseline + 0.75);
    } else {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
        cairo_move_to(cr, left - 0.2, baseline - 0.7);
    }
    cairo_show_text(cr, text.c_str());
    setRgb(cr, ink);
    cairo_move_to(cr, left, baseline);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

void HardwarePainter::dialScale(cairo_t* cr, double cx, double cy, double rInner, double rOuter,
                                const std::vector<double>& tickAngles, const std::vector<double>& majorAngles,
                                const std::vector<std::string>& labels, double labelRadius, double fontSize,
                                Rgb ink)
{
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    auto tick = [&](double angle, double r0, double width) {
        const double s = std::sin(radians(angle)), c = -std::cos(radians(angle));
        // The light lip first, so each cut reads as engraved.
        cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
        cairo_set_line_width(cr, width);
        cairo_move_to(cr, cx + r0 * s + 0.3, cy + r0 * c + 0.7);
        cairo_line_to(cr, cx + rOuter * s + 0.3, cy + rOuter * c + 0.7);
        cairo_stroke(cr);
        setRgb(cr, ink);
        cairo_move_to(cr, cx + r0 * s, cy + r0 * c);
        cairo_line_to(cr, cx + rOuter * s, cy + rOuter * c);
        cairo_stroke(cr);
    };
    const double minorStart = rInner + 0.45 * (rOuter - rInner);
    for (double a : tickAngles)
        tick(a, minorStart, std::max(0.7, 0.045 * rOuter));
    for (double a : majorAngles)
        tick(a, rInner, std::max(1.0, 0.07 * rOuter));
    for (size_t i = 0; i < labels.size() && i < majorAngles.size(); ++i) {
        const double a = radians(majorAngles[i]);
        const double lx = cx + labelRadius * std::sin(a), ly = cy - labelRadius * std::cos(a);
        engravedText(cr, labels[i], lx, ly + 0.36 * fontSize, fontSize, TextAlign::Centre, ink, true, 0.9);
    }
    cairo_restore(cr);
}

namespace {

// The knob's skirt: a shallow polished cone, darker towards its edge, with the
// outer part of the pointer.
void knobSkirt(cairo_t* cr, double cx, double cy, double R, double angleDegrees)
{
    circle(cr, cx, cy, R);
    fillWith(cr, bakeliteFill(cx, cy, R), true);
    cairo_pattern_t* cone = cairo_pattern_create_radial(cx, cy, 0.7 * R, cx, cy, R);
    cairo_pattern_add_color_stop_rgba(cone, 0.0, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(cone, 1.0, 0, 0, 0, 0.35);
    fillWith(cr, cone);
    circle(cr, cx, cy, R - 0.6);
    strokeWith(cr, rimLight(cx, cy, R, 0.45, 0.6), 1.2);
    pointerLine(cr, cx, cy, angleDegrees, 0.8 * R, 0.95 * R, 0.075 * R);
}

// Fluted grip from radius `inner` to `grip`: the flutes turn with the knob; the
// light on them does not.
void flutedGrip(cairo_t* cr, double cx, double cy, double R, double inner, double grip, double angleDegrees)
{
    constexpr int kFlutes = 30;
    constexpr int kSteps = kFlutes * 16;
    const double depth = 0.035 * R;
    HardwarePainter::softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, grip); }, 0.04 * R, 0.07 * R, 0.08 * R, 0.5);
    cairo_new_path(cr);
    for (int i = 0; i <= kSteps; ++i) {
        const double phi = 2 * kPi * i / kSteps;
        const double r = grip - depth * (0.5 - 0.5 * std::cos(kFlutes * phi));
        const double a = phi + radians(angleDegrees);
        cairo_line_to(cr, cx + r * std::sin(a), cy - r * std::cos(a));
    }
    cairo_close_path(cr);
    cairo_pattern_t* wall = cairo_pattern_create_linear(cx, cy - grip, cx, cy + grip);
    cairo_pattern_add_color_stop_rgb(wall, 0.0, 0.25, 0.24, 0.23);
    cairo_pattern_add_color_stop_rgb(wall, 1.0, 0.03, 0.03, 0.03);
    fillWith(cr, wall, true);
    strokeWith(cr, rimLight(cx, cy, grip, 0.5, 0.5), 0.8);

    // Each flute's crest catches the light according to where it faces now.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, std::max(0.6, 0.03 * R));
    for (int i = 0; i < kFlutes; ++i) {
        const double a = radians(angleDegrees) + 2 * kPi * i / kFlutes;
        const double facing = std::cos(a - radians(kLightDegrees));
        const double s = std::sin(a), c = -std::cos(a);
        cairo_move_to(cr, cx + (inner + 0.8) * s, cy + (inner + 0.8) * c);
        cairo_line_to(cr, cx + (grip - depth - 0.3) * s, cy + (grip - depth - 0.3) * c);
        if (facing > 0)
            cairo_set_source_rgba(cr, 1, 1, 1, 0.28 * facing);
        else
            cairo_set_source_rgba(cr, 0, 0, 0, -0.35 * facing);
        cairo_stroke(cr);
    }
}

// Dished bakelite cap holding a satin aluminium insert with a black index line.
void capWithInsert(cairo_t* cr, double cx, double cy, double R, double cap, double angleDegrees)
{
    circle(cr, cx, cy, cap);
    fillWith(cr, bakeliteFill(cx, cy, cap));
    circle(cr, cx, cy, cap - 0.5);
    cairo_pattern_t* lip = cairo_pattern_create_linear(cx - cap, cy - cap, cx + cap, cy + cap);
    cairo_pattern_add_color_stop_rgba(lip, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(lip, 0.5, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(lip, 1.0, 1, 1, 1, 0.3);
    strokeWith(cr, lip, 1.0);
    pointerLine(cr, cx, cy, angleDegrees, 0.5 * R, 0.68 * R, 0.08 * R);

    const double insert = 0.42 * R;
    circle(cr, cx, cy, insert);
    cairo_pattern_t* satin = cairo_pattern_create_linear(cx - insert, cy - insert, cx + insert, cy + insert);
    cairo_pattern_add_color_stop_rgb(satin, 0.0, 0.93, 0.92, 0.89);
    cairo_pattern_add_color_stop_rgb(satin, 0.5, 0.72, 0.71, 0.68);
    cairo_pattern_add_color_stop_rgb(satin, 1.0, 0.52, 0.51, 0.49);
    fillWith(cr, satin);
    // Turned rings of the machined surface.
    for (int ring = 1; ring < 6; ++ring) {
        circle(cr, cx, cy, insert * ring / 6.0);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.08 + 0.03 * (ring % 2));
        cairo_set_line_width(cr, 0.5);
        cairo_stroke(cr);
    }
    circle(cr, cx, cy, insert);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);

    const double s = std::sin(radians(angleDegrees)), c = -std::cos(radians(angleDegrees));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx + 0.12 * R * s, cy + 0.12 * R * c);
    cairo_line_to(cr, cx + (insert - 1.0) * s, cy + (insert - 1.0) * c);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    cairo_set_line_width(cr, 0.07 * R);
    cairo_stroke(cr);
}

} // namespace

void HardwarePainter::bakeliteKnob(cairo_t* cr, double cx, double cy, double R, double angleDegrees)
{
    softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, R); }, 0.07 * R, 0.13 * R, 0.2 * R, 0.6);
    knobSkirt(cr, cx, cy, R, angleDegrees);
    const double cap = 0.6 * R;
    flutedGrip(cr, cx, cy, R, cap, 0.74 * R, angleDegrees);
    capWithInsert(cr, cx, cy, R, cap, angleDegrees);
    glint(cr, cx - 0.3 * R, cy - 0.36 * R, 0.38 * R, 0.16);
    // The polished skirt reflects the light in a crescent on its lit side.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 0.87 * R, radians(kLightDegrees - 90 - 35), radians(kLightDegrees - 90 + 35));
    cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
    cairo_set_line_width(cr, 0.1 * R);
    cairo_stroke(cr);
}

void HardwarePainter::pointerKnob(cairo_t* cr, double cx, double cy, double R, double angleDegrees)
{
    auto shape = [&](cairo_t* c) {
        cairo_save(c);
        cairo_translate(c, cx, cy);
        cairo_rotate(c, radians(angleDegrees));
        circle(c, 0, 0, 0.6 * R);
        cairo_new_sub_path(c);
        cairo_move_to(c, -0.3 * R, -0.4 * R);
        cairo_line_to(c, -0.1 * R, -0.9 * R);
        cairo_arc(c, 0, -0.9 * R, 0.1 * R, kPi, 2 * kPi);
        cairo_line_to(c, 0.3 * R, -0.4 * R);
        cairo_close_path(c);
        cairo_restore(c);
    };
    softShadow(cr, shape, 0.07 * R, 0.12 * R, 0.16 * R, 0.6);

    cairo_new_path(cr);
    shape(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    fillWith(cr, bakeliteFill(cx, cy, R), true);
    strokeWith(cr, rimLight(cx, cy, R, 0.5, 0.6), 1.0);

    // Domed top of the body.
    const double dome = 0.45 * R;
    circle(cr, cx, cy, dome);
    fillWith(cr, bakeliteFill(cx, cy, dome), true);
    strokeWith(cr, rimLight(cx, cy, dome, 0.35, 0.5), 0.8);

    pointerLine(cr, cx, cy, angleDegrees, 0.12 * R, 0.9 * R, 0.07 * R);
    glint(cr, cx - 0.22 * R, cy - 0.26 * R, 0.3 * R, 0.18);
}

void HardwarePainter::trimScrew(cairo_t* cr, double cx, double cy, double r, double angleDegrees)
{
    // Countersink in the panel.
    circle(cr, cx, cy, r + 1.6);
    cairo_pattern_t* sink = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
    cairo_pattern_add_color_stop_rgba(sink, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(sink, 1.0, 1, 1, 1, 0.35);
    fillWith(cr, sink);
    softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, r); }, 0.5, 0.9, 1.4, 0.5);

    circle(cr, cx, cy, r);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - 0.3 * r, cy - 0.35 * r, 0, cx, cy, 1.1 * r);
    cairo_pattern_add_color_stop_rgb(head, 0.0, 0.98, 0.97, 0.94);
    cairo_pattern_add_color_stop_rgb(head, 0.5, 0.74, 0.73, 0.70);
    cairo_pattern_add_color_stop_rgb(head, 1.0, 0.40, 0.39, 0.37);
    fillWith(cr, head);
    circle(cr, cx, cy, r - 0.4);
    strokeWith(cr, rimLight(cx, cy, r, 0.6, 0.5), 0.8);

    // The slot and its index dot turn; the slot's shaded wall stays on the lit side.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, radians(angleDegrees));
    roundedRect(cr, -0.13 * r, -0.66 * r, 0.26 * r, 1.32 * r, 0.06 * r);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0.13, 0.12, 0.11);
    cairo_fill(cr);
    const double s = std::sin(radians(angleDegrees)), c = -std::cos(radians(angleDegrees));
    circle(cr, cx + 0.83 * r * s, cy + 0.83 * r * c, 0.11 * r);
    cairo_set_source_rgb(cr, 0.86, 0.12, 0.08);
    cairo_fill(cr);
}

void HardwarePainter::panelScrew(cairo_t* cr, double cx, double cy, double r, double angleDegrees)
{
    softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, r); }, 0.4, 0.8, 1.2, 0.45);
    circle(cr, cx, cy, r);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - 0.3 * r, cy - 0.35 * r, 0, cx, cy, 1.1 * r);
    cairo_pattern_add_color_stop_rgb(head, 0.0, 0.92, 0.91, 0.88);
    cairo_pattern_add_color_stop_rgb(head, 1.0, 0.42, 0.41, 0.39);
    fillWith(cr, head);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, radians(angleDegrees));
    cairo_rectangle(cr, -0.8 * r, -0.12 * r, 1.6 * r, 0.24 * r);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.85);
    cairo_fill(cr);
}

void HardwarePainter::toggleSwitch(cairo_t* cr, double cx, double cy, double s, bool up)
{
    // Washer and hex nut.
    softShadow(cr, [&](cairo_t* c) { circle(c, cx, cy, 10.5 * s); }, 0.8 * s, 1.4 * s, 1.8 * s, 0.5);
    circle(cr, cx, cy, 10.5 * s);
    cairo_pattern_t* washer = cairo_pattern_create_radial(cx - 3 * s, cy - 4 * s, 0, cx, cy, 12 * s);
    cairo_pattern_add_color_stop_rgb(washer, 0.0, 0.93, 0.92, 0.90);
    cairo_pattern_add_color_stop_rgb(washer, 1.0, 0.45, 0.44, 0.42);
    fillWith(cr, washer);
    circle(cr, cx, cy, 10.1 * s);
    strokeWith(cr, rimLight(cx, cy, 10.5 * s, 0.7, 0.5), 0.8);

    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 6 + i * kPi / 3;
        cairo_line_to(cr, cx + 7.4 * s * std::cos(a), cy + 7.4 * s * std::sin(a));
    }
    cairo_close_path(cr);
    cairo_pattern_t* nut = cairo_pattern_create_linear(cx - 7 * s, cy - 7 * s, cx + 7 * s, cy + 7 * s);
    cairo_pattern_add_color_stop_rgb(nut, 0.0, 0.97, 0.96, 0.94);
    cairo_pattern_add_color_stop_rgb(nut, 0.45, 0.70, 0.69, 0.67);
    cairo_pattern_add_color_stop_rgb(nut, 1.0, 0.38, 0.37, 0.36);
    fillWith(cr, nut, true);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    circle(cr, cx, cy, 3.9 * s);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    cairo_fill(cr);

    // The bat lever, foreshortened towards the viewer.
    const double dir = up ? -1.0 : 1.0;
    const double tipY = cy + dir * 15.5 * s;
    auto lever = [&](cairo_t* c) {
        cairo_move_to(c, cx - 2.6 * s, cy);
        cairo_line_to(c, cx - 1.8 * s, tipY);
        cairo_line_to(c, cx + 1.8 * s, tipY);
        cairo_line_to(c, cx + 2.6 * s, cy);
        cairo_close_path(c);
        circle(c, cx, tipY, 3.7 * s);
    };
    softShadow(cr, lever, 2.2 * s, 3.0 * s, 1.6 * s, 0.45);
    cairo_new_path(cr);
    lever(cr);
    cairo_pattern_t* chrome = cairo_pattern_create_linear(cx - 3.7 * s, 0, cx + 3.7 * s, 0);
    cairo_pattern_add_color_stop_rgb(chrome, 0.0, 0.35, 0.35, 0.35);
    cairo_pattern_add_color_stop_rgb(chrome, 0.35, 0.98, 0.98, 0.97);
    cairo_pattern_add_color_stop_rgb(chrome, 0.6, 0.62, 0.62, 0.61);
    cairo_pattern_add_color_stop_rgb(chrome, 1.0, 0.28, 0.28, 0.28);
    fillWith(cr, chrome);
    circle(cr, cx, tipY, 3.7 * s);
    cairo_pattern_t* ball = cairo_pattern_create_radial(cx - 1.2 * s, tipY - 1.4 * s, 0, cx, tipY, 4 * s);
    cairo_pattern_add_color_stop_rgb(ball, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(ball, 0.6, 0.62, 0.62, 0.61);
    cairo_pattern_add_color_stop_rgb(ball, 1.0, 0.30, 0.30, 0.30);
    fillWith(cr, ball);
}

void HardwarePainter::glowRing(cairo_t* cr, double cx, double cy, double r, Rgb colour, double width)
{
    for (double w : {4.0, 2.6, 1.7})
    {
        circle(cr, cx, cy, r);
        setRgb(cr, colour, 0.16);
        cairo_set_line_width(cr, width * w);
        cairo_stroke(cr);
    }
    circle(cr, cx, cy, r);
    setRgb(cr, colour, 0.95);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void HardwarePainter::glowDot(cairo_t* cr, double cx, double cy, double r, Rgb colour)
{
    cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, 0, cx, cy, 2.4 * r);
    cairo_pattern_add_color_stop_rgba(halo, 0.0, colour.r, colour.g, colour.b, 0.8);
    cairo_pattern_add_color_stop_rgba(halo, 1.0, colour.r, colour.g, colour.b, 0.0);
    circle(cr, cx, cy, 2.4 * r);
    fillWith(cr, halo);
    circle(cr, cx, cy, r);
    cairo_pattern_t* lamp = cairo_pattern_create_radial(cx - 0.3 * r, cy - 0.3 * r, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(lamp, 0.0, 1.0, 0.95, 0.85);
    cairo_pattern_add_color_stop_rgb(lamp, 1.0, colour.r, colour.g, colour.b);
    fillWith(cr, lamp);
}
