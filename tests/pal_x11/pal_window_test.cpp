// Windows of the layer inside a foreign parent under a real X server: input
// synthesised through the X test extension arrives at the handler slots with
// client coordinates, modifiers and key codes; timers, repaints and capture.
#include "X11Harness.h"

#include "pal/CPalBitmap.h"
#include "pal/CPalDC.h"
#include "pal/CPalColor.h"
#include "pal/CPalOffScreenDC.h"
#include "pal/PalFunctions.h"
#include "pal/x11/PalDisplay.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace ZVNPal;
using ZVNPal::Testing::X11Harness;

namespace {

struct Call {
    std::string what;
    int a = 0, b = 0, c = 0, d = 0;
};

// Records every handler call; the wheel answer is configurable.
class RecordingWindow : public CPalWindow {
public:
    std::vector<Call> calls;
    int wheelAnswer = 1;
    std::uint32_t paintColour = 0xFF00FF00u;

    int onMouseDown(int x, int y, std::uint32_t m) override { return Note("down", x, y, int(m)); }
    int onMouseUp(int x, int y, std::uint32_t m) override { return Note("up", x, y, int(m)); }
    int onMouseMove(int x, int y, std::uint32_t m) override { return Note("move", x, y, int(m)); }
    int onDoubleClick(int x, int y, std::uint32_t m) override { return Note("double", x, y, int(m)); }
    int onMouseWheel(int x, int y, std::uint32_t m, int delta) override
    {
        Note("wheel", x, y, int(m), delta);
        return wheelAnswer;
    }
    int onContextMenu(int x, int y) override { return Note("context", x, y); }
    int onKeyDown(int key, std::uint32_t) override { return Note("keydown", key); }
    int onKeyUp(int key, std::uint32_t) override { return Note("keyup", key); }
    int onTimer(std::uint32_t id) override { return Note("timer", int(id)); }
    void onAsync(std::intptr_t a, std::intptr_t b) override { Note("async", int(a), int(b)); }
    int onSize(int type, int w, int h) override { return Note("size", type, w, h); }
    int onDestroyed() override { return Note("destroyed"); }
    int onDropFiles(int x, int y, const std::vector<std::string>& paths) override
    {
        dropped = paths;
        return Note("drop", x, y);
    }
    std::vector<std::string> dropped;
    int onPaint(IPalDC* dc, const CPalRect& dirty) override
    {
        dc->FillRect(dirty.Left(), dirty.Top(), dirty.Width(), dirty.Height(), CPalColor(paintColour));
        return Note("paint", dirty.Left(), dirty.Top(), dirty.Width(), dirty.Height());
    }

    int Count(const std::string& what) const
    {
        int n = 0;
        for (const Call& c : calls)
            n += c.what == what;
        return n;
    }
    const Call* Last(const std::string& what) const
    {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->what == what)
                return &*it;
        return nullptr;
    }
    std::vector<std::string> Sequence(std::initializer_list<const char*> kinds) const
    {
        std::vector<std::string> out;
        for (const Call& c : calls)
            for (const char* k : kinds)
                if (c.what == k)
                    out.push_back(c.what);
        return out;
    }

private:
    int Note(const char* what, int a = 0, int b = 0, int c = 0, int d = 0)
    {
        calls.push_back({what, a, b, c, d});
        return 1;
    }
};

class PalWindowTest : public X11Harness {
protected:
    static constexpr int kChildX = 20;
    static constexpr int kChildY = 30;
    // A point of the child in screen coordinates.
    int ScreenX(int x) const { return kParentX + kChildX + x; }
    int ScreenY(int y) const { return kParentY + kChildY + y; }

    void SetUp() override
    {
        X11Harness::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Embed(wrapper, window, kChildX, kChildY, 200, 100);
    }
    void TearDown() override
    {
        window.Destroy();
        wrapper.Destroy();
        X11Harness::TearDown();
    }

    CPalWindow wrapper;
    RecordingWindow window;
};

} // namespace

TEST_F(PalWindowTest, AttachRefusesDeadWindowsAndASecondAdoption)
{
    CPalWindow other;
    EXPECT_EQ(other.Attach(0x3FFFFFF), kPalInvalidArg);
    EXPECT_EQ(wrapper.Attach(parent), kPalUnexpected);
    CPalWindow orphan;
    EXPECT_EQ(orphan.Create("x", CPalRect(0, 0, 10, 10), kPalWindowChild, 0, nullptr), kPalInvalidArg);
    EXPECT_EQ(window.ClassName().rfind("PAL", 0), 0u);
    EXPECT_LE(window.ClassName().size(), 41u);
    EXPECT_TRUE(CPalWindow::IsLayerWindow(window.GetHandle()));
    EXPECT_FALSE(CPalWindow::IsLayerWindow(parent));
}

TEST_F(PalWindowTest, ClickArrivesWithClientCoordinatesAndButtonBit)
{
    MoveTo(ScreenX(50), ScreenY(40));
    Click(Button1);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("up") == 1; }));
    const Call* down = window.Last("down");
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->a, 50);
    EXPECT_EQ(down->b, 40);
    EXPECT_EQ(down->c, int(kPalModLeftButton));
    EXPECT_EQ(window.Last("up")->c & int(kPalModLeftButton), int(kPalModLeftButton));
    EXPECT_EQ(window.Count("context"), 0);
}

TEST_F(PalWindowTest, RightReleaseIsFollowedByContextMenuAtTheSamePoint)
{
    MoveTo(ScreenX(12), ScreenY(7));
    Click(Button3);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("context") == 1; }));
    const Call* up = window.Last("up");
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->c & int(kPalModRightButton), int(kPalModRightButton));
    EXPECT_EQ(window.Sequence({"up", "context"}), (std::vector<std::string>{"up", "context"}));
    EXPECT_EQ(window.Last("context")->a, 12);
    EXPECT_EQ(window.Last("context")->b, 7);
}

TEST_F(PalWindowTest, DragCarriesButtonAndShiftInItsMoves)
{
    MoveTo(ScreenX(10), ScreenY(10));
    Key(XK_Shift_L, true);
    Button(Button1, true);
    MoveTo(ScreenX(30), ScreenY(60));
    Button(Button1, false);
    Key(XK_Shift_L, false);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("up") == 1; }));
    const Call* move = window.Last("move");
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->a, 30);
    EXPECT_EQ(move->b, 60);
    EXPECT_EQ(move->c, int(kPalModLeftButton | kPalModShift));
    EXPECT_EQ(window.Last("down")->c, int(kPalModLeftButton | kPalModShift));
}

TEST_F(PalWindowTest, SecondQuickClickIsADoubleClick)
{
    MoveTo(ScreenX(80), ScreenY(20));
    Click(Button1);
    Click(Button1);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("up") == 2; }));
    EXPECT_EQ(window.Sequence({"down", "double", "up"}),
              (std::vector<std::string>{"down", "up", "double", "up"}));
    EXPECT_EQ(window.Last("double")->a, 80);
}

TEST_F(PalWindowTest, WheelGivesSignedDeltaInScreenCoordinatesAndPassesOnWhenAsked)
{
    MoveTo(ScreenX(5), ScreenY(5));
    Click(Button4);
    Click(Button5);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("wheel") == 2; }));
    EXPECT_EQ(window.Count("down") + window.Count("up"), 0); // a wheel is no click
    std::vector<int> deltas;
    for (const Call& c : window.calls)
        if (c.what == "wheel")
            deltas.push_back(c.d);
    EXPECT_EQ(deltas, (std::vector<int>{120, -120}));
    EXPECT_EQ(window.Last("wheel")->a, ScreenX(5));
    EXPECT_EQ(window.Last("wheel")->b, ScreenY(5));

    // Answered 2, the turn reaches the host's parent window.
    window.wheelAnswer = kPalPassOn;
    Click(Button4);
    XEvent forwarded{};
    ASSERT_TRUE(PumpUntil([&] {
        while (XPending(host)) {
            XNextEvent(host, &forwarded);
            if (forwarded.type == ButtonPress && forwarded.xbutton.button == Button4)
                return true;
        }
        return false;
    }));
    EXPECT_EQ(forwarded.xbutton.window, parent);
    EXPECT_EQ(forwarded.xbutton.x, kChildX + 5);
}

TEST_F(PalWindowTest, KeysInTheTableArriveOthersReachNoHandler)
{
    ASSERT_TRUE(window.TakeFocus());
    Tap(XK_a);
    Tap(XK_comma);
    Tap(XK_Escape);
    Tap(XK_Left);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("keyup") == 3; }));
    std::vector<int> downs;
    for (const Call& c : window.calls)
        if (c.what == "keydown")
            downs.push_back(c.a);
    EXPECT_EQ(downs, (std::vector<int>{65, 7, 17}));
}

TEST_F(PalWindowTest, FocusGoesBackToTheHostWindowWhenThePanelGoes)
{
    XSetInputFocus(host, parent, RevertToParent, CurrentTime);
    XSync(host, False);
    ASSERT_TRUE(window.TakeFocus());
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(host, &focus, &revert);
    EXPECT_EQ(focus, window.GetHandle());
    window.Destroy();
    EXPECT_EQ(window.Count("destroyed"), 1);
    XGetInputFocus(host, &focus, &revert);
    EXPECT_EQ(focus, parent);
}

TEST_F(PalWindowTest, CaptureRoutesPointerEventsOutsideTheWindowToIt)
{
    MoveTo(ScreenX(10), ScreenY(10));
    ASSERT_TRUE(PumpUntil([&] { return window.Count("move") >= 1; }));
    EXPECT_EQ(window.CaptureMouse(), kPalOk);
    MoveTo(ScreenX(300), ScreenY(250)); // outside the child, still inside the parent
    Click(Button1);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("up") == 1; }));
    EXPECT_EQ(window.Last("move")->a, 300);
    EXPECT_EQ(window.Last("down")->b, 250);
    EXPECT_EQ(window.ReleaseMouse(), kPalOk);

    window.calls.clear();
    Click(Button1); // without capture the press goes to the parent
    MoveTo(ScreenX(40), ScreenY(40));
    ASSERT_TRUE(PumpUntil([&] { return window.Count("move") >= 1; }));
    EXPECT_EQ(window.Count("down"), 0);
}

TEST_F(PalWindowTest, TimersFireRepeatedlyUntilStopped)
{
    ASSERT_TRUE(window.StartTimer(7, 20));
    const auto start = std::chrono::steady_clock::now();
    RunEventLoop(300);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    const int fired = window.Count("timer");
    // Loose bounds: the period is honoured on average, not to the millisecond.
    EXPECT_GE(fired, 3);
    EXPECT_LE(fired, elapsed.count() / 20 + 1);
    EXPECT_EQ(window.Last("timer")->a, 7);
    EXPECT_TRUE(window.StopTimer(7));
    EXPECT_FALSE(window.StopTimer(7));
    RunEventLoop(60);
    EXPECT_EQ(window.Count("timer"), fired);
}

TEST_F(PalWindowTest, PostAsyncIsDeliveredByThePump)
{
    ASSERT_TRUE(window.PostAsync(3, -4));
    EXPECT_EQ(window.Count("async"), 0);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("async") == 1; }));
    EXPECT_EQ(window.Last("async")->a, 3);
    EXPECT_EQ(window.Last("async")->b, -4);
}

TEST_F(PalWindowTest, InvalidatedAreaIsPaintedOnceWithItsDirtyRectangle)
{
    RunEventLoop(50);
    window.calls.clear();
    window.paintColour = 0xFFFF0000u;
    window.InvalidateRect(CPalRect(10, 10, 5, 5));
    window.InvalidateRect(CPalRect(30, 12, 5, 5));
    ASSERT_TRUE(PumpUntil([&] { return window.Count("paint") == 1; }));
    const Call* paint = window.Last("paint");
    EXPECT_EQ(paint->a, 10);
    EXPECT_EQ(paint->b, 10);
    EXPECT_EQ(paint->c, 25);
    EXPECT_EQ(paint->d, 7);
    RunEventLoop(30);
    EXPECT_EQ(window.Count("paint"), 1);

    const std::string shot = std::string(::testing::TempDir()) + "pal_window_shot.png";
    ASSERT_TRUE(SaveWindowImage(&window, shot.c_str()));
    CPalBitmap screen;
    ASSERT_EQ(screen.Load(shot.c_str(), false), kPalOk);
    ASSERT_EQ(screen.Width(), 200);
    std::vector<std::uint32_t> pixels(200 * 100);
    ASSERT_EQ(screen.CopyAllPixelsOut(pixels.data()), kPalOk);
    const auto at = [&](int x, int y) { return pixels[std::size_t(99 - y) * 200 + x]; };
    EXPECT_EQ(at(12, 12), 0xFFFF0000u);
    EXPECT_EQ(at(12, 40), 0xFF00FF00u); // painted green at Show
    std::remove(shot.c_str());
}

// A host's timer tick with nothing new to show must cost no X traffic: no
// request, and no read of the connection (the descriptor's own handler
// reads it), even with an event waiting there.
TEST_F(PalWindowTest, AQueuedOnlyPumpWithNothingNewNeitherSendsNorReads)
{
    ASSERT_TRUE(window.StartTimer(7, 10));
    RunEventLoop(50);
    Display* dpy = PalDisplay::Get()->Dpy();
    XEvent poke{};
    poke.xclient.type = ClientMessage;
    poke.xclient.window = window.GetHandle();
    poke.xclient.format = 32;
    XSendEvent(host, window.GetHandle(), False, 0, &poke);
    XSync(host, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int paints = window.Count("paint");
    const unsigned long next = NextRequest(dpy);
    for (int tick = 0; tick < 3; ++tick) {
        PumpQueuedEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(12));
    }
    EXPECT_GE(window.Count("timer"), 2) << "the ticks ran the layer's timers";
    EXPECT_EQ(NextRequest(dpy), next);
    EXPECT_EQ(XQLength(dpy), 0) << "the waiting event was read by a tick";
    EXPECT_EQ(window.Count("paint"), paints);
    window.InvalidateRect(CPalRect(0, 0, 4, 4));
    PumpQueuedEvents();
    EXPECT_EQ(window.Count("paint"), paints + 1);
    EXPECT_NE(NextRequest(dpy), next) << "a repaint is sent";
}

TEST_F(PalWindowTest, MaximiseRequestIsReportedWithoutResizing)
{
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window.GetHandle();
    request.xclient.message_type = XInternAtom(host, "_NET_WM_STATE", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = 1; // add
    request.xclient.data.l[1] = static_cast<long>(XInternAtom(host, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    request.xclient.data.l[2] = static_cast<long>(XInternAtom(host, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    XSendEvent(host, window.GetHandle(), False, NoEventMask, &request);
    XFlush(host);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("size") == 1; }));
    EXPECT_EQ(window.Last("size")->a, int(kPalSizeMaximized));
    CPalRect client;
    window.GetClientBounds(client);
    EXPECT_EQ(client.Width(), 200);
    EXPECT_EQ(client.Height(), 100);
}

TEST_F(PalWindowTest, CoordinatesConvertAndBoundsFollowSetBounds)
{
    PalPoint p{5, 6};
    window.ClientToScreen(&p);
    EXPECT_EQ(p.x, ScreenX(5));
    EXPECT_EQ(p.y, ScreenY(6));
    window.ScreenToClient(&p);
    EXPECT_EQ(p.x, 5);
    ASSERT_TRUE(window.SetBounds(0, 0, 150, 60));
    ASSERT_TRUE(PumpUntil([&] { return window.Count("size") == 1; }));
    EXPECT_EQ(window.Last("size")->b, 150);
    CPalRect outer;
    window.GetWindowBounds(outer);
    EXPECT_EQ(outer.Left(), kParentX);
    EXPECT_EQ(outer.Height(), 60);
}

TEST_F(PalWindowTest, HiddenWindowIsNotVisibleAndThePointerPositionIsOnTheScreen)
{
    EXPECT_TRUE(window.IsVisible());
    EXPECT_FALSE(window.IsMinimized());
    window.Show(false);
    EXPECT_FALSE(window.IsVisible());
    window.Show(true);
    EXPECT_TRUE(window.IsVisible());
    MoveTo(ScreenX(7), ScreenY(9));
    std::int32_t x = 0, y = 0;
    ASSERT_TRUE(GetCursorPosition(&x, &y));
    EXPECT_EQ(x, ScreenX(7));
    EXPECT_EQ(y, ScreenY(9));
    SetCursorKind(kPalCursorHand);
    EXPECT_EQ(GetCursorKind(), int(kPalCursorHand));
    SetCursorKind(6); // not a kind: the cursor stays
    EXPECT_EQ(GetCursorKind(), int(kPalCursorHand));
    SetCursorKind(kPalCursorArrow);
}

TEST_F(PalWindowTest, TopLevelWindowClosesOnTheWindowManagersRequest)
{
    RecordingWindow top;
    ASSERT_EQ(top.Create("Tool", CPalRect(600, 500, 120, 80), kPalWindowTool, kPalStyleMinimizeBox, &wrapper), kPalOk);
    ASSERT_TRUE(top.Show(true));
    ASSERT_TRUE(PumpUntil([&] { return top.IsVisible(); }));
    EXPECT_TRUE(top.BringToFront());
    CPalRect client;
    top.GetClientBounds(client);
    EXPECT_EQ(client.Width(), 120);
    EXPECT_EQ(client.Height(), 80);

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = top.GetHandle();
    close.xclient.message_type = XInternAtom(host, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(host, "WM_DELETE_WINDOW", False));
    XSendEvent(host, top.GetHandle(), False, NoEventMask, &close);
    XSync(host, False);
    ASSERT_TRUE(PumpUntil([&] { return top.Count("destroyed") == 1; }));
    EXPECT_FALSE(top.IsValid());
}

TEST_F(PalWindowTest, DestroyingTheHostWindowEndsTheChild)
{
    XDestroyWindow(host, parent);
    parent = 0;
    XFlush(host);
    ASSERT_TRUE(PumpUntil([&] { return window.Count("destroyed") == 1; }));
    EXPECT_FALSE(window.IsValid());
    EXPECT_FALSE(wrapper.IsValid());
    EXPECT_FALSE(window.StartTimer(1, 10));
}

TEST_F(PalWindowTest, DropQueriesAnswerForThisOtherAndLayerWindows)
{
    struct Dropped {
        std::string path;
        PalPoint point;
    } dropped;
    window.SetFileDropCallback(
        [](const char* path, PalPoint point, void* user) {
            *static_cast<Dropped*>(user) = Dropped{path, point};
        },
        &dropped);
    const PalDropList files{"/tmp/a.wav", "/tmp/b.wav"};
    EXPECT_EQ(window.QueryDrop(&files, PalPoint{ScreenX(3), ScreenY(4)}, window.GetHandle()), kPalDropAccepted);
    EXPECT_EQ(dropped.path, "/tmp/a.wav");
    EXPECT_EQ(dropped.point.x, 3);
    EXPECT_EQ(dropped.point.y, 4);
    RecordingWindow sibling;
    ASSERT_EQ(sibling.Create("s", CPalRect(0, 0, 5, 5), kPalWindowChild, 0, &wrapper), kPalOk);
    EXPECT_EQ(window.QueryDrop(&files, PalPoint{}, sibling.GetHandle()), kPalDropNone + 1);
    EXPECT_EQ(window.QueryDrop(&files, PalPoint{}, parent), kPalDropNone);
    EXPECT_EQ(window.QueryDrop(&files, PalPoint{}, 0), kPalDropNone);
}

// A drag source of the test's own: it offers a file list through XdndSelection
// and speaks the drag protocol to the panel as a file manager does.
class XdndSource {
public:
    XdndSource(Display* display, Window target) : d(display), target(target)
    {
        source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(d, Atom("XdndSelection"), source, CurrentTime);
    }
    ~XdndSource() { XDestroyWindow(d, source); }

    void Send(const char* message, long l1, long l2, long l3 = 0, long l4 = 0)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = target;
        e.xclient.message_type = Atom(message);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(source);
        e.xclient.data.l[1] = l1;
        e.xclient.data.l[2] = l2;
        e.xclient.data.l[3] = l3;
        e.xclient.data.l[4] = l4;
        XSendEvent(d, target, False, NoEventMask, &e);
        XSync(d, False);
    }

    // Answers the panel: its status and finish messages and its request for the list.
    void Serve(const std::string& list)
    {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == ClientMessage && e.xclient.message_type == Atom("XdndStatus"))
                statusAccepted = e.xclient.data.l[1] & 1;
            if (e.type == ClientMessage && e.xclient.message_type == Atom("XdndFinished"))
                finishedAccepted = e.xclient.data.l[1] & 1;
            if (e.type == SelectionRequest)
                Answer(e.xselectionrequest, list);
        }
    }

    ::Atom Atom(const char* name) { return XInternAtom(d, name, False); }

    int statusAccepted = -1;
    int finishedAccepted = -1;

private:
    void Answer(const XSelectionRequestEvent& request, const std::string& list)
    {
        XChangeProperty(d, request.requestor, request.property, request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
        XEvent notify{};
        notify.xselection.type = SelectionNotify;
        notify.xselection.requestor = request.requestor;
        notify.xselection.selection = request.selection;
        notify.xselection.target = request.target;
        notify.xselection.property = request.property;
        notify.xselection.time = request.time;
        XSendEvent(d, request.requestor, False, NoEventMask, &notify);
        XSync(d, False);
    }

    Display* d;
    Window target;
    Window source = 0;
};

TEST_F(PalWindowTest, FilesDraggedFromAnotherProgramReachTheDropHandler)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* aware = nullptr;
    ASSERT_EQ(XGetWindowProperty(host, window.GetHandle(), XInternAtom(host, "XdndAware", False), 0, 1, False,
                                 AnyPropertyType, &type, &format, &count, &remaining, &aware),
              Success);
    ASSERT_TRUE(aware && count == 1);
    EXPECT_EQ(*reinterpret_cast<long*>(aware), 5);
    XFree(aware);

    const std::string list = "file:///tmp/a%20b.wav\r\n# a comment\r\nhttp://example.org/c.wav\r\n"
                             "file://elsewhere/tmp/d.wav\r\nfile://localhost/tmp/e.wav\r\n";
    XdndSource source(host, window.GetHandle());
    const long copy = static_cast<long>(source.Atom("XdndActionCopy"));
    // A drag that offers no file list is turned down.
    source.Send("XdndEnter", 5L << 24, static_cast<long>(source.Atom("UTF8_STRING")));
    source.Send("XdndPosition", 0, ScreenX(15) << 16 | ScreenY(25), CurrentTime, copy);
    ASSERT_TRUE(PumpUntil([&] { return source.Serve(list), source.statusAccepted >= 0; }));
    EXPECT_EQ(source.statusAccepted, 0);
    source.Send("XdndLeave", 0, 0);

    source.statusAccepted = -1;
    source.Send("XdndEnter", 5L << 24, static_cast<long>(source.Atom("text/uri-list")));
    source.Send("XdndPosition", 0, ScreenX(15) << 16 | ScreenY(25), CurrentTime, copy);
    ASSERT_TRUE(PumpUntil([&] { return source.Serve(list), source.statusAccepted >= 0; }));
    EXPECT_EQ(source.statusAccepted, 1);
    source.Send("XdndDrop", 0, CurrentTime);
    ASSERT_TRUE(PumpUntil([&] { return source.Serve(list), source.finishedAccepted >= 0; }));
    EXPECT_EQ(source.finishedAccepted, 1);

    ASSERT_EQ(window.Count("drop"), 1);
    EXPECT_EQ(window.Last("drop")->a, 15);
    EXPECT_EQ(window.Last("drop")->b, 25);
    EXPECT_EQ(window.dropped, (std::vector<std::string>{"/tmp/a b.wav", "/tmp/e.wav"}));
}

TEST_F(PalWindowTest, ManyWindowsAndSurfacesComeAndGoCleanly)
{
    for (int i = 0; i < 1000; ++i) {
        RecordingWindow w;
        ASSERT_EQ(w.Create("w", CPalRect(0, 0, 30, 20), kPalWindowChild, 0, &wrapper), kPalOk);
        w.StartTimer(1, 100);
        w.PostAsync(1, 2);
        CPalOffScreenDC dc(&w, 30, 20);
        dc.FillRect(0, 0, 30, 20, CPalColor(0xFF102030u));
        w.Destroy();
        if (i % 100 == 0)
            PumpEvents();
    }
    PumpEvents();
    EXPECT_TRUE(window.IsValid());
}

TEST(PalErrorHandling, ErrorsOfTheHostsOwnConnectionStillReachItsHandler)
{
    Display* host = X11Harness::OpenHostDisplay();
    if (!host)
        GTEST_SKIP() << "no X display (set DISPLAY)";
    static int hostErrors = 0;
    constexpr Window kDead = 0x3FFFFFF;
    XSetErrorHandler([](Display*, XErrorEvent*) { return ++hostErrors, 0; });
    ASSERT_TRUE(StartGraphicsRuntime());
    CPalWindow adopted;
    EXPECT_EQ(adopted.Attach(kDead), kPalInvalidArg); // the layer's own error stays with it
    EXPECT_EQ(hostErrors, 0);
    XMapWindow(host, kDead);
    XSync(host, False);
    EXPECT_EQ(hostErrors, 1);
    ShutdownGraphicsRuntime();
    XMapWindow(host, kDead);
    XSync(host, False);
    EXPECT_EQ(hostErrors, 2);
    XSetErrorHandler(nullptr);
    XCloseDisplay(host);
}
