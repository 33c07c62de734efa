// The process-wide X connection and the pump that drives the layer.
#include "pal/x11/PalDisplay.h"

#include "pal/DebugTrace.h"
#include "pal/PalFunctions.h"
#include "pal/PalRunLoop.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <thread>
#include <poll.h>

namespace ZVNPal {

namespace {

PalDisplay* g_pDisplay = nullptr;
int g_nStarts = 0;
int g_nLastError = 0;
XErrorHandler g_fnHostErrorHandler = nullptr;

// A host's window may vanish at any moment; an X error on our connection must
// never end the process, so it is recorded for Trapped and otherwise ignored.
// The handler is process-wide: errors on the host's own connections go on to
// the handler that was there before.
int RecordError(Display* display, XErrorEvent* error)
{
    if (g_pDisplay && display == g_pDisplay->Dpy()) {
        g_nLastError = error->error_code;
        return 0;
    }
    return g_fnHostErrorHandler ? g_fnHostErrorHandler(display, error) : 0;
}

// The double-click rules of the classic desktop: 500 ms, 4 pixels.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;
// A timer never fires more often than this.
constexpr std::uint32_t kMinTimerMs = 10;

void FreePicture(XImage*& picture)
{
    if (!picture)
        return;
    picture->data = nullptr; // the pixels belong to the image surface
    XDestroyImage(picture);
    picture = nullptr;
}

unsigned FontCursorShape(int kind)
{
    switch (kind) {
    case kPalCursorBusy: return XC_watch;
    case kPalCursorResizeHorizontal: return XC_sb_h_double_arrow;
    case kPalCursorResizeVertical: return XC_sb_v_double_arrow;
    case kPalCursorCross: return XC_crosshair;
    case kPalCursorHand: return XC_hand2;
    case kPalCursorMove: return XC_fleur;
    default: return XC_left_ptr;
    }
}

} // namespace

PalDisplay* PalDisplay::Get() { return g_pDisplay; }

bool PalDisplay::Open()
{
    if (g_pDisplay)
        return true;
    // A busy server may refuse a connection for a moment (its queue of
    // waiting connections is full); a few tries ride that out.
    constexpr int kTries = 20;
    Display* display = XOpenDisplay(nullptr);
    for (int i = 1; !display && i < kTries && std::getenv("DISPLAY"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        display = XOpenDisplay(nullptr);
    }
    if (!display) {
        DebugTrace("PalDisplay::Open - no display\n");
        return false;
    }
    g_pDisplay = new PalDisplay(display);
    g_fnHostErrorHandler = XSetErrorHandler(RecordError);
    return true;
}

void PalDisplay::Close()
{
    delete g_pDisplay;
    g_pDisplay = nullptr;
    // Hands error handling back, unless someone has taken it over since.
    const XErrorHandler current = XSetErrorHandler(g_fnHostErrorHandler);
    if (current != RecordError)
        XSetErrorHandler(current);
    g_fnHostErrorHandler = nullptr;
}

PalDisplay::PalDisplay(Display* display) : m_pDisplay(display), m_nRoot(DefaultRootWindow(display)) {}

PalDisplay::~PalDisplay()
{
    for (auto& [kind, cursor] : m_cursors)
        XFreeCursor(m_pDisplay, cursor);
    for (auto& [window, served] : m_windows)
        FreeGraphics(served);
    XCloseDisplay(m_pDisplay);
}

Atom PalDisplay::Intern(const char* name) { return XInternAtom(m_pDisplay, name, False); }

void PalDisplay::AddWindow(Window window, EventHandler onEvent, Action onIdle)
{
    m_windows[window] = Served{std::move(onEvent), std::move(onIdle)};
}

void PalDisplay::RemoveWindow(Window window)
{
    auto served = m_windows.find(window);
    if (served != m_windows.end())
        FreeGraphics(served->second);
    m_windows.erase(window);
    std::erase_if(m_timers, [window](const Timer& t) { return t.window == window; });
    std::erase_if(m_posted, [window](const Posted& p) { return p.window == window; });
    if (m_nCaptured == window) {
        XUngrabPointer(m_pDisplay, CurrentTime);
        m_nCaptured = 0;
    }
    if (m_nLastClickWindow == window)
        m_nLastClickWindow = 0;
}

void PalDisplay::FreeGraphics(Served& served)
{
    if (served.gc)
        XFreeGC(m_pDisplay, served.gc);
    served.gc = nullptr;
    FreePicture(served.picture);
}

void PalDisplay::StartTimer(Window window, std::uint32_t id, std::uint32_t intervalMs, Action fire)
{
    StopTimer(window, id);
    const std::chrono::milliseconds interval(std::max(intervalMs, kMinTimerMs));
    m_timers.push_back(Timer{window, id, interval, Clock::now() + interval, std::move(fire)});
}

bool PalDisplay::StopTimer(Window window, std::uint32_t id)
{
    return std::erase_if(m_timers, [&](const Timer& t) { return t.window == window && t.id == id; }) != 0;
}

void PalDisplay::Post(Window window, Action action) { m_posted.push_back(Posted{window, std::move(action)}); }

int PalDisplay::Pump(bool read)
{
    // Without reading, only Xlib's own queue counts: its length is read
    // directly, without the display lock a call would take at every tick.
    while (read ? XPending(m_pDisplay) : XQLength(m_pDisplay)) {
        XEvent event;
        XNextEvent(m_pDisplay, &event);
        Dispatch(event);
    }
    FireDueTimers();
    RunPosted();
    RunIdle();
    Flush();
    // Messages posted by handlers, or events read during a handler's round
    // trip, want another pump at once.
    if (!m_posted.empty() || XQLength(m_pDisplay) > 0)
        return 0;
    return MillisecondsToNextTimer();
}

void PalDisplay::Dispatch(XEvent& event)
{
    if (event.type == ButtonPress && m_fnOnAnyPress) {
        Action watch = m_fnOnAnyPress;
        watch();
    }
    auto it = m_windows.find(event.xany.window);
    if (it == m_windows.end())
        return;
    // A handler may remove its own window; keep the function alive meanwhile.
    EventHandler handler = it->second.onEvent;
    if (handler)
        handler(event);
}

void PalDisplay::FireDueTimers()
{
    const auto now = Clock::now();
    // A timer due within a quarter of its period fires now: a host's timer
    // of that period, whose ticks are not in phase with ours, then fires it
    // at every tick instead of at every other one.
    auto dueBy = [now](const Timer& t) { return t.due - t.interval / 4 <= now; };
    // A handler may pump again (a menu's own loop): this pump's list is a copy.
    std::vector<std::pair<Window, std::uint32_t>> due;
    due.swap(m_due);
    due.clear();
    for (const Timer& t : m_timers)
        if (dueBy(t))
            due.emplace_back(t.window, t.id);
    // Each handler may start or stop timers, so every due one is looked up again.
    for (const auto& [window, id] : due) {
        auto it = std::find_if(m_timers.begin(), m_timers.end(),
                               [&](const Timer& t) { return t.window == window && t.id == id; });
        if (it == m_timers.end())
            continue;
        // Late timers fire once, not once per missed period.
        while (dueBy(*it))
            it->due += it->interval;
        Action fire = it->fire;
        fire();
    }
    m_due.swap(due);
}

void PalDisplay::RunPosted()
{
    std::vector<Posted> posted;
    posted.swap(m_posted);
    for (std::size_t i = 0; i < posted.size(); ++i) {
        // A window destroyed by an earlier message loses its later ones.
        if (m_windows.count(posted[i].window))
            posted[i].action();
    }
}

void PalDisplay::RunIdle()
{
    std::vector<Action> idle;
    idle.swap(m_idle);
    idle.clear();
    for (const auto& [window, served] : m_windows)
        if (served.onIdle)
            idle.push_back(served.onIdle);
    for (const Action& action : idle)
        action();
    m_idle.swap(idle);
}

int PalDisplay::ShortestTimerInterval() const
{
    if (m_timers.empty())
        return -1;
    auto shortest = m_timers.front().interval;
    for (const Timer& t : m_timers)
        shortest = std::min(shortest, t.interval);
    return static_cast<int>(shortest.count());
}

int PalDisplay::MillisecondsToNextTimer() const
{
    if (m_timers.empty())
        return -1;
    auto next = m_timers.front().due;
    for (const Timer& t : m_timers)
        next = std::min(next, t.due);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
    return wait < 0 ? 0 : static_cast<int>(wait);
}

bool PalDisplay::Trapped(const std::function<void()>& request)
{
    XSync(m_pDisplay, False);
    g_nLastError = 0;
    request();
    XSync(m_pDisplay, False);
    return g_nLastError == 0;
}

bool PalDisplay::IsLiveWindow(Window window)
{
    if (window == 0)
        return false;
    XWindowAttributes attributes;
    Status status = 0;
    const bool clean = Trapped([&] { status = XGetWindowAttributes(m_pDisplay, window, &attributes); });
    return clean && status != 0;
}

bool PalDisplay::IsDoubleClick(Window window, unsigned button, int x, int y, Time time)
{
    const bool doubled = window == m_nLastClickWindow && button == m_nLastClickButton &&
                         time - m_nLastClickTime <= kDoubleClickMs && std::abs(x - m_nLastClickX) <= kDoubleClickDistance &&
                         std::abs(y - m_nLastClickY) <= kDoubleClickDistance;
    // A double click ends the sequence: the third press is a new first one.
    m_nLastClickWindow = doubled ? 0 : window;
    m_nLastClickButton = button;
    m_nLastClickX = x;
    m_nLastClickY = y;
    m_nLastClickTime = time;
    return doubled;
}

void PalDisplay::Present(Window window, Visual* visual, int depth, cairo_surface_t* image, int x, int y, int width,
                         int height)
{
    cairo_surface_flush(image);
    const int imageWidth = cairo_image_surface_get_width(image);
    const int imageHeight = cairo_image_surface_get_height(image);
    // The usual true-colour screen takes cairo's pixels as they are.
    const bool direct = visual && visual->c_class == TrueColor && (depth == 24 || depth == 32) &&
                        visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
    if (direct) {
        // A window's graphics context and picture are made once and kept;
        // for a window the layer does not serve they last this call.
        auto served = m_windows.find(window);
        Served passing;
        Served& graphics = served != m_windows.end() ? served->second : passing;
        auto* pixels = reinterpret_cast<char*>(cairo_image_surface_get_data(image));
        const int stride = cairo_image_surface_get_stride(image);
        XImage*& picture = graphics.picture;
        if (picture && (picture->data != pixels || picture->width != imageWidth || picture->height != imageHeight ||
                        picture->bytes_per_line != stride))
            FreePicture(picture);
        if (!picture) {
            picture = XCreateImage(m_pDisplay, visual, depth, ZPixmap, 0, pixels, imageWidth, imageHeight, 32, stride);
            // cairo's pixels are native 32-bit words.
            if (picture)
                picture->byte_order = std::endian::native == std::endian::big ? MSBFirst : LSBFirst;
        }
        if (!graphics.gc)
            graphics.gc = XCreateGC(m_pDisplay, window, 0, nullptr);
        if (picture)
            XPutImage(m_pDisplay, window, graphics.gc, picture, x, y, x, y, width, height);
        if (served == m_windows.end())
            FreeGraphics(passing);
    } else {
        cairo_surface_t* surface = cairo_xlib_surface_create(m_pDisplay, window, visual, imageWidth, imageHeight);
        cairo_t* cr = cairo_create(surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_rectangle(cr, x, y, width, height);
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
    }
    Flush();
}

void PalDisplay::Flush()
{
    if (NextRequest(m_pDisplay) == m_nFlushedRequest)
        return;
    XFlush(m_pDisplay);
    m_nFlushedRequest = NextRequest(m_pDisplay);
}

void PalDisplay::ApplyCursor(Window window)
{
    const int kind = GetCursorKind();
    auto it = m_cursors.find(kind);
    if (it == m_cursors.end())
        it = m_cursors.emplace(kind, XCreateFontCursor(m_pDisplay, FontCursorShape(kind))).first;
    XDefineCursor(m_pDisplay, window, it->second);
}

void PalDisplay::ApplyCursorEverywhere()
{
    for (const auto& [window, served] : m_windows)
        ApplyCursor(window);
    Flush();
}

bool StartGraphicsRuntime()
{
    if (!PalDisplay::Open())
        return false;
    ++g_nStarts;
    return true;
}

void ShutdownGraphicsRuntime()
{
    if (g_nStarts == 0)
        return;
    if (--g_nStarts == 0)
        PalDisplay::Close();
}

bool IsGraphicsRuntimeStarted() { return PalDisplay::Get() != nullptr; }

const char* PlatformViewType() { return "X11EmbedWindowID"; }

int GetEventFileDescriptor() { return g_pDisplay ? g_pDisplay->DescriptorOf() : -1; }

int PumpEvents() { return g_pDisplay ? g_pDisplay->Pump() : -1; }

int PumpQueuedEvents() { return g_pDisplay ? g_pDisplay->Pump(false) : -1; }

int GetTimerPeriod() { return g_pDisplay ? g_pDisplay->ShortestTimerInterval() : -1; }

unsigned long NewestChildWindow(unsigned long parent)
{
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!g_pDisplay || parent == 0
        || !XQueryTree(g_pDisplay->Dpy(), parent, &root, &parentOfParent, &children, &count))
        return 0;
    // Children come bottom to top in stacking order: the newest is last.
    const Window newest = count > 0 ? children[count - 1] : 0;
    if (children)
        XFree(children);
    return newest;
}

void RunEventLoop(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (g_pDisplay) {
        const int toTimer = g_pDisplay->Pump();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return;
        int wait = static_cast<int>(left);
        if (toTimer >= 0 && toTimer < wait)
            wait = toTimer;
        pollfd fd{g_pDisplay->DescriptorOf(), POLLIN, 0};
        poll(&fd, 1, wait);
    }
}

} // namespace ZVNPal
