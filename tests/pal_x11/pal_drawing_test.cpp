// What the Linux layer draws beyond the shared cases: PNG files written by
// cairo for loading, an opaque picture stored with an alpha channel, and text
// in the system's multibyte encoding.
#include "pal_shared/PalDrawingSupport.h"

#include "pal/CPalBitmap.h"
#include "pal/CPalColor.h"

#include <cairo.h>
#include <png.h>

#include <cstdio>

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


// The artwork's strips carry an alpha channel that the meter's never uses;
// such a picture is drawn exactly as it was written, and still counts as
// having alpha.
TEST(PalBitmap, OpaquePictureWithAnAlphaChannelDrawsItsExactPixels)
{
    constexpr int kWidth = 3, kHeight = 2;
    const unsigned char rgba[kHeight][kWidth * 4] = {{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255},
                                                     {1, 2, 3, 255, 250, 128, 7, 255, 0, 0, 0, 255}};
    const std::string path = TempPath("pal_opaque.png");
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (const auto& row : rgba)
        png_write_row(png, row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);

    CPalBitmap bitmap;
    ASSERT_EQ(bitmap.Load(path.c_str(), false), kPalOk);
    EXPECT_TRUE(bitmap.HasAlpha());
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), kWidth + 1, kHeight);
    dc.FillRect(0, 0, kWidth + 1, kHeight, CPalColor(kWhite));
    dc.DrawBitmapAt(&bitmap, 1, 0);
    Readback back(dc);
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(back.At(0, y), kWhite);
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = rgba[y] + 4 * x;
            EXPECT_EQ(back.At(x + 1, y), 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2]) << x << "," << y;
        }
    }
    // The meter reads its strip's pixels where they were decoded, not drawn.
    std::int32_t stride = 0;
    const std::uint32_t* decoded = bitmap.DecodedPixels(stride);
    ASSERT_NE(decoded, nullptr);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(decoded[y * stride + x] & 0xFFFFFFu, back.At(x + 1, y) & 0xFFFFFFu) << x << "," << y;
    std::remove(path.c_str());
}
