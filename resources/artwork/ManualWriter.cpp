// Manual typesetting: A4 pages, a running footer, word-wrapped paragraphs.
#include "ManualWriter.h"

#include "PanelArtwork.h"

#include <cairo-pdf.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace {

constexpr double kPageWidth = 595.0, kPageHeight = 842.0; // A4 in points
constexpr double kMargin = 62.0, kBottom = 780.0;
constexpr double kTextWidth = kPageWidth - 2 * kMargin;

enum class BlockKind { Title, Heading, Paragraph, Bullet, Term, Code, Figure, Page };

struct Block
{
    BlockKind kind;
    std::string text;
    std::string term; // Term: the term; Figure: which panel
};

std::vector<Block> parse(std::istream& in)
{
    std::vector<Block> blocks;
    std::string line;
    bool continuing = false; // the last block takes continuation lines
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) {
            continuing = false;
        } else if (line.rfind("## ", 0) == 0) {
            blocks.push_back({BlockKind::Heading, line.substr(3), ""});
            continuing = false;
        } else if (line.rfind("# ", 0) == 0) {
            blocks.push_back({BlockKind::Title, line.substr(2), ""});
            continuing = false;
        } else if (line.rfind("- ", 0) == 0) {
            blocks.push_back({BlockKind::Bullet, line.substr(2), ""});
            continuing = true;
        } else if (line.rfind("= ", 0) == 0) {
            const size_t colon = line.find(':');
            const std::string term = line.substr(2, colon == std::string::npos ? std::string::npos : colon - 2);
            const std::string text = colon == std::string::npos ? "" : line.substr(colon + 1);
            blocks.push_back({BlockKind::Term, text, term});
            continuing = true;
        } else if (line.rfind("@figure ", 0) == 0) {
            std::istringstream words(line.substr(8));
            std::string which, caption;
            words >> which;
            std::getline(words >> std::ws, caption);
            blocks.push_back({BlockKind::Figure, caption, which});
            continuing = false;
        } else if (line.rfind("    ", 0) == 0) {
            blocks.push_back({BlockKind::Code, line.substr(4), ""});
            continuing = false;
        } else if (line == "@page") {
            blocks.push_back({BlockKind::Page, "", ""});
            continuing = false;
        } else if (continuing && !blocks.empty()) {
            blocks.back().text += " " + line.substr(line.find_first_not_of(' '));
        } else {
            blocks.push_back({BlockKind::Paragraph, line, ""});
            continuing = true;
        }
    }
    return blocks;
}

class PageSetter
{
public:
    PageSetter(cairo_t* cr, const ArtworkSet& artwork) : m_cr(cr), m_artwork(artwork) { startPage(); }

    void set(const Block& b)
    {
        switch (b.kind) {
        case BlockKind::Title:
            font(24, true);
            need(60);
            cairo_set_source_rgb(m_cr, 0.08, 0.08, 0.09);
            cairo_move_to(m_cr, kMargin, m_y + 24);
            cairo_show_text(m_cr, b.text.c_str());
            m_y += 34;
            rule(0.78, 0.62, 0.32, 1.5);
            m_y += 14;
            break;
        case BlockKind::Heading:
            need(60);
            m_y += 10;
            font(14, true);
            cairo_set_source_rgb(m_cr, 0.42, 0.10, 0.06);
            cairo_move_to(m_cr, kMargin, m_y + 14);
            cairo_show_text(m_cr, b.text.c_str());
            m_y += 24;
            break;
        case BlockKind::Paragraph:
            wrap(b.text, kMargin, kTextWidth);
            m_y += 7;
            break;
        case BlockKind::Bullet:
            need(14);
            font(10, false);
            cairo_move_to(m_cr, kMargin + 6, m_y + 10);
            cairo_show_text(m_cr, "\xE2\x80\xA2");
            wrap(b.text, kMargin + 18, kTextWidth - 18);
            m_y += 4;
            break;
        case BlockKind::Term:
            need(28);
            font(10, true);
            cairo_set_source_rgb(m_cr, 0.08, 0.08, 0.09);
            cairo_move_to(m_cr, kMargin, m_y + 10);
            cairo_show_text(m_cr, b.term.c_str());
            m_y += 14;
            wrap(b.text, kMargin + 18, kTextWidth - 18);
            m_y += 6;
            break;
        case BlockKind::Code:
            need(20);
            cairo_select_font_face(m_cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
            cairo_set_font_size(m_cr, 9.5);
            cairo_rectangle(m_cr, kMargin, m_y, kTextWidth, 18);
            cairo_set_source_rgb(m_cr, 0.93, 0.92, 0.89);
            cairo_fill(m_cr);
            cairo_set_source_rgb(m_cr, 0.1, 0.1, 0.1);
            cairo_move_to(m_cr, kMargin + 8, m_y + 12.5);
            cairo_show_text(m_cr, b.text.c_str());
            m_y += 26;
            break;
        case BlockKind::Figure:
            figure(b.term, b.text);
            break;
        case BlockKind::Page:
            newPage();
            break;
        }
    }

    void finish() { footer(); }

private:
    void font(double size, bool bold)
    {
        cairo_select_font_face(m_cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(m_cr, size);
    }

    void startPage()
    {
        m_y = kMargin;
        font(8, false);
        cairo_set_source_rgb(m_cr, 0.45, 0.45, 0.45);
        cairo_move_to(m_cr, kMargin, 36);
        cairo_show_text(m_cr, "OL-7T Leveling Amplifier  \xC2\xB7  User Manual");
    }

    void footer()
    {
        font(8, false);
        cairo_set_source_rgb(m_cr, 0.45, 0.45, 0.45);
        const std::string page = std::to_string(m_page);
        cairo_text_extents_t ext;
        cairo_text_extents(m_cr, page.c_str(), &ext);
        cairo_move_to(m_cr, kPageWidth - kMargin - ext.x_advance, kPageHeight - 36);
        cairo_show_text(m_cr, page.c_str());
    }

    void newPage()
    {
        footer();
        cairo_show_page(m_cr);
        ++m_page;
        startPage();
    }

    void need(double height)
    {
        if (m_y + height > kBottom)
            newPage();
    }

    void rule(double r, double g, double b, double width)
    {
        cairo_move_to(m_cr, kMargin, m_y);
        cairo_line_to(m_cr, kMargin + kTextWidth, m_y);
        cairo_set_source_rgb(m_cr, r, g, b);
        cairo_set_line_width(m_cr, width);
        cairo_stroke(m_cr);
    }

    void wrap(const std::string& text, double left, double width)
    {
        constexpr double kLine = 14.0;
        font(10, false);
        std::istringstream words(text);
        std::string word, line;
        auto flush = [&]() {
            need(kLine);
            cairo_set_source_rgb(m_cr, 0.12, 0.12, 0.13);
            cairo_move_to(m_cr, left, m_y + 10);
            cairo_show_text(m_cr, line.c_str());
            m_y += kLine;
            line.clear();
        };
        while (words >> word) {
            const std::string candidate = line.empty() ? word : line + " " + word;
            cairo_text_extents_t ext;
            cairo_text_extents(m_cr, candidate.c_str(), &ext);
            if (ext.x_advance > width && !line.empty()) {
                flush();
                line = word;
            } else {
                line = candidate;
            }
        }
        if (!line.empty())
            flush();
    }

    void figure(const std::string& which, const std::string& caption)
    {
        auto lookup = [this](const std::string& n) -> const Canvas& { return m_artwork.image(n); };
        const bool full = which == "full";
        const auto panel = PanelArtwork::composePanel(full ? PanelLayout::full() : PanelLayout::compact(), lookup);
        const double scale = full ? kTextWidth / panel->width() : 0.8;
        const double w = panel->width() * scale, h = panel->height() * scale;
        need(h + 30);
        const double x = kMargin + (kTextWidth - w) / 2;
        cairo_save(m_cr);
        cairo_translate(m_cr, x, m_y + 4);
        cairo_scale(m_cr, scale, scale);
        cairo_set_source_surface(m_cr, panel->surface(), 0, 0);
        cairo_paint(m_cr);
        cairo_restore(m_cr);
        m_y += h + 8;
        font(8.5, false);
        cairo_text_extents_t ext;
        cairo_text_extents(m_cr, caption.c_str(), &ext);
        cairo_set_source_rgb(m_cr, 0.35, 0.35, 0.36);
        cairo_move_to(m_cr, kMargin + (kTextWidth - ext.x_advance) / 2, m_y + 10);
        cairo_show_text(m_cr, caption.c_str());
        m_y += 24;
    }

    cairo_t* m_cr;
    const ArtworkSet& m_artwork;
    double m_y = kMargin;
    int m_page = 1;
};

} // namespace

bool ManualWriter::write(const std::string& sourcePath, const std::string& pdfPath) const
{
    std::ifstream in(sourcePath);
    if (!in)
        return false;
    const std::vector<Block> blocks = parse(in);

    cairo_surface_t* pdf = cairo_pdf_surface_create(pdfPath.c_str(), kPageWidth, kPageHeight);
    // A fixed date keeps the file the same from build to build.
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, "OL-7T Leveling Amplifier User Manual");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_AUTHOR, "Marrowby Music Software");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATE_DATE, "2026-01-01T00:00:00Z");
    cairo_t* cr = cairo_create(pdf);
    {
        PageSetter setter(cr, m_artwork);
        for (const Block& b : blocks)
            setter.set(b);
        setter.finish();
    }
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    const bool ok = cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(pdf);
    return ok;
}
