// Windows of the Win32 layer under a real message loop: creation and
// adoption, the dispatcher's translation of messages, timers and posted
// values, painting with checked pixels, tool tips, menus run modally and the
// message box that never waits without a user.
#include "pal_win32/Win32Harness.h"

#include "pal/CPalColor.h"
#include "pal/CPalMenu.h"
#include "pal/CPalToolTip.h"
#include "pal/CPalWindow.h"
#include "pal/IPalDC.h"
#include "pal/MessageBox.h"
#include "pal/PalFunctions.h"

#include <windows.h>

#include <commctrl.h>
#undef MessageBox // the layer's own, not the system's macro

#include <string>
#include <thread>
#include <vector>

using namespace ZVNPal;
using namespace ZVNPal::Testing;

namespace {

HWND Hwnd(const IPalWindow& window) { return reinterpret_cast<HWND>(window.GetHandle()); }

// A window that records what its handlers receive.
class RecordingWindow : public CPalWindow {
public:
    std::vector<std::string> calls;
    std::uint32_t lastModifiers = 0;
    int wheelAnswer = 1;
    std::uint32_t fillColour = 0;

    int onMouseUp(std::int32_t x, std::int32_t y, std::uint32_t modifiers) override
    {
        lastModifiers = modifiers;
        return Note("up", x, y);
    }
    int onContextMenu(std::int32_t x, std::int32_t y) override { return Note("context", x, y); }
    int onMouseWheel(std::int32_t, std::int32_t, std::uint32_t, std::int32_t delta) override
    {
        Note("wheel", delta, 0);
        return wheelAnswer;
    }
    int keyAnswer = 1; // 0 takes the key, anything else leaves it to the host
    int onKeyDown(std::int32_t key, std::uint32_t) override
    {
        Note("key", key, 0);
        return keyAnswer;
    }
    int onSize(std::int32_t type, std::int32_t width, std::int32_t height) override
    {
        return type == kPalSizeMaximized ? Note("maximise", width, height) : 1;
    }
    int onTimer(std::uint32_t id) override
    {
        StopTimer(id);
        return Note("timer", static_cast<int>(id), 0);
    }
    void onAsync(std::intptr_t a, std::intptr_t b) override { Note("async", static_cast<int>(a), static_cast<int>(b)); }
    int onDestroyed() override { return Note("destroyed", 0, 0); }
    int onPaint(IPalDC* dc, const CPalRect&) override
    {
        if (fillColour)
            dc->FillRect(0, 0, 40, 30, CPalColor(fillColour));
        return Note("paint", 0, 0);
    }

    bool Saw(const std::string& call) const
    {
        for (const std::string& c : calls)
            if (c == call)
                return true;
        return false;
    }

private:
    int Note(const char* what, int a, int b)
    {
        calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
        return 1;
    }
};

// A top-level window to hold the layer's child windows, as a host's is; one
// for all cases, since a top-level window takes the system long to show.
class PalWindows : public GraphicsRuntime {
protected:
    static void SetUpTestSuite()
    {
        s_pHost = new RecordingWindow;
        s_pHost->Create("Host", CPalRect(100, 80, 400, 300), kPalWindowPlain, 0, nullptr);
        s_pHost->Show(true);
    }
    static void TearDownTestSuite()
    {
        delete s_pHost;
        s_pHost = nullptr;
    }
    void SetUp() override
    {
        GraphicsRuntime::SetUp();
        ASSERT_TRUE(host.IsValid());
    }

    void Embed(RecordingWindow& child)
    {
        ASSERT_EQ(wrapper.Attach(host.GetHandle()), kPalOk);
        ASSERT_EQ(child.Create("External VST Window", CPalRect(10, 10, 200, 100), kPalWindowChild,
                               kPalStyleAcceptFiles, &wrapper),
                  kPalOk);
        child.Show(true);
    }

    static RecordingWindow* s_pHost;
    RecordingWindow& host = *s_pHost;
    CPalWindow wrapper;
};

RecordingWindow* PalWindows::s_pHost = nullptr;

int g_nWaitingCalls = 0;
int NeverAsked(const MessageBoxRequest&)
{
    ++g_nWaitingCalls;
    return kMessageBoxResultCancel;
}

} // namespace

TEST_F(PalWindows, CreationAdoptionAndDestructionKeepToTheirResultCodes)
{
    RecordingWindow orphan;
    EXPECT_EQ(orphan.Create("x", CPalRect(0, 0, 10, 10), kPalWindowChild, 0, nullptr), kPalInvalidArg);
    EXPECT_FALSE(orphan.IsValid());

    RecordingWindow child;
    Embed(child);
    EXPECT_EQ(child.ClassName().rfind("PAL", 0), 0u);
    EXPECT_LE(child.ClassName().size(), 41u);
    EXPECT_TRUE(CPalWindow::IsLayerWindow(child.GetHandle()));
    EXPECT_EQ(GetParent(Hwnd(child)), Hwnd(host));
    CPalRect client;
    child.GetClientBounds(client);
    EXPECT_EQ(client.Width(), 200);
    EXPECT_EQ(client.Height(), 100);

    CPalWindow adopted;
    EXPECT_EQ(adopted.Attach(0), kPalInvalidArg);
    EXPECT_EQ(adopted.Attach(host.GetHandle()), kPalOk);
    EXPECT_EQ(adopted.Attach(host.GetHandle()), kPalUnexpected);
    EXPECT_EQ(adopted.Destroy(), kPalOk);
    EXPECT_TRUE(IsWindow(Hwnd(host))); // an adopted window is not its to destroy

    const std::wstring className(child.ClassName().begin(), child.ClassName().end());
    EXPECT_EQ(child.Destroy(), kPalOk);
    EXPECT_TRUE(child.Saw("destroyed 0 0"));
    EXPECT_FALSE(child.IsValid());
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), className.c_str(), &info)); // no class left behind
}

TEST_F(PalWindows, DispatcherTranslatesMessagesToHandlers)
{
    RecordingWindow child;
    Embed(child);
    const HWND hwnd = Hwnd(child);

    // A right-button release reports the button, then asks for the context menu at the same point.
    SendMessageW(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(12, 34));
    ASSERT_GE(child.calls.size(), 2u);
    EXPECT_EQ(child.calls[child.calls.size() - 2], "up 12 34");
    EXPECT_EQ(child.calls.back(), "context 12 34");
    EXPECT_TRUE(child.lastModifiers & kPalModRightButton);

    // Keys outside the table reach no handler; those inside arrive translated.
    child.calls.clear();
    SendMessageW(hwnd, WM_KEYDOWN, VK_F15, 0);
    EXPECT_TRUE(child.calls.empty());
    child.keyAnswer = 0;
    SendMessageW(hwnd, WM_KEYDOWN, VK_OEM_4, 0);
    SendMessageW(hwnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(child.calls, (std::vector<std::string>{"key 91 0", "key 81 0"}));

    // A key the panel leaves goes to the host's window, and so does its release.
    host.calls.clear();
    child.keyAnswer = 1;
    SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(hwnd, WM_KEYUP, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([&] { return host.Saw("key 8 0"); }));
    child.keyAnswer = 0;
    SendMessageW(hwnd, WM_KEYDOWN, 'Q', 0);
    RunEventLoop(50);
    EXPECT_FALSE(host.Saw("key 81 0")) << "a key the panel takes stays there";

    // A maximise request is reported with the size kept.
    CPalWindow frame;
    RecordingWindow top;
    ASSERT_EQ(top.Create("Top", CPalRect(50, 50, 120, 90), kPalWindowCaptioned, kPalStyleMaximizeBox, nullptr),
              kPalOk);
    top.Show(true);
    SendMessageW(Hwnd(top), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(top.Saw("maximise 120 90"));
    CPalRect kept;
    top.GetClientBounds(kept);
    EXPECT_EQ(kept.Width(), 120);
    EXPECT_FALSE(IsZoomed(Hwnd(top)));
}

TEST_F(PalWindows, WheelGoesOnToTheParentOnlyWhenTheHandlerSaysSo)
{
    // The host window counts the wheel turns that reach it.
    static int s_nHostWheels = 0;
    s_nHostWheels = 0;
    const auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        Hwnd(host), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_MOUSEWHEEL)
                ++s_nHostWheels;
            return DefWindowProcW(w, m, wp, lp);
        })));
    RecordingWindow child;
    Embed(child);
    child.wheelAnswer = 1;
    SendMessageW(Hwnd(child), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(150, 120));
    EXPECT_EQ(s_nHostWheels, 0);
    child.wheelAnswer = kPalPassOn;
    SendMessageW(Hwnd(child), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(150, 120));
    EXPECT_EQ(s_nHostWheels, 1);
    EXPECT_TRUE(child.Saw("wheel 120 0"));
    child.Destroy();
    SetWindowLongPtrW(Hwnd(host), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

TEST_F(PalWindows, TimersPostedValuesAndPaintArriveThroughTheMessageLoop)
{
    RecordingWindow child;
    child.fillColour = 0xFF20C040u;
    Embed(child);
    EXPECT_TRUE(child.StartTimer(5000, 20));
    EXPECT_TRUE(child.PostAsync(7, -3));
    EXPECT_TRUE(PumpUntil([&] { return child.Saw("timer 5000 0") && child.Saw("async 7 -3"); }));

    // What onPaint draws is on the screen, inside the child's place.
    child.calls.clear();
    EXPECT_EQ(child.UpdateNow(), kPalOk);
    EXPECT_TRUE(child.Saw("paint 0 0"));
    HDC screen = GetDC(Hwnd(child));
    const COLORREF painted = GetPixel(screen, 5, 5);
    ReleaseDC(Hwnd(child), screen);
    EXPECT_EQ(painted, RGB(0x20, 0xC0, 0x40));

    // Invalidation from another thread is painted later on this one.
    child.calls.clear();
    std::thread([&] { child.Invalidate(); }).join();
    EXPECT_TRUE(PumpUntil([&] { return child.Saw("paint 0 0"); }));
}

TEST_F(PalWindows, ToolTipsTrackTheirTextAndBalloonsHideThemselves)
{
    RecordingWindow child;
    Embed(child);
    CPalToolTip plain;
    ASSERT_TRUE(plain.Create(&child, nullptr, false));
    const HWND tip = reinterpret_cast<HWND>(plain.GetTipWindow());
    wchar_t className[64] = {};
    GetClassNameW(tip, className, 64);
    EXPECT_EQ(std::wstring(className), L"tooltips_class32");
    plain.SetText(std::string(150, 'g').c_str());
    EXPECT_EQ(plain.Text().size(), 99u);
    plain.SetText("Gain: 50.0%");
    plain.SetOffset(15, 15);
    plain.SetTipPosition(300, 200);
    plain.ShowTip(true);
    EXPECT_TRUE(plain.IsShown());
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }));
    wchar_t shown[128] = {};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = Hwnd(child);
    tool.uId = reinterpret_cast<UINT_PTR>(Hwnd(child));
    tool.lpszText = shown;
    SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(shown), L"Gain: 50.0%");
    plain.SetText(""); // nothing to say: no box
    EXPECT_FALSE(plain.IsShown());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(tip); }));
    plain.ShowTip(true);
    EXPECT_FALSE(plain.IsShown());

    CPalToolTip balloon;
    ASSERT_TRUE(balloon.Create(&child, nullptr, true));
    balloon.SetTitle("About");
    balloon.SetAutoHide(50);
    balloon.ShowTip(true);
    EXPECT_TRUE(PumpUntil([&] { return !balloon.IsShown(); })); // the auto-hide timer
}

TEST_F(PalWindows, MenusReturnTheChosenCommandOrZeroWhenDismissed)
{
    RecordingWindow child;
    Embed(child);
    CPalMenu menu;
    menu.AddItem("First", 11);
    menu.AddItem("Second", 12);
    // The menu runs modally; a timer of this thread answers it from inside.
    static int s_nKeys = 0;
    s_nKeys = 0;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        INPUT keys[4] = {};
        const WORD codes[2] = {VK_DOWN, VK_RETURN};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i / 2];
            keys[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
        }
        s_nKeys = static_cast<int>(SendInput(4, keys, sizeof(INPUT)));
    });
    const std::int32_t chosen = menu.TrackMenu(&child, 20, 20);
    ASSERT_EQ(s_nKeys, 4);
    EXPECT_EQ(chosen, 11);

    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    EXPECT_EQ(menu.TrackMenu(&child, 20, 20), 0);
    EXPECT_EQ(CPalMenu().TrackMenu(&child, 0, 0), 0); // nothing to show
}

TEST(PalMessageBox, NeverWaitsWithoutAUserAndGivesTheDefaultAnswer)
{
    // The test environment asks for standard error; no box may appear.
    _putenv("OL7T_MESSAGEBOX=stderr");
    struct Case {
        int buttons, answer;
    } cases[] = {{kMessageBoxOk, kMessageBoxResultOk},
                 {kMessageBoxYesNo, kMessageBoxResultYes},
                 {kMessageBoxYesNoCancel, kMessageBoxResultYes},
                 {7, kMessageBoxResultOk}};
    for (const Case& c : cases)
        EXPECT_EQ(MessageBox(0, "Title", "Text", c.buttons, kMessageBoxIconStop, 0), c.answer) << c.buttons;
    // A sink, when installed, takes every box instead.
    SetMessageBoxSink(NeverAsked);
    EXPECT_EQ(MessageBox(0, "Title", "Text", kMessageBoxOkCancel, 0, 0), kMessageBoxResultCancel);
    SetMessageBoxSink(nullptr);
    EXPECT_EQ(g_nWaitingCalls, 1);
}
