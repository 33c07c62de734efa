// Menus and tool tips under an X server: a menu runs modally and returns the
// item clicked (or 0 on Escape), tool tips appear at the position plus offset.
#include "X11Harness.h"

#include "pal/CPalMenu.h"
#include "pal/CPalToolTip.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstring>
#include <string>

using namespace ZVNPal;
using ZVNPal::Testing::X11Harness;

namespace {

// A window whose timer plays the user while a menu holds the event loop.
class ScriptedWindow : public CPalWindow {
public:
    std::function<void()> script;
    int ticks = 0;
    int onTimer(std::uint32_t) override
    {
        if (++ticks == 1 && script)
            script();
        return 1;
    }
};

class PalPopupTest : public X11Harness {
protected:
    static constexpr int kChildX = 20;
    static constexpr int kChildY = 30;
    static constexpr int kMenuX = 10; // client point where menus open
    static constexpr int kMenuY = 10;
    static constexpr int kTimerId = 1;

    void SetUp() override
    {
        X11Harness::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Embed(wrapper, window, kChildX, kChildY, 200, 100);
        ASSERT_TRUE(window.StartTimer(kTimerId, 50));
    }
    void TearDown() override
    {
        window.Destroy();
        wrapper.Destroy();
        X11Harness::TearDown();
    }

    // The top-most mapped pop-up of the layer, as the host connection sees it.
    XWindowAttributes TopPopup()
    {
        XWindowAttributes found{};
        Window root = 0, parentOf = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(host, DefaultRootWindow(host), &root, &parentOf, &children, &count);
        for (unsigned i = count; i-- > 0;) {
            XClassHint hint{};
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(host, children[i], &attributes) || attributes.map_state != IsViewable ||
                !XGetClassHint(host, children[i], &hint))
                continue;
            const bool popup = std::strcmp(hint.res_class, "PAL_popup") == 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
            if (popup) {
                found = attributes;
                break;
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    int MenuScreenX() const { return kParentX + kChildX + kMenuX; }
    int MenuScreenY() const { return kParentY + kChildY + kMenuY; }
    // The centre of item `row` in menu column `column` of the given width.
    void ClickItem(int column, int row, int columnWidth)
    {
        MoveTo(MenuScreenX() + CPalMenu::kBorder + column * columnWidth + columnWidth / 2,
               MenuScreenY() + CPalMenu::kBorder + row * CPalMenu::kItemHeight + CPalMenu::kItemHeight / 2);
        Click(Button1);
    }

    CPalWindow wrapper;
    ScriptedWindow window;
};

} // namespace

TEST_F(PalPopupTest, MenuReturnsTheClickedItemsCommand)
{
    CPalMenu menu;
    menu.AddItem("Classic", 1);
    menu.AddItem("Fast reset", 2);
    menu.AddItem("Greyed", 3);
    menu.EnableItem(2, false);
    menu.CheckItem(1, true);
    window.script = [&] {
        const XWindowAttributes popup = TopPopup();
        EXPECT_EQ(popup.x, MenuScreenX());
        EXPECT_EQ(popup.y, MenuScreenY());
        ClickItem(0, 1, popup.width - 2 * CPalMenu::kBorder);
    };
    EXPECT_EQ(menu.TrackMenu(&window, kMenuX, kMenuY), 2);
}

TEST_F(PalPopupTest, EscapeOrAClickOutsideDismissesWithZero)
{
    CPalMenu menu;
    menu.AddItem("Classic", 1);
    window.script = [&] { Tap(XK_Escape); };
    EXPECT_EQ(menu.TrackMenu(&window, kMenuX, kMenuY), 0);

    window.ticks = 0;
    window.script = [&] {
        MoveTo(MenuScreenX() + 300, MenuScreenY() + 200);
        Click(Button1);
    };
    EXPECT_EQ(menu.TrackMenu(&window, kMenuX, kMenuY), 0);
}

TEST_F(PalPopupTest, TwentySeventhItemOpensTheSecondColumn)
{
    CPalMenu menu;
    for (int i = 0; i < 27; ++i)
        menu.AddItem("Item", 100 + i);
    window.script = [&] {
        const XWindowAttributes popup = TopPopup();
        EXPECT_EQ(popup.height, 2 * CPalMenu::kBorder + 26 * CPalMenu::kItemHeight);
        ClickItem(1, 0, (popup.width - 2 * CPalMenu::kBorder) / 2);
    };
    EXPECT_EQ(menu.TrackMenu(&window, kMenuX, kMenuY), 126);
}

TEST_F(PalPopupTest, KeyboardWalksIntoASubMenuAndChooses)
{
    CPalMenu menu;
    auto* memory = new CPalMenu;
    memory->AddItem("Classic", 1);
    memory->AddItem("Fast reset", 2);
    menu.AddItem("About", 11);
    menu.AddSubMenu(memory, "Release memory");
    window.script = [&] {
        Tap(XK_Down);   // the sub-menu, first in the menu
        Tap(XK_Right);  // opens it on its first item
        Tap(XK_Down);
        Tap(XK_Return);
    };
    EXPECT_EQ(menu.TrackMenu(&window, kMenuX, kMenuY), 2);
}

TEST_F(PalPopupTest, ToolTipAppearsAtThePositionPlusOffsetWithItsText)
{
    CPalToolTip tip;
    ASSERT_TRUE(tip.Create(&window, nullptr, false));
    tip.SetOffset(15, 15);
    tip.SetTipPosition(500, 400);
    tip.SetText("Gain: 3.0 dB");
    tip.ShowTip(true);
    RunEventLoop(30);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(host, tip.GetTipWindow(), &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.x, 515);
    EXPECT_EQ(attributes.y, 415);
    EXPECT_EQ(tip.Text(), "Gain: 3.0 dB");
    EXPECT_TRUE(tip.IsShown());

    // Dark text on the pale box.
    XImage* image = XGetImage(host, tip.GetTipWindow(), 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int dark = 0;
    for (int y = 2; y < attributes.height - 2; ++y)
        for (int x = 2; x < attributes.width - 2; ++x)
            dark += (XGetPixel(image, x, y) & 0xFF) < 0x60;
    XDestroyImage(image);
    EXPECT_GT(dark, 10);

    tip.SetText(std::string(150, 'x').c_str());
    EXPECT_EQ(tip.Text().size(), std::size_t(CPalToolTip::kMaxTextUnits));
    tip.ShowTip(false);
    RunEventLoop(30);
    ASSERT_TRUE(XGetWindowAttributes(host, tip.GetTipWindow(), &attributes));
    EXPECT_NE(attributes.map_state, IsViewable);

    // An empty text shows no box, and takes a shown one away.
    tip.SetText("");
    tip.ShowTip(true);
    EXPECT_FALSE(tip.IsShown());
    tip.SetText("Gain");
    tip.ShowTip(true);
    tip.SetText("");
    EXPECT_FALSE(tip.IsShown());
}

TEST_F(PalPopupTest, BalloonHidesAfterItsTimeOrAtAPress)
{
    CPalToolTip balloon;
    ASSERT_TRUE(balloon.Create(&window, nullptr, true));
    balloon.SetTitle("Tip");
    balloon.SetAutoHide(100);
    balloon.ShowTip(true);
    EXPECT_TRUE(balloon.IsShown());
    EXPECT_TRUE(PumpUntil([&] { return !balloon.IsShown(); }));

    balloon.SetAutoHide(60000);
    balloon.ShowTip(true);
    MoveTo(kParentX + kChildX + 50, kParentY + kChildY + 50);
    Click(Button1);
    EXPECT_TRUE(PumpUntil([&] { return !balloon.IsShown(); }));
}
