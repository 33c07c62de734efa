// The platform window on X11: creation and adoption of native windows, the
// dispatcher that turns X events into the handler slots, timers and repaints.
#include "pal/CPalWindow.h"

#include "pal/CPalDC.h"
#include "pal/DebugTrace.h"
#include "pal/PalFunctions.h"
#include "pal/PalDirtyRect.h"
#include "pal/x11/PalDisplay.h"
#include "pal/x11/XdndTarget.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <type_traits>

namespace ZVNPal {

namespace {

// Windows of this layer are told apart by a class name that begins with this.
constexpr char kClassPrefix[] = "PAL";
constexpr std::size_t kClassNameLimit = 41;
constexpr int kWheelStep = 120;

std::uint32_t g_nClassCounter = 0;

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | FocusChangeMask | StructureNotifyMask;

// "PAL", a process-wide counter and a random GUID, all in hexadecimal: every
// window gets a class of its own.
std::string MakeClassName()
{
    std::random_device random;
    std::uniform_int_distribution<unsigned> byte(0, 255);
    const std::uint32_t data1 = random();
    const unsigned data2 = random() & 0xFFFF;
    const unsigned data3 = random() & 0xFFFF;
    char text[96];
    int length = std::snprintf(text, sizeof text, "%s%x_%08x%04x%04x-", kClassPrefix, ++g_nClassCounter, data1, data2,
                               data3);
    for (int i = 0; i < 8; ++i)
        length += std::snprintf(text + length, sizeof text - length, "%02x", byte(random));
    return std::string(text).substr(0, kClassNameLimit);
}

std::uint32_t ButtonBit(unsigned button) { return button == Button1 ? kPalModLeftButton : kPalModRightButton; }

// Keys are read at their plain level (letters in lower case, digits without
// Shift), except on the keypad, where NumLock chooses between its digits and
// its navigation keys.
KeySym KeySymOf(XKeyEvent& e)
{
    const KeySym plain = XLookupKeysym(&e, 0);
    if (!IsKeypadKey(plain))
        return plain;
    KeySym chosen = NoSymbol;
    char text[8];
    XLookupString(&e, text, sizeof text, &chosen, nullptr);
    return chosen;
}

bool IsClickButton(unsigned button) { return button == Button1 || button == Button3; }

} // namespace

// Turns one X event for a window into its handler calls.
class CPalWindow::Dispatcher {
public:
    static void Handle(CPalWindow& w, XEvent& event);

private:
    static void OnButtonPress(CPalWindow& w, XButtonEvent& e);
    static void OnButtonRelease(CPalWindow& w, XButtonEvent& e);
    static void Key(CPalWindow& w, XKeyEvent& e, bool down);
    static void Configure(CPalWindow& w, XConfigureEvent& e);
    static void OnClientMessage(CPalWindow& w, XClientMessageEvent& e);
    template <typename InputEvent>
    static void PassOn(const CPalWindow& w, const InputEvent& e, long mask);
};

void CPalWindow::Dispatcher::Handle(CPalWindow& w, XEvent& event)
{
    switch (event.type) {
    case ButtonPress: OnButtonPress(w, event.xbutton); break;
    case ButtonRelease: OnButtonRelease(w, event.xbutton); break;
    case MotionNotify:
        w.onMouseMove(w.ToClient(event.xmotion.x), w.ToClient(event.xmotion.y), TranslateModifiers(event.xmotion.state));
        break;
    case KeyPress: Key(w, event.xkey, true); break;
    case KeyRelease: Key(w, event.xkey, false); break;
    case FocusIn:
        if (event.xfocus.detail == NotifyPointer)
            break;
        if (w.m_bTopLevel)
            w.onActivate();
        w.onFocus();
        break;
    case FocusOut:
        if (event.xfocus.detail == NotifyPointer)
            break;
        w.onFocusLost();
        if (w.m_bTopLevel)
            w.onDeactivate();
        break;
    case Expose:
        w.AddDirty(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                   event.xexpose.y + event.xexpose.height);
        break;
    case ConfigureNotify: Configure(w, event.xconfigure); break;
    case DestroyNotify:
        if (event.xdestroywindow.window == w.GetHandle()) {
            w.RestoreFocus();
            w.Forget();
            w.onDestroyed();
        }
        break;
    case ClientMessage: OnClientMessage(w, event.xclient); break;
    case SelectionNotify:
        if (w.m_pDropTarget)
            w.m_pDropTarget->OnSelectionNotify(event.xselection);
        break;
    default: break;
    }
}

void CPalWindow::Dispatcher::OnButtonPress(CPalWindow& w, XButtonEvent& e)
{
    PalDisplay* display = PalDisplay::Get();
    if (IsClickButton(e.button)) {
        const std::uint32_t modifiers = TranslateModifiers(e.state) | ButtonBit(e.button);
        if (display->IsDoubleClick(e.window, e.button, e.x_root, e.y_root, e.time))
            w.onDoubleClick(w.ToClient(e.x), w.ToClient(e.y), modifiers);
        else
            w.onMouseDown(w.ToClient(e.x), w.ToClient(e.y), modifiers);
    } else if (e.button == Button4 || e.button == Button5) {
        const std::int32_t delta = e.button == Button4 ? kWheelStep : -kWheelStep;
        if (w.onMouseWheel(e.x_root, e.y_root, TranslateModifiers(e.state), delta) == kPalPassOn)
            PassOn(w, e, ButtonPressMask);
    }
}

void CPalWindow::Dispatcher::OnButtonRelease(CPalWindow& w, XButtonEvent& e)
{
    if (!IsClickButton(e.button))
        return;
    w.onMouseUp(w.ToClient(e.x), w.ToClient(e.y), TranslateModifiers(e.state) | ButtonBit(e.button));
    if (e.button == Button3 && w.IsValid())
        w.onContextMenu(w.ToClient(e.x), w.ToClient(e.y));
}

// The platform's default for a wheel turn or a key a window does not use:
// the parent window gets it, as if this window were not there. Top-level
// windows have no host to hand it to.
template <typename InputEvent>
void CPalWindow::Dispatcher::PassOn(const CPalWindow& w, const InputEvent& e, long mask)
{
    PalDisplay* display = PalDisplay::Get();
    if (!w.m_bOwned || w.m_bTopLevel)
        return;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display->Dpy(), e.window, &root, &parent, &children, &count))
        return;
    if (children)
        XFree(children);
    if (parent == 0 || parent == root)
        return;
    InputEvent passed = e;
    passed.window = parent;
    passed.subwindow = e.window;
    Window child = 0;
    XTranslateCoordinates(display->Dpy(), e.window, parent, e.x, e.y, &passed.x, &passed.y, &child);
    XEvent forwarded{};
    if constexpr (std::is_same_v<InputEvent, XKeyEvent>)
        forwarded.xkey = passed;
    else
        forwarded.xbutton = passed;
    XSendEvent(display->Dpy(), parent, True, mask, &forwarded);
}

void CPalWindow::Dispatcher::Key(CPalWindow& w, XKeyEvent& e, bool down)
{
    const KeySym sym = KeySymOf(e);
    const std::int32_t code = TranslateKey(static_cast<std::uint32_t>(sym));
    // A key the window does not handle goes to the host, its release with it,
    // so that the host's own keys (Space for its transport) work after a click.
    if (down) {
        const bool handled = code != 0 && w.onKeyDown(code, static_cast<std::uint32_t>(sym)) == 0;
        if (!handled && w.IsValid()) {
            w.m_passedKeys.set(e.keycode);
            PassOn(w, e, KeyPressMask);
        }
    } else {
        if (code != 0)
            w.onKeyUp(code, static_cast<std::uint32_t>(sym));
        if (w.m_passedKeys.test(e.keycode)) {
            w.m_passedKeys.reset(e.keycode);
            if (w.IsValid())
                PassOn(w, e, KeyReleaseMask);
        }
    }
    if (!down || !w.IsValid())
        return;
    // What the platform does after a key: help and the context-menu key.
    if (sym == XK_F1 || sym == XK_Help)
        w.onHelp();
    else if (sym == XK_Menu || (sym == XK_F10 && (e.state & ShiftMask)))
        w.onContextMenu(-1, -1);
}

void CPalWindow::Dispatcher::Configure(CPalWindow& w, XConfigureEvent& e)
{
    if (e.width == w.m_nWidth && e.height == w.m_nHeight)
        return;
    w.m_nWidth = e.width;
    w.m_nHeight = e.height;
    w.onSize(kPalSizeRestored, w.ToClient(e.width), w.ToClient(e.height));
}

void CPalWindow::Dispatcher::OnClientMessage(CPalWindow& w, XClientMessageEvent& e)
{
    PalDisplay* display = PalDisplay::Get();
    if (e.format != 32 || (w.m_pDropTarget && w.m_pDropTarget->OnClientMessage(e)))
        return;
    if (e.message_type == display->Intern("WM_PROTOCOLS") &&
        static_cast<Atom>(e.data.l[0]) == display->Intern("WM_DELETE_WINDOW")) {
        w.Destroy();
        return;
    }
    // A maximise request is reported, never carried out.
    const Atom vertical = display->Intern("_NET_WM_STATE_MAXIMIZED_VERT");
    const Atom horizontal = display->Intern("_NET_WM_STATE_MAXIMIZED_HORZ");
    constexpr long kStateRemove = 0;
    if (e.message_type == display->Intern("_NET_WM_STATE") && e.data.l[0] != kStateRemove &&
        (static_cast<Atom>(e.data.l[1]) == vertical || static_cast<Atom>(e.data.l[1]) == horizontal ||
         static_cast<Atom>(e.data.l[2]) == vertical || static_cast<Atom>(e.data.l[2]) == horizontal))
        w.onSize(kPalSizeMaximized, w.ToClient(w.m_nWidth), w.ToClient(w.m_nHeight));
}

PalResult CPalWindow::Create(const char* title, const CPalRect& bounds, int kind, std::uint32_t style,
                             IPalWindow* parent)
{
    PalDisplay* display = PalDisplay::Get();
    if (GetHandle() != 0)
        return kPalUnexpected;
    const PalNativeWindow parentHandle = parent ? parent->GetHandle() : 0;
    if (kind == kPalWindowChild && parentHandle == 0)
        return kPalInvalidArg;
    if (!display)
        return kPalFail;
    Display* dpy = display->Dpy();
    const Window container = kind == kPalWindowChild ? parentHandle : display->Root();
    const unsigned width = bounds.Width() > 0 ? ToDevice(bounds.Width()) : 1;
    const unsigned height = bounds.Height() > 0 ? ToDevice(bounds.Height()) : 1;

    // No background: what is on screen stays until onPaint draws over it.
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.event_mask = kEventMask;
    Window window = 0;
    const bool clean = display->Trapped([&] {
        window = XCreateWindow(dpy, container, ToDevice(bounds.Left()), ToDevice(bounds.Top()), width, height, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    });
    if (!clean || window == 0) {
        DebugTrace("CPalWindow::Create - the native window cannot be created\n");
        return kPalFail;
    }

    m_sClassName = MakeClassName();
    XClassHint classHint{const_cast<char*>("ol7t"), m_sClassName.data()};
    XSetClassHint(dpy, window, &classHint);
    if (title)
        XChangeProperty(dpy, window, display->Intern("_NET_WM_NAME"), display->Intern("UTF8_STRING"), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(title), std::strlen(title));

    m_bTopLevel = kind != kPalWindowChild;
    if (m_bTopLevel) {
        Atom deleteWindow = display->Intern("WM_DELETE_WINDOW");
        XSetWMProtocols(dpy, window, &deleteWindow, 1);
        XSizeHints* hints = XAllocSizeHints();
        hints->flags = PPosition | PSize;
        if (!(style & kPalStyleSizingBorder)) {
            hints->flags |= PMinSize | PMaxSize;
            hints->min_width = hints->max_width = width;
            hints->min_height = hints->max_height = height;
        }
        XSetWMNormalHints(dpy, window, hints);
        XFree(hints);
        if (kind == kPalWindowTool) {
            Atom utility = display->Intern("_NET_WM_WINDOW_TYPE_UTILITY");
            XChangeProperty(dpy, window, display->Intern("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&utility), 1);
        }
        if (parentHandle)
            XSetTransientForHint(dpy, window, parentHandle);
    } else {
        // Embedding hosts show a child only once it declares itself mapped.
        const long xembedInfo[2] = {0, 1};
        Atom xembed = display->Intern("_XEMBED_INFO");
        XChangeProperty(dpy, window, xembed, xembed, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(xembedInfo), 2);
    }

    if (style & kPalStyleAcceptFiles) {
        XdndTarget::Announce(*display, window);
        const auto deliver = [](void* user, const PalPoint& screenPoint, const std::vector<std::string>& paths) {
            auto* self = static_cast<CPalWindow*>(user);
            PalPoint point = screenPoint;
            self->ScreenToClient(&point);
            self->onDropFiles(point.x, point.y, paths);
        };
        m_pDropTarget = std::make_shared<XdndTarget>(window, deliver, this);
    }

    XWindowAttributes created;
    XGetWindowAttributes(dpy, window, &created);
    m_pVisual = created.visual;
    m_nDepth = created.depth;
    m_nWidth = static_cast<std::int32_t>(width);
    m_nHeight = static_cast<std::int32_t>(height);
    m_bOwned = true;
    m_nHandle = window;
    display->AddWindow(
        window, [this](XEvent& event) { Dispatcher::Handle(*this, event); }, [this] { PaintPending(); });
    display->ApplyCursor(window);
    XFlush(dpy);
    return kPalOk;
}

PalResult CPalWindow::Attach(PalNativeWindow handle)
{
    if (GetHandle() != 0)
        return kPalUnexpected;
    PalDisplay* display = PalDisplay::Get();
    if (!display)
        return kPalUnexpected;
    if (!display->IsLiveWindow(handle))
        return kPalInvalidArg;
    // Only the structure of an adopted window is watched: its owner keeps its
    // input, and its end is noticed.
    XWindowAttributes attributes;
    XGetWindowAttributes(display->Dpy(), handle, &attributes);
    XSelectInput(display->Dpy(), handle, attributes.your_event_mask | StructureNotifyMask);
    m_pVisual = attributes.visual;
    m_nWidth = attributes.width;
    m_nHeight = attributes.height;
    m_bOwned = false;
    m_bTopLevel = false;
    m_nHandle = handle;
    display->AddWindow(
        handle,
        [this](XEvent& event) {
            if (event.type == DestroyNotify || event.type == ConfigureNotify)
                Dispatcher::Handle(*this, event);
        },
        nullptr);
    return kPalOk;
}

PalResult CPalWindow::Destroy()
{
    const PalNativeWindow handle = GetHandle();
    if (handle == 0)
        return kPalOk;
    PalDisplay* display = PalDisplay::Get();
    if (display) {
        RestoreFocus();
        // An adopted window belongs to its creator; only the wrapping ends.
        if (m_bOwned && display->HasWindow(handle))
            display->Trapped([&] { XDestroyWindow(display->Dpy(), handle); });
    }
    Forget();
    onDestroyed();
    return kPalOk;
}

void CPalWindow::Forget()
{
    const PalNativeWindow handle = GetHandle();
    if (PalDisplay* display = PalDisplay::Get())
        display->RemoveWindow(handle);
    m_nHandle = 0;
    m_nDirty = 0;
    m_pDropTarget.reset();
    if (m_pBacking)
        cairo_surface_destroy(static_cast<cairo_surface_t*>(m_pBacking));
    m_pBacking = nullptr;
}

bool CPalWindow::Show(bool show)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    if (!show) {
        XUnmapWindow(display->Dpy(), GetHandle());
        XFlush(display->Dpy());
        return true;
    }
    XMapWindow(display->Dpy(), GetHandle());
    UpdateNow();
    return true;
}

bool CPalWindow::IsValid() { return GetHandle() != 0; }

bool CPalWindow::IsVisible()
{
    PalDisplay* display = PalDisplay::Get();
    XWindowAttributes attributes;
    return display && GetHandle() != 0 && XGetWindowAttributes(display->Dpy(), GetHandle(), &attributes) &&
           attributes.map_state == IsViewable;
}

bool CPalWindow::IsMinimized()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    const Atom wmState = display->Intern("WM_STATE");
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    constexpr long kIconicState = 3;
    bool iconic = false;
    if (XGetWindowProperty(display->Dpy(), GetHandle(), wmState, 0, 1, False, wmState, &type, &format, &count,
                           &remaining, &data) == Success &&
        data) {
        iconic = format == 32 && count == 1 && reinterpret_cast<long*>(data)[0] == kIconicState;
        XFree(data);
    }
    return iconic;
}

void CPalWindow::GetWindowBounds(CPalRect& bounds)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return;
    XWindowAttributes attributes;
    Window child = 0;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display->Dpy(), GetHandle(), &attributes) ||
        !XTranslateCoordinates(display->Dpy(), GetHandle(), display->Root(), 0, 0, &x, &y, &child))
        return;
    bounds.Init(x, y, attributes.width, attributes.height);
}

void CPalWindow::GetClientBounds(CPalRect& bounds)
{
    PalDisplay* display = PalDisplay::Get();
    XWindowAttributes attributes;
    if (display && GetHandle() != 0 && XGetWindowAttributes(display->Dpy(), GetHandle(), &attributes))
        bounds.Init(0, 0, ToClient(attributes.width), ToClient(attributes.height));
}

bool CPalWindow::SetBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    return display->Trapped([&] {
        XMoveResizeWindow(display->Dpy(), GetHandle(), ToDevice(x), ToDevice(y), width > 0 ? ToDevice(width) : 1,
                          height > 0 ? ToDevice(height) : 1);
        XMapWindow(display->Dpy(), GetHandle());
    });
}

bool CPalWindow::SetPosition(std::int32_t x, std::int32_t y)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    return display->Trapped([&] {
        XMoveWindow(display->Dpy(), GetHandle(), ToDevice(x), ToDevice(y));
        XMapWindow(display->Dpy(), GetHandle());
    });
}

bool CPalWindow::BringToFront()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    return display->Trapped([&] { XRaiseWindow(display->Dpy(), GetHandle()); });
}

bool CPalWindow::TakeFocus()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display->Dpy(), &focus, &revert);
    if (focus != GetHandle())
        m_nFocusBefore = focus == PointerRoot ? 0 : focus;
    return display->Trapped([&] { XSetInputFocus(display->Dpy(), GetHandle(), RevertToParent, CurrentTime); });
}

bool CPalWindow::RestoreFocus()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || m_nFocusBefore == 0)
        return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display->Dpy(), &focus, &revert);
    // The focus counts as free when nobody, or this window that is going, holds it.
    const bool free = focus == None || focus == PointerRoot || focus == GetHandle();
    if (!free || !display->IsLiveWindow(m_nFocusBefore))
        return false;
    return display->Trapped([&] { XSetInputFocus(display->Dpy(), m_nFocusBefore, RevertToParent, CurrentTime); });
}

PalResult CPalWindow::DragFileOut(const char* path)
{
    // The longest path that fits the classic dropped-files block.
    constexpr std::size_t kMaxDragPath = 1002;
    if (!path || std::strlen(path) > kMaxDragPath)
        return kPalInvalidArg;
    ReleaseMouse();
    // No drag source on this platform yet: nothing is offered.
    return kPalFail;
}

PalResult CPalWindow::Invalidate()
{
    if (GetHandle() == 0)
        return kPalUnexpected;
    AddDirty(0, 0, kEdgeLimit, kEdgeLimit);
    return kPalOk;
}

PalResult CPalWindow::InvalidateRect(const CPalRect& rect)
{
    if (GetHandle() == 0)
        return kPalUnexpected;
    // Partly covered device pixels are repainted whole.
    const double s = Scale();
    const auto low = [s](std::int32_t v) { return static_cast<std::int32_t>(std::floor(v * s)); };
    const auto high = [s](std::int32_t v) { return static_cast<std::int32_t>(std::ceil(v * s)); };
    AddDirty(low(rect.Left()), low(rect.Top()), high(rect.Right()), high(rect.Bottom()));
    return kPalOk;
}

PalResult CPalWindow::UpdateNow()
{
    const PalResult result = Invalidate();
    if (result == kPalOk)
        PaintPending();
    return result;
}

void CPalWindow::PaintPending()
{
    PalDisplay* display = PalDisplay::Get();
    const std::uint64_t packed = m_nDirty.exchange(0, std::memory_order_relaxed);
    if (!display || packed == 0 || GetHandle() == 0 || !m_bOwned)
        return;
    CPalRect dirty;
    if (!dirty.Intersect(UnpackRect(packed), CPalRect(0, 0, m_nWidth, m_nHeight)))
        return;
    // The client area that covers the dirty device pixels.
    const double s = Scale();
    const auto low = [s](std::int32_t v) { return static_cast<std::int32_t>(std::floor(v / s)); };
    const auto high = [s](std::int32_t v) { return static_cast<std::int32_t>(std::ceil(v / s)); };
    const CPalRect clientDirty(low(dirty.Left()), low(dirty.Top()), high(dirty.Right()) - low(dirty.Left()),
                               high(dirty.Bottom()) - low(dirty.Top()));
    // The window keeps its picture in an image of its size: what a repaint
    // leaves alone stays as it was, as on a screen that is never erased.
    auto* backing = static_cast<cairo_surface_t*>(m_pBacking);
    if (backing && (cairo_image_surface_get_width(backing) != m_nWidth ||
                    cairo_image_surface_get_height(backing) != m_nHeight)) {
        cairo_surface_destroy(backing);
        backing = nullptr;
    }
    if (!backing) {
        backing = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_nWidth, m_nHeight);
        m_pBacking = backing;
    }
    // One transform for everything drawn into the window: client units in,
    // device pixels out.
    cairo_surface_set_device_scale(backing, s, s);
    cairo_t* cr = cairo_create(backing);
    cairo_rectangle(cr, dirty.Left() / s, dirty.Top() / s, dirty.Width() / s, dirty.Height() / s);
    cairo_clip(cr);
    {
        CPalDC dc(cr);
        onPaint(&dc, clientDirty);
    }
    cairo_destroy(cr);
    cairo_surface_flush(backing);
    // onPaint may have destroyed the window.
    if (GetHandle() != 0)
        display->Present(GetHandle(), static_cast<Visual*>(m_pVisual), m_nDepth, backing, dirty.Left(), dirty.Top(),
                         dirty.Width(), dirty.Height());
}

PalResult CPalWindow::CaptureMouse()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return kPalOk;
    const int grab = XGrabPointer(display->Dpy(), GetHandle(), False,
                                  ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                                  GrabModeAsync, None, None, CurrentTime);
    if (grab == GrabSuccess)
        display->m_nCaptured = GetHandle();
    else
        DebugTrace("CPalWindow::CaptureMouse - grab refused (%d)\n", grab);
    return kPalOk;
}

PalResult CPalWindow::ReleaseMouse()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display)
        return kPalOk;
    if (display->m_nCaptured != 0 && display->m_nCaptured == GetHandle()) {
        XUngrabPointer(display->Dpy(), CurrentTime);
        XFlush(display->Dpy());
        display->m_nCaptured = 0;
    }
    return kPalOk;
}

void CPalWindow::ClientToScreen(PalPoint* point)
{
    PalDisplay* display = PalDisplay::Get();
    Window child = 0;
    if (point && display && GetHandle() != 0)
        XTranslateCoordinates(display->Dpy(), GetHandle(), display->Root(), ToDevice(point->x), ToDevice(point->y),
                              &point->x, &point->y, &child);
}

void CPalWindow::ScreenToClient(PalPoint* point)
{
    PalDisplay* display = PalDisplay::Get();
    Window child = 0;
    if (point && display && GetHandle() != 0 &&
        XTranslateCoordinates(display->Dpy(), display->Root(), GetHandle(), point->x, point->y, &point->x, &point->y,
                              &child)) {
        point->x = ToClient(point->x);
        point->y = ToClient(point->y);
    }
}

std::int32_t CPalWindow::ToDevice(std::int32_t client) const
{
    return static_cast<std::int32_t>(std::lround(client * double(Scale())));
}

std::int32_t CPalWindow::ToClient(std::int32_t device) const
{
    return static_cast<std::int32_t>(std::floor(device / double(Scale())));
}

void CPalWindow::SetScale(float scale)
{
    const float old = Scale();
    if (!(scale > 0.f) || scale == old)
        return;
    const std::int32_t clientWidth = static_cast<std::int32_t>(std::lround(m_nWidth / double(old)));
    const std::int32_t clientHeight = static_cast<std::int32_t>(std::lround(m_nHeight / double(old)));
    m_fScale.store(scale, std::memory_order_relaxed);
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0 || !m_bOwned)
        return;
    // The new size counts at once, so the next repaint fills all of it.
    m_nWidth = std::max(1, ToDevice(clientWidth));
    m_nHeight = std::max(1, ToDevice(clientHeight));
    display->Trapped([&] { XResizeWindow(display->Dpy(), GetHandle(), m_nWidth, m_nHeight); });
    Invalidate();
}

bool CPalWindow::StartTimer(std::uint32_t id, std::uint32_t intervalMs)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    display->StartTimer(GetHandle(), id, intervalMs, [this, id] { onTimer(id); });
    return true;
}

bool CPalWindow::StopTimer(std::uint32_t id)
{
    PalDisplay* display = PalDisplay::Get();
    return display && GetHandle() != 0 && display->StopTimer(GetHandle(), id);
}

bool CPalWindow::PostAsync(std::intptr_t value1, std::intptr_t value2)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || GetHandle() == 0)
        return false;
    display->Post(GetHandle(), [this, value1, value2] { onAsync(value1, value2); });
    return true;
}

bool CPalWindow::SetMenuBar(CPalMenu*)
{
    // Windows here have no menu bars; the menus are pop-ups.
    return false;
}

CPalWindow::~CPalWindow() { Destroy(); }

bool CPalWindow::IsLayerWindow(PalNativeWindow window)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display)
        return false;
    XClassHint hint{};
    bool layer = false;
    display->Trapped([&] {
        if (XGetClassHint(display->Dpy(), window, &hint)) {
            layer = hint.res_class && std::strncmp(hint.res_class, kClassPrefix, sizeof kClassPrefix - 1) == 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    });
    return layer;
}

} // namespace ZVNPal
