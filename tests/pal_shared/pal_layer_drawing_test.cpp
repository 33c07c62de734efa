// Off-screen drawing read back pixel by pixel, images from files and pixels,
// fonts and menus built item by item: the same cases for every platform's
// layer, none of them needing a window.
#include "pal_shared/PalDrawingSupport.h"

#include "pal/CPalBitmap.h"
#include "pal/CPalColor.h"
#include "pal/CPalFont.h"
#include "pal/CPalMenu.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace ZVNPal;
using namespace ZVNPal::Testing;

namespace {

std::vector<std::string> g_messages;
void RecordMessage(const char* title, const char* text) { g_messages.push_back(std::string(title) + "|" + text); }

} // namespace

TEST(PalOffScreen, PixelsComeBackBottomUpAndAsRequestedRectangle)
{
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 4, 3);
    dc.FillRect(0, 0, 4, 3, CPalColor(kBlue));
    dc.FillRect(1, 0, 2, 1, CPalColor(kRed)); // the top row's middle
    std::vector<std::uint32_t> all(12);
    ASSERT_EQ(dc.GetPixels(all.data()), kPalOk);
    EXPECT_EQ(all[2 * 4 + 1], kRed); // the top row is the last row
    EXPECT_EQ(all[1], kBlue);

    std::vector<std::uint32_t> scratch(12), part(2 * 2);
    ASSERT_EQ(dc.GetPixelsRect(scratch.data(), part.data(), 1, 0, 2, 2), kPalOk);
    EXPECT_EQ(part[2], kRed); // bottom-up: the rectangle's top row comes last
    EXPECT_EQ(part[3], kRed);
    EXPECT_EQ(part[0], kBlue);
    EXPECT_EQ(dc.GetPixelsRect(nullptr, part.data(), 0, 0, 1, 1), kPalFail);
    EXPECT_EQ(dc.GetPixelsRect(scratch.data(), part.data(), 3, 2, 2, 2), kPalInvalidArg);
}

TEST(PalOffScreen, ContextWithoutSurfaceReportsAndDrawsNothing)
{
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 0, 10);
    std::int32_t w = 0, h = 0;
    EXPECT_EQ(dc.MeasureText(&w, &h, "x"), kPalUnexpected);
    EXPECT_EQ(dc.DrawBitmap(nullptr, 0, 0, 1, 1, 0, 0, 1.0f), kPalFail);
    std::uint32_t pixel = 0;
    EXPECT_EQ(dc.GetPixels(&pixel), kPalUnexpected);
    dc.FillRect(0, 0, 5, 5, CPalColor(kRed));
    dc.DrawTextUtf8(0, 0, "x", nullptr, nullptr);
}

TEST(PalOffScreen, DrawPixelsCopiesBottomUpRowsOfThePart)
{
    // A 2 x 3 image, stored bottom-up: the first row in memory is the bottom one.
    const std::uint32_t rows[3][2] = {{kBlue, kBlue}, {kRed, kWhite}, {kWhite, kRed}};
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 4, 4);
    dc.FillRect(0, 0, 4, 4, CPalColor(0xFF000000u));
    dc.DrawPixels(rows, sizeof rows, 8, 1, 1, 2, 2, 0, 0); // the top two rows of the image
    Readback back(dc);
    EXPECT_EQ(back.At(1, 1), kWhite);
    EXPECT_EQ(back.At(2, 1), kRed);
    EXPECT_EQ(back.At(1, 2), kRed);
    EXPECT_EQ(back.At(0, 0), 0xFF000000u);
    EXPECT_EQ(back.At(1, 3), 0xFF000000u); // the bottom row was not asked for
    dc.DrawPixels(rows, 7, 8, 0, 0, 2, 2, 0, 0); // less than a row: nothing
    dc.DrawPixels(rows, sizeof rows, 8, 0, 0, 50, 50, 1, 2); // larger than the image: cut to it
    Readback cut(dc);
    EXPECT_EQ(cut.At(0, 0), kBlue);
    EXPECT_EQ(cut.At(1, 0), 0xFF000000u);
}

TEST(PalOffScreen, GradientsRunBetweenTheirColours)
{
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 100, 60);
    struct Case {
        float angle;
        int firstX, firstY, secondX, secondY;
    } cases[] = {{0.0f, 0, 30, 99, 30}, {90.0f, 50, 0, 50, 59}, {180.0f, 99, 30, 0, 30}};
    for (const Case& c : cases) {
        dc.FillRectLinear(0, 0, 100, 60, CPalColor(kRed), CPalColor(kBlue), c.angle);
        Readback back(dc);
        EXPECT_GT(Channel(back.At(c.firstX, c.firstY), 16), 240) << c.angle;
        EXPECT_GT(Channel(back.At(c.secondX, c.secondY), 0), 240) << c.angle;
    }
    dc.FillRectRadial(0, 0, 100, 60, CPalColor(kWhite), CPalColor(kBlue));
    Readback radial(dc);
    EXPECT_GT(Channel(radial.At(50, 30), 16), 240); // white at the centre
    EXPECT_LT(Channel(radial.At(1, 1), 16), 20);     // the surround at the edges
    EXPECT_LT(Channel(radial.At(50, 0), 16), 20);
}

TEST(PalBitmap, HalfOpacityBlendsOverTheBackground)
{
    const std::vector<std::uint32_t> red(4 * 4, kRed);
    CPalBitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromPixels(red.data(), 4, 4), kPalOk);
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 8, 8);
    dc.FillRect(0, 0, 8, 8, CPalColor(kWhite));
    EXPECT_EQ(dc.DrawBitmap(&bitmap, 2, 2, 4, 4, 0, 0, 0.5f), kPalOk);
    Readback back(dc);
    const std::uint32_t blended = back.At(3, 3);
    EXPECT_EQ(Channel(blended, 16), 255);
    EXPECT_NEAR(Channel(blended, 8), 128, 2); // white shows through half
    EXPECT_NEAR(Channel(blended, 0), 128, 2);
    EXPECT_EQ(back.At(1, 1), kWhite);
    EXPECT_EQ(back.At(6, 6), kWhite);
}

TEST(PalBitmap, PixelsRoundTripAndPartialCopies)
{
    std::vector<std::uint32_t> pixels(5 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x010203);
    CPalBitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromPixels(pixels.data(), 5, 3), kPalOk);
    EXPECT_EQ(bitmap.PixelCount(), 15);
    EXPECT_EQ(bitmap.ByteSize(), 60);
    EXPECT_TRUE(bitmap.HasAlpha());
    std::vector<std::uint32_t> out(15);
    ASSERT_EQ(bitmap.CopyAllPixelsOut(out.data()), kPalOk);
    EXPECT_EQ(out, pixels);

    // Source (1, 1) of 2 x 2 in top-down terms; both orders are bottom-up.
    std::vector<std::uint32_t> part(4);
    ASSERT_EQ(bitmap.CopyPixelsOut(nullptr, 1, 1, 2, 2, part.data()), kPalOk);
    const auto source = [&](int x, int y) { return pixels[std::size_t(2 - y) * 5 + x]; };
    EXPECT_EQ(part[0], source(1, 2));
    EXPECT_EQ(part[3], source(2, 1));

    EXPECT_EQ(bitmap.CreateFromPixels(nullptr, 5, 3), kPalFail);
    EXPECT_EQ(bitmap.CreateFromPixels(pixels.data(), -1, 3), kPalFail);
}

TEST(PalBitmap, LoadsBmpAndPngWithAlpha)
{
    const std::uint32_t topDown[2][3] = {{kRed, 0xFF00FF00u, kBlue}, {kWhite, 0xFF123456u, 0xFF000000u}};
    const std::string bmp = TempPath("pal_test.bmp");
    WriteBmp(bmp, topDown);
    CPalBitmap fromBmp;
    ASSERT_EQ(fromBmp.Load(bmp.c_str(), false), kPalOk);
    EXPECT_EQ(fromBmp.Width(), 3);
    EXPECT_EQ(fromBmp.Height(), 2);
    EXPECT_FALSE(fromBmp.HasAlpha());
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 3, 2);
    dc.DrawBitmapAt(&fromBmp, 0, 0);
    Readback back(dc);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(back.At(x, y), topDown[y][x]) << x << "," << y;

    // The image is in memory: the file is not held open.
    EXPECT_EQ(std::remove(bmp.c_str()), 0);

    const std::string png = TempPath("pal_test.png");
    ASSERT_TRUE(WriteHalfBluePng(png));
    CPalBitmap fromPng;
    ASSERT_EQ(fromPng.Load(png.c_str(), false), kPalOk);
    EXPECT_TRUE(fromPng.HasAlpha());
    std::vector<std::uint32_t> out(4);
    ASSERT_EQ(fromPng.CopyAllPixelsOut(out.data()), kPalOk);
    EXPECT_NEAR(Channel(out[0], 24), 128, 1);
    EXPECT_EQ(Channel(out[0], 0), 255);
    std::remove(png.c_str());
}

TEST(PalBitmap, UnreadableFilesFailAndReportOnlyWhenAsked)
{
    CPalBitmap::SetLoadMessageHook(RecordMessage);
    g_messages.clear();
    const std::string garbage = TempPath("pal_garbage.bmp");
    std::ofstream(garbage) << "BM not really an image";
    const std::string longPath(400, 'a');
    // A header that promises more pixels than the file holds.
    const std::string truncated = TempPath("pal_truncated.bmp");
    const std::uint32_t pixels[2][3] = {};
    WriteBmp(truncated, pixels);
    std::filesystem::resize_file(truncated, 60);
    struct Case {
        std::string path;
        bool show;
    } cases[] = {{"/nonexistent/image.png", false}, {"/nonexistent/image.png", true}, {garbage, true},
                 {truncated, false}, {longPath, true}, {"", false}};
    for (const Case& c : cases) {
        CPalBitmap bitmap;
        EXPECT_EQ(bitmap.Load(c.path.c_str(), c.show), kPalFail) << c.path;
        EXPECT_EQ(bitmap.GetImage(), nullptr);
    }
    ASSERT_EQ(g_messages.size(), 3u);
    EXPECT_EQ(g_messages[0], "IDS_BITMAP_NOT_FOUND_TITLE|IDS_BITMAP_NOT_FOUND_MESSAGE");
    CPalBitmap::SetLoadMessageHook(nullptr);
    std::remove(garbage.c_str());
    std::remove(truncated.c_str());
}

TEST(PalText, ClippedTextStaysInsideItsClipAndAlignsAsAsked)
{
    CPalFont font;
    ASSERT_EQ(font.Create(kPalFaceArial, 12.0f, kPalWeightBold, kPalQualityAliased, 0, false, false, false, 0.0f), kPalOk);
    EXPECT_DOUBLE_EQ(font.PixelHeight(), 16.0);
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 120, 30);
    dc.FillRect(0, 0, 120, 30, CPalColor(kWhite));
    dc.SelectFont(&font);
    const CPalColor black(0xFF000000u);
    const CPalRect clip(0, 0, 20, 30);
    dc.DrawTextUtf8(2, 4, "WWWWWWWW", &clip, &black);
    Readback back(dc);
    int insideInk = 0, outsideInk = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (back.At(x, y) != kWhite)
                ++(x < 20 ? insideInk : outsideInk);
    EXPECT_GT(insideInk, 10);
    EXPECT_EQ(outsideInk, 0);

    std::int32_t w = 0, h = 0;
    ASSERT_EQ(dc.MeasureText(&w, &h, "WWWW"), kPalOk);
    EXPECT_GT(w, 20);
    EXPECT_GE(h, 12);
    // Right-aligned text ends at x: no ink right of it.
    dc.FillRect(0, 0, 120, 30, CPalColor(kWhite));
    dc.SetTextAlign(kPalAlignRight);
    dc.DrawTextWide(60, 4, u"WW", nullptr, &black);
    Readback right(dc);
    for (int y = 0; y < 30; ++y)
        for (int x = 62; x < 120; ++x)
            ASSERT_EQ(right.At(x, y), kWhite) << x << "," << y;
}

TEST(PalMenu, ItemsFillColumnsOfTwentySixAndSubMenusGoInFront)
{
    CPalMenu menu;
    for (int i = 0; i < 27; ++i)
        menu.AddItemAuto(i == 3 ? "-" : "Item");
    const auto& items = menu.Items();
    ASSERT_EQ(items.size(), 27u);
    EXPECT_TRUE(items[3].separator);
    EXPECT_EQ(items[26].command, 26);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(items[i].newColumn, i == 26) << i;

    CPalMenu withSubs;
    withSubs.AddItem("Plain", 5);
    auto* first = new CPalMenu;
    auto* second = new CPalMenu;
    withSubs.AddSubMenu(first, "First");
    withSubs.AddSubMenu(second, std::string(100, 'x').c_str());
    ASSERT_EQ(withSubs.Items().size(), 3u);
    EXPECT_EQ(withSubs.Items()[0].subMenu, second); // reverse order at insert position 0
    EXPECT_EQ(withSubs.Items()[1].subMenu, first);
    EXPECT_EQ(withSubs.Items()[0].text.size(), 74u);
    withSubs.CheckItem(2, true);
    withSubs.EnableItem(2, false);
    withSubs.CheckItem(99, true); // outside: ignored
    EXPECT_TRUE(withSubs.Items()[2].checked);
    EXPECT_FALSE(withSubs.Items()[2].enabled);
}
