// What the Windows layer draws beyond the shared cases: GDI+ running for the
// whole program, PNG files written by GDI+ for loading, straight colour read
// back from premultiplied pixels, and the native menus behind CPalMenu.
#include "pal_shared/PalDrawingSupport.h"

#include "pal/CPalColor.h"
#include "pal/CPalMenu.h"
#include "pal/PalRunLoop.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>

using namespace ZVNPal;
using namespace ZVNPal::Testing;

namespace {

// Every case of this program draws through GDI+.
class GraphicsRuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(StartGraphicsRuntime()); }
    void TearDown() override { ShutdownGraphicsRuntime(); }
};

const ::testing::Environment* const g_pRuntime =
    ::testing::AddGlobalTestEnvironment(new GraphicsRuntimeEnvironment);

} // namespace

bool ZVNPal::Testing::WriteHalfBluePng(const std::string& path)
{
    Gdiplus::Bitmap image(2, 2, PixelFormat32bppARGB);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            image.SetPixel(x, y, Gdiplus::Color(128, 0, 0, 255));
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    const std::wstring widePath(path.begin(), path.end());
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == L"image/png")
            return image.Save(widePath.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
    return false;
}

TEST(PalWin32Drawing, PixelsComeBackAsStraightColour)
{
    // The surface keeps premultiplied colour; a half-transparent fill over
    // nothing must come back with its own colour, not darkened.
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 2, 1);
    dc.FillRect(0, 0, 1, 1, CPalColor(0x80FF0000u));
    dc.FillRect(1, 0, 1, 1, CPalColor(kBlue));
    dc.FillTransparent(0, 0, 2, 1); // blends to nothing
    Readback back(dc);
    EXPECT_EQ(Channel(back.At(0, 0), 24), 128);
    EXPECT_GE(Channel(back.At(0, 0), 16), 254);
    EXPECT_EQ(back.At(1, 0), kBlue);
}

TEST(PalWin32Drawing, NativeMenusCarryColumnsChecksAndSubMenus)
{
    CPalMenu menu;
    for (int i = 0; i < 27; ++i)
        menu.AddItemAuto(i == 3 ? "-" : "Item");
    const HMENU native = static_cast<HMENU>(menu.GetNativeMenu());
    ASSERT_EQ(GetMenuItemCount(native), 27);
    EXPECT_TRUE(GetMenuState(native, 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(native, 26, MF_BYPOSITION) & MF_MENUBARBREAK);
    EXPECT_FALSE(GetMenuState(native, 25, MF_BYPOSITION) & MF_MENUBARBREAK);
    EXPECT_EQ(GetMenuItemID(native, 26), 26u);

    CPalMenu withSubs;
    withSubs.AddItem("Plain", 5);
    auto* first = new CPalMenu;
    auto* second = new CPalMenu;
    withSubs.AddSubMenu(first, "First");
    withSubs.AddSubMenu(second, std::string(100, 'x').c_str());
    const HMENU subs = static_cast<HMENU>(withSubs.GetNativeMenu());
    EXPECT_EQ(GetSubMenu(subs, 0), second->GetNativeMenu()); // reverse order at insert position 0
    EXPECT_EQ(GetSubMenu(subs, 1), first->GetNativeMenu());
    EXPECT_EQ(GetMenuStringW(subs, 0, nullptr, 0, MF_BYPOSITION), 74);
    withSubs.CheckItem(2, true);
    withSubs.EnableItem(2, false);
    EXPECT_TRUE(GetMenuState(subs, 2, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(subs, 2, MF_BYPOSITION) & MF_GRAYED);
}

TEST(PalWin32Drawing, TextWithoutASelectedFontStillDraws)
{
    // A memory device's own font is a raster font that GDI+ cannot use.
    CPalOffScreenDC dc(static_cast<IPalDC*>(nullptr), 60, 20);
    dc.FillRect(0, 0, 60, 20, CPalColor(kWhite));
    const CPalColor black(0xFF000000u);
    dc.DrawTextUtf8(2, 2, "WW", nullptr, &black);
    Readback back(dc);
    EXPECT_NE(std::count_if(back.pixels.begin(), back.pixels.end(), [](std::uint32_t p) { return p != kWhite; }), 0);
    std::int32_t w = 0, h = 0;
    EXPECT_EQ(dc.MeasureText(&w, &h, "WW"), kPalOk);
    EXPECT_GT(w, 0);
}
