// VU meter face painting. The marks come from the meter's own mapping, so the
// needle of frame k stands on the printed value that the effect means by the
// position k / 83; the rest mark is the 0 at the start of the red region.
#include "MeterFace.h"

#include "HardwarePainter.h"

#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kInk{0.10, 0.09, 0.08};
constexpr Rgb kRed{0.76, 0.10, 0.07};

double radians(double degrees) { return degrees * kPi / 180.0; }

} // namespace

MeterFace::MeterFace(MeterPanel panel)
    : m_scale(panel), m_geometry(geometry(panel))
{
    m_dial = std::make_unique<Canvas>(m_geometry.width, m_geometry.height);
    paintDial(m_dial->context());
}

MeterGeometry MeterFace::geometry(MeterPanel panel)
{
    if (panel == MeterPanel::Full)
        return {130, 61, 65.0, 88.0, 71.0, 78.5, 7.2, 11.5, 1.05};
    return {113, 45, 56.5, 68.0, 54.0, 60.5, 9.7, 9.0, 0.95};
}

void MeterFace::paintDial(cairo_t* cr) const
{
    const MeterGeometry& g = m_geometry;

    // Warm cream card, lit from behind by the meter lamp.
    cairo_pattern_t* card = cairo_pattern_create_radial(g.pivotX, g.height * 0.75, 0, g.pivotX, g.height * 0.6,
                                                        g.width * 0.75);
    cairo_pattern_add_color_stop_rgb(card, 0.0, 0.99, 0.94, 0.78);
    cairo_pattern_add_color_stop_rgb(card, 0.6, 0.95, 0.89, 0.70);
    cairo_pattern_add_color_stop_rgb(card, 1.0, 0.84, 0.76, 0.56);
    cairo_rectangle(cr, 0, 0, g.width, g.height);
    cairo_set_source(cr, card);
    cairo_fill(cr);
    cairo_pattern_destroy(card);

    const double rest = m_scale.positionForReduction(0.0);
    auto angleOf = [](double p) { return radians(MeterScale::angleForPosition(p) - 90.0); };

    // Red region from the rest mark to the right stop, then the black arc.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_new_path(cr);
    cairo_arc(cr, g.pivotX, g.pivotY, g.scaleRadius + 1.6, angleOf(rest), angleOf(1.0));
    cairo_set_source_rgb(cr, kRed.r, kRed.g, kRed.b);
    cairo_set_line_width(cr, 3.2);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, g.pivotX, g.pivotY, g.scaleRadius, angleOf(0.0), angleOf(1.0));
    cairo_set_source_rgb(cr, kInk.r, kInk.g, kInk.b);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);

    constexpr double kLabelGap = 1.5;
    double lastRight = -1e9;
    for (const MeterMark& mark : m_scale.marks()) {
        const double a = angleOf(mark.position);
        const double outer = g.scaleRadius + (mark.major ? 4.6 : 3.0);
        const Rgb ink = mark.db > 0 ? kRed : kInk;
        cairo_move_to(cr, g.pivotX + g.scaleRadius * std::cos(a), g.pivotY + g.scaleRadius * std::sin(a));
        cairo_line_to(cr, g.pivotX + outer * std::cos(a), g.pivotY + outer * std::sin(a));
        cairo_set_source_rgb(cr, kInk.r, kInk.g, kInk.b);
        cairo_set_line_width(cr, mark.major ? 1.0 : 0.7);
        cairo_stroke(cr);
        if (!mark.major)
            continue;
        const std::string text = std::to_string(std::abs(mark.db));
        const double lx = g.pivotX + g.labelRadius * std::cos(a);
        const double ly = g.pivotY + g.labelRadius * std::sin(a) + 0.36 * g.fontSize;
        // On a small face a number that would touch the one before is left out.
        const double half = HardwarePainter::textWidth(cr, text, g.fontSize, false, 0.92) / 2;
        if (lx - half < lastRight + kLabelGap)
            continue;
        lastRight = lx + half;
        HardwarePainter::engravedText(cr, text, lx, ly, g.fontSize, TextAlign::Centre, ink, false, 0.92);
    }

    // Sign marks inside the arc at both ends, and the VU legend under the pivot.
    const double signRadius = g.scaleRadius - 0.17 * g.scaleRadius;
    const double aMinus = angleOf(0.06), aPlus = angleOf(0.94);
    HardwarePainter::engravedText(cr, "\xE2\x80\x93", g.pivotX + signRadius * std::cos(aMinus),
                                  g.pivotY + signRadius * std::sin(aMinus) + 0.4 * g.fontSize, g.fontSize * 1.2,
                                  TextAlign::Centre, kInk, true);
    HardwarePainter::engravedText(cr, "+", g.pivotX + signRadius * std::cos(aPlus),
                                  g.pivotY + signRadius * std::sin(aPlus) + 0.4 * g.fontSize, g.fontSize * 1.2,
                                  TextAlign::Centre, kRed, true);

    cairo_save(cr);
    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, g.vuSize);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, "VU", &ext);
    cairo_move_to(cr, g.pivotX - ext.x_advance / 2, g.height - 0.42 * g.vuSize);
    cairo_set_source_rgb(cr, kInk.r, kInk.g, kInk.b);
    cairo_show_text(cr, "VU");
    cairo_restore(cr);
}

void MeterFace::paintNeedle(cairo_t* cr, double position) const
{
    const MeterGeometry& g = m_geometry;
    const double a = radians(MeterScale::angleForPosition(position) - 90.0);
    const double tip = g.scaleRadius + 5.0;
    const double tx = g.pivotX + tip * std::cos(a), ty = g.pivotY + tip * std::sin(a);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Shadow cast on the card by the lamp behind the glass.
    cairo_move_to(cr, g.pivotX + 1.6, g.pivotY + 2.2);
    cairo_line_to(cr, tx + 1.6, ty + 2.2);
    cairo_set_source_rgba(cr, 0.25, 0.15, 0.0, 0.22);
    cairo_set_line_width(cr, g.needleWidth * 2.0);
    cairo_stroke(cr);

    cairo_move_to(cr, g.pivotX, g.pivotY);
    cairo_line_to(cr, tx, ty);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_set_line_width(cr, g.needleWidth);
    cairo_stroke(cr);
}

void MeterFace::paintGlass(cairo_t* cr) const
{
    const MeterGeometry& g = m_geometry;
    // The bezel's shadow falls on the card at the top and the sides.
    auto edge = [&](double x0, double y0, double x1, double y1, double alpha) {
        cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
        cairo_pattern_add_color_stop_rgba(p, 0.0, 0.1, 0.06, 0.0, alpha);
        cairo_pattern_add_color_stop_rgba(p, 1.0, 0.1, 0.06, 0.0, 0.0);
        cairo_rectangle(cr, 0, 0, g.width, g.height);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    };
    edge(0, 0, 0, 7, 0.45);
    edge(0, 0, 5, 0, 0.3);
    edge(g.width, 0, g.width - 5, 0, 0.3);
    edge(0, g.height, 0, g.height - 3, 0.25);

    // A faint reflection across the upper left of the glass.
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, g.width * 0.55, 0);
    cairo_line_to(cr, g.width * 0.25, g.height);
    cairo_line_to(cr, 0, g.height);
    cairo_close_path(cr);
    cairo_pattern_t* shine = cairo_pattern_create_linear(0, 0, g.width * 0.4, g.height);
    cairo_pattern_add_color_stop_rgba(shine, 0.0, 1, 1, 1, 0.16);
    cairo_pattern_add_color_stop_rgba(shine, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, shine);
    cairo_fill(cr);
    cairo_pattern_destroy(shine);
}

void MeterFace::paintFrame(cairo_t* cr, int frame) const
{
    cairo_set_source_surface(cr, m_dial->surface(), 0, 0);
    cairo_paint(cr);
    paintNeedle(cr, MeterScale::positionOfFrame(frame));
    paintGlass(cr);
}
