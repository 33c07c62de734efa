// Contact sheet layout: items flow left to right in rows on a dark grey card,
// each captioned with its file name and frame.
#include "ContactSheet.h"

#include "PanelArtwork.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSheetWidth = 1640;
constexpr int kSheetHeight = 1620;
constexpr double kGap = 16, kCaption = 14;

class SheetCursor
{
public:
    explicit SheetCursor(Canvas& sheet) : m_sheet(sheet) {}

    void place(const Canvas& image, const std::string& caption, double scale = 1.0, double sourceY = 0,
               double sourceHeight = -1)
    {
        const double h = (sourceHeight < 0 ? image.height() : sourceHeight) * scale;
        cairo_t* cr = m_sheet.context();
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 9);
        cairo_text_extents_t captionExtents;
        cairo_text_extents(cr, caption.c_str(), &captionExtents);
        const double w = std::max(image.width() * scale, captionExtents.x_advance);
        if (m_x + w > kSheetWidth - kGap)
            newRow();
        m_sheet.paintCanvas(image, m_x, m_y, scale, sourceY, sourceHeight);
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, m_x, m_y + h + 10);
        cairo_show_text(cr, caption.c_str());
        m_x += w + kGap;
        m_rowHeight = std::max(m_rowHeight, h + kCaption);
    }

    void newRow()
    {
        m_y += m_rowHeight + kGap;
        m_x = kGap;
        m_rowHeight = 0;
    }

private:
    Canvas& m_sheet;
    double m_x = kGap, m_y = kGap, m_rowHeight = 0;
};

void placeFrames(SheetCursor& cursor, const ArtworkSet& set, const std::string& name, int frameHeight,
                 const std::vector<int>& frames, double scale = 1.0)
{
    for (int k : frames)
        cursor.place(set.image(name), name + " #" + std::to_string(k), scale, static_cast<double>(k) * frameHeight,
                     frameHeight);
}

// The compact panel with its indicators lit: focus on the gain knob and the
// switch, automation writing on the peak knob, the switch and the screw.
std::unique_ptr<Canvas> compactWithIndicators(const ArtworkSet& set, const PanelArtwork::ImageLookup& lookup)
{
    const PanelLayout& l = PanelLayout::compact();
    auto panel = PanelArtwork::composePanel(l, lookup);
    panel->paintCanvas(set.image("sv_knob_focus.png"), l.gain.x, l.gain.y);
    panel->paintCanvas(set.image("sv_knob_write.png"), l.peak.x, l.peak.y);
    panel->paintCanvas(set.image("switch_focus.png"), l.limit.x, l.limit.y);
    panel->paintCanvas(set.image("switch_write.png"), l.limit.x + 1, l.limit.y + 1);
    panel->paintCanvas(set.image("screw_write.png"), l.screw.x, l.screw.y);
    return panel;
}

} // namespace

bool ContactSheet::write(const ArtworkSet& set, const std::string& path)
{
    Canvas sheet(kSheetWidth, kSheetHeight);
    cairo_set_source_rgb(sheet.context(), 0.22, 0.22, 0.23);
    cairo_paint(sheet.context());
    SheetCursor cursor(sheet);
    auto lookup = [&set](const std::string& n) -> const Canvas& { return set.image(n); };

    const auto full = PanelArtwork::composePanel(PanelLayout::full(), lookup);
    const auto compact = PanelArtwork::composePanel(PanelLayout::compact(), lookup);
    cursor.place(*full, "full panel (ol_background.bmp with controls at their defaults)");
    cursor.place(*compact, "compact panel (sv_background.bmp)");
    cursor.place(*compactWithIndicators(set, lookup), "compact panel, focus and write indicators");
    cursor.newRow();
    cursor.place(set.image("ol_background.bmp"), "ol_background.bmp");
    cursor.place(set.image("sv_background.bmp"), "sv_background.bmp");
    cursor.place(set.image("ol-7t_sv_about.bmp"), "ol-7t_sv_about.bmp");
    cursor.newRow();
    cursor.place(set.image("ol_about.png"), "ol_about.png");
    cursor.place(set.image("SV_Thumbnail.bmp"), "SV_Thumbnail.bmp");
    cursor.place(set.image("SV_Inactive.bmp"), "SV_Inactive.bmp");
    cursor.newRow();
    placeFrames(cursor, set, "ol_knob1.png", 86, {0, 15, 30, 45, 60, 75, 90, 105, 120, 135, 150});
    placeFrames(cursor, set, "ol_knob2.png", 86, {0, 1, 2, 3});
    placeFrames(cursor, set, "sv_knob1.png", 59, {0, 30, 75, 120, 150});
    placeFrames(cursor, set, "sv_knob2.png", 59, {0, 1, 2, 3});
    placeFrames(cursor, set, "screw.png", 32, {0, 38, 75, 112, 150}, 2.0);
    placeFrames(cursor, set, "switch.png", 47, {0, 1}, 2.0);
    cursor.newRow();
    placeFrames(cursor, set, "ol_meter.png", 61, {0, 20, 40, 53, 66, 83}, 2.0);
    cursor.newRow();
    placeFrames(cursor, set, "sv_meter.png", 45, {0, 12, 24, 36, 52, 60, 70, 83}, 1.5);
    cursor.newRow();
    for (const char* name : {"sv_knob_focus.png", "sv_knob_write.png", "screw_focus.png", "screw_write.png",
                             "switch_focus.png", "switch_write.png"})
        cursor.place(set.image(name), name, 2.0);
    return sheet.writePng(path);
}
