// What the Linux layer draws beyond the shared cases: PNG files written by
// cairo for loading, and text in the system's multibyte encoding.
#include "pal_shared/PalDrawingSupport.h"

#include "pal/CPalColor.h"

#include <cairo.h>

using namespace ZVNPal;
using namespace ZVNPal::Testing;

bool ZVNPal::Testing::WriteHalfBluePng(const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 2);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, 0, 0, 1, 0.5);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

TEST(PalText, LocalTextDrawsTheSameCharactersInEitherEncoding)
{
    const auto draw = [](const char* text) {
        CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 60, 20);
        dc.FillRect(0, 0, 60, 20, CPalColor(kWhite));
        dc.DrawTextLocal(2, 2, text, nullptr, nullptr);
        return Readback(dc).pixels;
    };
    const auto utf8 = draw("\xC2\xA9 \xC3\xA9");
    EXPECT_EQ(utf8, draw("\xA9 \xE9"));
    EXPECT_NE(utf8, draw("c e"));
}

