// Drawing of the level plot with cairo: two panels with grids, tick labels and
// axis titles, three curves and a legend, in the manner of a measurement report.
#include "tools/render/LevelPlot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 500;
constexpr double kLeft = 84, kRight = 1172;
constexpr double kLevelTop = 74, kLevelBottom = 318;
constexpr double kReductionTop = 344, kReductionBottom = 440;
constexpr double kLevelFloorDb = -60.0;
constexpr const char* kFont = "DejaVu Sans";

struct Colour
{
    double r, g, b;
};
constexpr Colour kInk{0.13, 0.14, 0.16};
constexpr Colour kMuted{0.42, 0.44, 0.48};
constexpr Colour kGrid{0.88, 0.89, 0.91};
constexpr Colour kInputColour{0.58, 0.66, 0.76};
constexpr Colour kOutputColour{0.10, 0.36, 0.70};
constexpr Colour kReductionColour{0.80, 0.22, 0.17};

struct Range
{
    double low, high;
};

// A panel maps seconds and dB onto its rectangle.
struct Panel
{
    double top, bottom;
    Range db;
    double duration;

    double x(double seconds) const { return kLeft + (kRight - kLeft) * seconds / duration; }
    double y(double value) const
    {
        const double clamped = std::clamp(value, db.low, db.high);
        return bottom - (bottom - top) * (clamped - db.low) / (db.high - db.low);
    }
};

void setColour(cairo_t* cr, const Colour& c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void setFont(cairo_t* cr, double size, bool bold = false)
{
    const cairo_font_weight_t weight = bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL;
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, weight);
    cairo_set_font_size(cr, size);
}

// Draws `text` anchored at (x, y): xAlign 0 left, 0.5 centre, 1 right; yAlign
// 0 top, 0.5 middle, 1 bottom of the ink.
void drawText(cairo_t* cr, const std::string& text, double x, double y, double xAlign, double yAlign = 0.5)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, x - e.x_advance * xAlign, y - e.y_bearing - e.height * yAlign);
    cairo_show_text(cr, text.c_str());
}

std::string format(int decimals, double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// The smallest of 1, 2, 5 times a power of ten that gives at most `maxTicks` steps.
double niceStep(double span, int maxTicks)
{
    const double raw = span / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10.0 * power;
}

void drawPanelFrame(cairo_t* cr, const Panel& p, double dbStep, const char* axisTitle)
{
    setFont(cr, 11);
    cairo_set_line_width(cr, 1.0);
    for (double v = std::ceil(p.db.low / dbStep) * dbStep; v <= p.db.high + 1e-9; v += dbStep) {
        const double y = std::round(p.y(v)) + 0.5;
        setColour(cr, kGrid);
        cairo_move_to(cr, kLeft, y);
        cairo_line_to(cr, kRight, y);
        cairo_stroke(cr);
        setColour(cr, kMuted);
        drawText(cr, format(0, v == 0.0 ? 0.0 : v), kLeft - 8, y, 1.0);
    }
    const double step = niceStep(p.duration, 12);
    for (double t = 0; t <= p.duration + 1e-9; t += step) {
        const double x = std::round(p.x(t)) + 0.5;
        setColour(cr, kGrid);
        cairo_move_to(cr, x, p.top);
        cairo_line_to(cr, x, p.bottom);
        cairo_stroke(cr);
    }
    setColour(cr, kMuted);
    cairo_rectangle(cr, kLeft + 0.5, p.top + 0.5, kRight - kLeft - 1, p.bottom - p.top - 1);
    cairo_stroke(cr);

    cairo_save(cr);
    setFont(cr, 12);
    setColour(cr, kInk);
    cairo_translate(cr, 22, (p.top + p.bottom) / 2);
    cairo_rotate(cr, -std::numbers::pi / 2);
    drawText(cr, axisTitle, 0, 0, 0.5);
    cairo_restore(cr);
}

void drawTimeAxis(cairo_t* cr, const Panel& p)
{
    setFont(cr, 11);
    setColour(cr, kMuted);
    const double step = niceStep(p.duration, 12);
    // As many decimals as the step needs: 0.05 s steps print "0.05".
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    for (double t = 0; t <= p.duration + 1e-9; t += step)
        drawText(cr, format(decimals, t), p.x(t), p.bottom + 14, 0.5);
    setFont(cr, 12);
    setColour(cr, kInk);
    drawText(cr, "time (s)", (kLeft + kRight) / 2, p.bottom + 36, 0.5);
}

// A curve of one value per window; windows without a value break the line.
template <typename Value>
void strokeCurve(cairo_t* cr, const Panel& p, const LevelSummary& s, double windowSeconds, Value value)
{
    bool drawing = false;
    for (const LevelWindow& w : s.windows) {
        double v = 0;
        if (!value(w, v)) {
            drawing = false;
            continue;
        }
        const double x = p.x(std::min(p.duration, w.seconds + windowSeconds / 2));
        if (drawing)
            cairo_line_to(cr, x, p.y(v));
        else
            cairo_move_to(cr, x, p.y(v));
        drawing = true;
    }
    cairo_stroke(cr);
}

void drawLegend(cairo_t* cr)
{
    struct Entry
    {
        const char* name;
        Colour colour;
    };
    const Entry entries[] = {{"input level", kInputColour}, {"output level", kOutputColour},
                             {"gain reduction", kReductionColour}};
    const double width = 150, rowHeight = 18, x = kRight - width - 10, y = kLevelTop + 10;
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    cairo_rectangle(cr, x, y, width, rowHeight * 3 + 10);
    cairo_fill_preserve(cr);
    setColour(cr, kGrid);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    setFont(cr, 11);
    for (size_t i = 0; i < 3; ++i) {
        const double rowY = y + 5 + rowHeight * (static_cast<double>(i) + 0.5);
        setColour(cr, entries[i].colour);
        cairo_set_line_width(cr, 2.5);
        cairo_move_to(cr, x + 10, rowY);
        cairo_line_to(cr, x + 36, rowY);
        cairo_stroke(cr);
        setColour(cr, kInk);
        drawText(cr, entries[i].name, x + 44, rowY, 0.0);
    }
}

Range levelRange(const LevelSummary& s)
{
    double loudest = kLevelFloorDb;
    for (const LevelWindow& w : s.windows)
        loudest = std::max({loudest, w.inputDb, w.outputDb});
    return {kLevelFloorDb, std::max(0.0, std::ceil((loudest + 1.0) / 6.0) * 6.0)};
}

Range reductionRange(const LevelSummary& s)
{
    return {-std::max(6.0, std::ceil((s.largestReductionDb + 0.5) / 3.0) * 3.0), 0.0};
}

// Few enough ticks to stay legible in the short lower panel.
double reductionStep(const Range& r)
{
    const double span = r.high - r.low;
    return span <= 12.0 ? 3.0 : span <= 24.0 ? 6.0 : 12.0;
}

struct SurfaceDeleter
{
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter
{
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

} // namespace

std::string writeLevelPlot(const std::string& path, const LevelSummary& summary, double durationSeconds,
                           const PlotLabels& labels)
{
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight));
    std::unique_ptr<cairo_t, ContextDeleter> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    setFont(cr, 18, true);
    setColour(cr, kInk);
    drawText(cr, labels.title, kLeft, 26, 0.0);
    setFont(cr, 12);
    setColour(cr, kMuted);
    drawText(cr, labels.subtitle, kLeft, 50, 0.0);

    const double duration = std::max(durationSeconds, 1e-3);
    const double windowSeconds = summary.windows.size() > 1 ? summary.windows[1].seconds : duration;
    const Panel levels{kLevelTop, kLevelBottom, levelRange(summary), duration};
    const Range reduction = reductionRange(summary);
    const Panel gains{kReductionTop, kReductionBottom, reduction, duration};

    drawPanelFrame(cr, levels, 12.0, "level (dBFS)");
    drawPanelFrame(cr, gains, reductionStep(reduction), "reduction (dB)");
    drawTimeAxis(cr, gains);

    cairo_rectangle(cr, kLeft, 0, kRight - kLeft, kHeight);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, kInputColour);
    strokeCurve(cr, levels, summary, windowSeconds, [](const LevelWindow& w, double& v) {
        v = std::isfinite(w.inputDb) ? w.inputDb : kLevelFloorDb;
        return true;
    });
    cairo_set_line_width(cr, 1.6);
    setColour(cr, kOutputColour);
    strokeCurve(cr, levels, summary, windowSeconds, [](const LevelWindow& w, double& v) {
        v = std::isfinite(w.outputDb) ? w.outputDb : kLevelFloorDb;
        return true;
    });
    setColour(cr, kReductionColour);
    strokeCurve(cr, gains, summary, windowSeconds, [](const LevelWindow& w, double& v) {
        v = -w.reductionDb;
        return w.hasReduction;
    });
    cairo_reset_clip(cr);
    drawLegend(cr);

    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        return "cannot write the plot '" + path + "'";
    return {};
}
