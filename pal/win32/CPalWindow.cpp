// The platform window on Win32: a window class of its own per window, the
// dispatcher that turns window messages into the handler slots, and the
// window operations over the native calls.
#include "pal/CPalWindow.h"

#include "pal/CPalDC.h"
#include "pal/CPalMenu.h"
#include "pal/DebugTrace.h"
#include "pal/PalDirtyRect.h"
#include "pal/PalFunctions.h"
#include "pal/win32/PalWin32.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

namespace ZVNPal {

using namespace Win32;

namespace {

// Windows of this layer are told apart by a class name that begins with this.
constexpr wchar_t kClassPrefix[] = L"PAL";
constexpr std::size_t kClassNameLimit = 41;
// Double clicks reported; the device context clipped like the parent's.
constexpr UINT kClassStyle = CS_DBLCLKS | CS_PARENTDC;
// The private message of PostAsync and the joystick's move message.
constexpr UINT kAsyncMessage = 23505;
constexpr UINT kJoystickMove = 928;
// The layer's own timer: it hands areas invalidated from other threads
// (the audio thread among them) to the system. Outside the editor's ids.
constexpr UINT_PTR kInvalidationTimer = 0x7FFF0001;
constexpr UINT kInvalidationMs = 15;
// The longest dropped path taken, in characters.
constexpr UINT kMaxDropPath = 260;
// Edit controls show white text on the panel's dark blue.
constexpr COLORREF kEditText = RGB(255, 255, 255);
constexpr COLORREF kEditBackground = RGB(9, 12, 18);

std::uint32_t g_nClassCounter = 0;

// "PAL", a process-wide counter and a fresh GUID, all in hexadecimal, cut to
// 41 characters: every window gets a class of its own. Without a GUID the
// name is "PAL" alone.
std::wstring MakeClassName()
{
    ++g_nClassCounter;
    GUID guid{};
    if (FAILED(::CoCreateGuid(&guid)))
        return kClassPrefix;
    wchar_t text[96];
    int length = std::swprintf(text, 96, L"%ls%x_%08lx%04x%04x-", kClassPrefix, g_nClassCounter,
                               static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3);
    for (unsigned char byte : guid.Data4)
        length += std::swprintf(text + length, 96 - length, L"%02x", byte);
    return std::wstring(text).substr(0, kClassNameLimit);
}

void TraceRegistrationFailure(DWORD error)
{
    wchar_t* message = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    DebugTrace("RegisterClassEx failed with error %d: %s\n", static_cast<int>(error), Narrow(message).c_str());
    if (message)
        ::LocalFree(message);
}

struct Styles {
    DWORD style;
    DWORD extended;
};

Styles StylesFor(int kind, std::uint32_t flags)
{
    Styles s{};
    switch (kind) {
    case kPalWindowCaptioned:
        s.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        s.extended = WS_EX_CONTROLPARENT;
        break;
    case kPalWindowTool:
        s.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        s.extended = WS_EX_TOOLWINDOW;
        break;
    case kPalWindowChild: s.style = WS_CHILD; break;
    default: s.style = WS_POPUP; break;
    }
    if (flags & kPalStyleMinimizeBox)
        s.style |= WS_MINIMIZEBOX;
    if (flags & kPalStyleMaximizeBox)
        s.style |= WS_MAXIMIZEBOX;
    if (flags & kPalStyleSizingBorder)
        s.style |= WS_THICKFRAME;
    if (flags & kPalStyleAcceptFiles)
        s.extended |= WS_EX_ACCEPTFILES;
    return s;
}

// Signed positions packed in a message's parameter.
std::int32_t LowSigned(LPARAM value) { return static_cast<short>(LOWORD(value)); }
std::int32_t HighSigned(LPARAM value) { return static_cast<short>(HIWORD(value)); }

std::uint32_t MouseModifiers(WPARAM wParam) { return TranslateModifiers(GET_KEYSTATE_WPARAM(wParam)); }

} // namespace

// Turns the messages of one window into its handler calls.
class CPalWindow::Dispatcher {
public:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT Handle(CPalWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Mouse(CPalWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool Key(CPalWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void Paint(CPalWindow& w, HWND hwnd);
    static void DropFiles(CPalWindow& w, HDROP drop);
    static void Destroyed(CPalWindow& w);
};

LRESULT CALLBACK CPalWindow::Dispatcher::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* w = reinterpret_cast<CPalWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!w)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return Handle(*w, hwnd, message, wParam, lParam);
}

LRESULT CPalWindow::Dispatcher::Handle(CPalWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL: return Mouse(w, hwnd, message, wParam, lParam);
    case WM_CONTEXTMENU:
        w.onContextMenu(LowSigned(lParam), HighSigned(lParam));
        return 0;
    case WM_COMMAND:
        if (w.onCommand(LOWORD(wParam), lParam) == 0)
            return 0;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (Key(w, hwnd, message, wParam, lParam))
            return 0;
        break; // the default handling runs afterwards
    case WM_SETFOCUS: w.onFocus(); return 0;
    case WM_KILLFOCUS: w.onFocusLost(); return 0;
    case WM_NCDESTROY: Destroyed(w); break;
    case WM_DESTROY:
    case WM_HSCROLL:
    case WM_VSCROLL: return 0;
    case WM_SIZING: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        CPalRect proposed(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        w.onSizing(static_cast<std::int32_t>(wParam), proposed);
        *rect = RECT{proposed.Left(), proposed.Top(), proposed.Right(), proposed.Bottom()};
        return TRUE;
    }
    case WM_SIZE: w.onSize(static_cast<std::int32_t>(wParam), LOWORD(lParam), HIWORD(lParam)); return 1;
    case WM_SYSCOMMAND:
        // A maximise request is reported, never carried out.
        if ((wParam & 0xFFF0) == SC_MAXIMIZE) {
            RECT client{};
            ::GetClientRect(hwnd, &client);
            w.onSize(kPalSizeMaximized, client.right, client.bottom);
            return 0;
        }
        break;
    case WM_DROPFILES: DropFiles(w, reinterpret_cast<HDROP>(wParam)); return 0;
    case kJoystickMove:
        w.onJoystickMove(static_cast<std::uint32_t>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kInvalidationTimer)
            w.InvalidatePending();
        else
            w.onTimer(static_cast<std::uint32_t>(wParam));
        return 0;
    case kAsyncMessage: w.onAsync(static_cast<std::intptr_t>(wParam), static_cast<std::intptr_t>(lParam)); return 0;
    case WM_HELP: w.onHelp(); return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE)
            w.onActivate();
        else if (LOWORD(wParam) == WA_INACTIVE)
            w.onDeactivate();
        break;
    case WM_PAINT: Paint(w, hwnd); return 0;
    case WM_ERASEBKGND: return 1; // the background is never erased
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ApplyCursor();
            return TRUE;
        }
        break;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_CTLCOLOREDIT: {
        static HBRUSH editBrush = ::CreateSolidBrush(kEditBackground);
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kEditText);
        ::SetBkColor(dc, kEditBackground);
        return reinterpret_cast<LRESULT>(editBrush);
    }
    default: break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CPalWindow::Dispatcher::Mouse(CPalWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::int32_t x = LowSigned(lParam);
    const std::int32_t y = HighSigned(lParam);
    const std::uint32_t modifiers = MouseModifiers(wParam);
    switch (message) {
    case WM_LBUTTONDOWN: w.onMouseDown(x, y, modifiers | kPalModLeftButton); break;
    case WM_RBUTTONDOWN: w.onMouseDown(x, y, modifiers | kPalModRightButton); break;
    case WM_LBUTTONUP: w.onMouseUp(x, y, modifiers | kPalModLeftButton); break;
    case WM_RBUTTONUP:
        // The release itself asks for the context menu; the default handling,
        // which would send a second request, does not run.
        w.onMouseUp(x, y, modifiers | kPalModRightButton);
        if (::IsWindow(hwnd))
            w.onContextMenu(x, y);
        break;
    case WM_LBUTTONDBLCLK: w.onDoubleClick(x, y, modifiers | kPalModLeftButton); break;
    case WM_RBUTTONDBLCLK: w.onDoubleClick(x, y, modifiers | kPalModRightButton); break;
    case WM_MOUSEMOVE: w.onMouseMove(x, y, modifiers); break;
    case WM_MOUSEWHEEL:
        if (w.onMouseWheel(x, y, modifiers, GET_WHEEL_DELTA_WPARAM(wParam)) == kPalPassOn)
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        break;
    default: break;
    }
    return 0;
}

// A key the window does not handle goes to the host's window, its release
// with it, so that the host's own keys (Space for its transport) work after
// a click on the panel. True when the key went there.
bool CPalWindow::Dispatcher::Key(CPalWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::int32_t code = TranslateKey(static_cast<std::uint32_t>(wParam));
    const std::size_t native = wParam & 0xFF;
    const HWND parent = w.m_bOwned && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hwnd) : nullptr;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        const bool handled = code != 0 && w.onKeyDown(code, static_cast<std::uint32_t>(wParam)) == 0;
        if (handled || !parent || !::IsWindow(hwnd))
            return false;
        w.m_passedKeys.set(native);
    } else {
        if (code != 0)
            w.onKeyUp(code, static_cast<std::uint32_t>(wParam));
        if (!w.m_passedKeys.test(native) || !parent)
            return false;
        w.m_passedKeys.reset(native);
    }
    ::PostMessageW(parent, message, wParam, lParam);
    return true;
}

void CPalWindow::Dispatcher::Paint(CPalWindow& w, HWND hwnd)
{
    PAINTSTRUCT paint{};
    HDC device = ::BeginPaint(hwnd, &paint);
    if (device) {
        CPalDC dc(device);
        const RECT& r = paint.rcPaint;
        w.onPaint(&dc, CPalRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    ::EndPaint(hwnd, &paint);
}

void CPalWindow::Dispatcher::DropFiles(CPalWindow& w, HDROP drop)
{
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i) {
        wchar_t path[kMaxDropPath + 1] = {};
        if (::DragQueryFileW(drop, i, path, kMaxDropPath + 1) > 0)
            paths.push_back(Narrow(path));
    }
    POINT at{};
    ::DragQueryPoint(drop, &at);
    w.onDropFiles(at.x, at.y, paths);
    ::DragFinish(drop);
}

void CPalWindow::Dispatcher::Destroyed(CPalWindow& w)
{
    w.RestoreFocus();
    w.Forget();
    w.onDestroyed();
}

PalResult CPalWindow::Create(const char* title, const CPalRect& bounds, int kind, std::uint32_t style,
                             IPalWindow* parent)
{
    if (GetHandle() != 0)
        return kPalUnexpected;
    const HWND parentHandle = parent ? Hwnd(parent->GetHandle()) : nullptr;
    if (kind == kPalWindowChild && !parentHandle)
        return kPalInvalidArg;
    ReleaseClass();
    m_hInstance = ModuleInstance();
    const std::wstring className = MakeClassName();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = Dispatcher::WindowProc;
    windowClass.hInstance = static_cast<HINSTANCE>(m_hInstance);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className.c_str();
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        TraceRegistrationFailure(::GetLastError());
        return kPalFail;
    }

    const Styles styles = StylesFor(kind, style);
    // The bounds asked for are the client area's.
    RECT outer{bounds.Left(), bounds.Top(), bounds.Right(), bounds.Bottom()};
    ::AdjustWindowRectEx(&outer, styles.style, FALSE, styles.extended);
    const std::wstring text = Widen(title, 260);
    const HWND window = ::CreateWindowExW(styles.extended, className.c_str(), text.c_str(), styles.style, outer.left,
                                          outer.top, outer.right - outer.left, outer.bottom - outer.top,
                                          parentHandle, nullptr, static_cast<HINSTANCE>(m_hInstance), this);
    if (!window) {
        DebugTrace("CPalWindow::Create - the native window cannot be created\n");
        return kPalFail;
    }
    m_sClassName = Narrow(className.c_str());
    m_bOwned = true;
    m_nThread = ::GetCurrentThreadId();
    m_nDirty = 0;
    m_nHandle = Native(window);
    ::SetTimer(window, kInvalidationTimer, kInvalidationMs, nullptr);
    return kPalOk;
}

PalResult CPalWindow::Attach(PalNativeWindow handle)
{
    if (GetHandle() != 0)
        return kPalUnexpected;
    if (!handle || !::IsWindow(Hwnd(handle)))
        return kPalInvalidArg;
    // An adopted window keeps its own window procedure: only its handle is used.
    m_bOwned = false;
    m_nThread = ::GetWindowThreadProcessId(Hwnd(handle), nullptr);
    m_nHandle = handle;
    return kPalOk;
}

PalResult CPalWindow::Destroy()
{
    const HWND window = Hwnd(GetHandle());
    if (!window)
        return kPalOk;
    if (m_bOwned && ::IsWindow(window)) {
        // The dispatcher's end of window message forgets the handle and calls onDestroyed.
        ::DestroyWindow(window);
        ReleaseClass();
        if (GetHandle() == 0)
            return kPalOk;
    }
    // An adopted window belongs to its creator; only the wrapping ends.
    RestoreFocus();
    Forget();
    onDestroyed();
    return kPalOk;
}

void CPalWindow::Forget()
{
    const HWND window = Hwnd(GetHandle());
    if (m_bOwned && window)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    m_nHandle = 0;
}

// A class has one window; it goes once that window is gone.
void CPalWindow::ReleaseClass()
{
    if (!m_sClassName.empty())
        ::UnregisterClassW(Widen(m_sClassName.c_str(), kClassNameLimit).c_str(), static_cast<HINSTANCE>(m_hInstance));
    m_sClassName.clear();
}

bool CPalWindow::Show(bool show)
{
    const HWND window = Hwnd(GetHandle());
    if (!window)
        return false;
    ::ShowWindow(window, show ? SW_SHOWNORMAL : SW_HIDE);
    if (show)
        ::UpdateWindow(window);
    return true;
}

// Any thread may ask: a window of this layer forgets its handle as it ends,
// so only an adopted window, whose end is not seen, asks the system.
bool CPalWindow::IsValid() { return GetHandle() != 0 && (m_bOwned || ::IsWindow(Hwnd(GetHandle()))); }

bool CPalWindow::OnOwnerThread() const { return ::GetCurrentThreadId() == m_nThread.load(std::memory_order_relaxed); }

bool CPalWindow::IsVisible() { return GetHandle() != 0 && ::IsWindowVisible(Hwnd(GetHandle())); }

bool CPalWindow::IsMinimized() { return GetHandle() != 0 && ::IsIconic(Hwnd(GetHandle())); }

void CPalWindow::GetWindowBounds(CPalRect& bounds)
{
    RECT r{};
    if (GetHandle() != 0 && ::GetWindowRect(Hwnd(GetHandle()), &r))
        bounds.Init(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void CPalWindow::GetClientBounds(CPalRect& bounds)
{
    RECT r{};
    if (GetHandle() != 0 && ::GetClientRect(Hwnd(GetHandle()), &r))
        bounds.Init(0, 0, r.right, r.bottom);
}

bool CPalWindow::SetBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    return GetHandle() != 0 &&
           ::SetWindowPos(Hwnd(GetHandle()), nullptr, x, y, width > 0 ? width : 1, height > 0 ? height : 1,
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool CPalWindow::SetPosition(std::int32_t x, std::int32_t y)
{
    return GetHandle() != 0 && ::SetWindowPos(Hwnd(GetHandle()), nullptr, x, y, 0, 0,
                                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool CPalWindow::BringToFront() { return GetHandle() != 0 && ::SetForegroundWindow(Hwnd(GetHandle())); }

bool CPalWindow::TakeFocus()
{
    const HWND window = Hwnd(GetHandle());
    if (!window)
        return false;
    const HWND focus = ::GetFocus();
    if (focus != window)
        m_nFocusBefore = Native(focus);
    ::SetFocus(window);
    return ::GetFocus() == window;
}

bool CPalWindow::RestoreFocus()
{
    const HWND before = Hwnd(m_nFocusBefore);
    const HWND focus = ::GetFocus();
    // The focus counts as free when nobody, or this window that is going, holds it.
    const bool free = !focus || focus == Hwnd(GetHandle());
    if (!before || !free || !::IsWindow(before))
        return false;
    return ::SetFocus(before) != nullptr || ::GetFocus() == before;
}

PalResult CPalWindow::DragFileOut(const char* path)
{
    // The longest path that fits the classic dropped-files block.
    constexpr std::size_t kMaxDragPath = 1002;
    if (!path || std::strlen(path) > kMaxDragPath)
        return kPalInvalidArg;
    ReleaseMouse();
    // No drag source in this layer yet: nothing is offered.
    return kPalFail;
}

PalResult CPalWindow::Invalidate()
{
    return InvalidateRect(CPalRect(0, 0, kEdgeLimit, kEdgeLimit));
}

PalResult CPalWindow::InvalidateRect(const CPalRect& rect)
{
    const PalNativeWindow handle = GetHandle();
    if (handle == 0)
        return kPalUnexpected;
    // Off the window's thread nothing but an atomic store: the layer's
    // timer passes the area on.
    if (!OnOwnerThread()) {
        AddDirty(rect.Left(), rect.Top(), rect.Right(), rect.Bottom());
        return kPalOk;
    }
    const RECT r{rect.Left(), rect.Top(), rect.Right(), rect.Bottom()};
    return ::InvalidateRect(Hwnd(handle), &r, FALSE) ? kPalOk : kPalFail;
}

void CPalWindow::InvalidatePending()
{
    const std::uint64_t packed = m_nDirty.exchange(0, std::memory_order_relaxed);
    if (packed == 0 || GetHandle() == 0)
        return;
    const CPalRect area = UnpackRect(packed);
    const RECT r{area.Left(), area.Top(), area.Right(), area.Bottom()};
    ::InvalidateRect(Hwnd(GetHandle()), &r, FALSE);
}

PalResult CPalWindow::UpdateNow()
{
    const PalResult result = Invalidate();
    if (result == kPalOk)
        ::UpdateWindow(Hwnd(GetHandle()));
    return result;
}

PalResult CPalWindow::CaptureMouse()
{
    if (GetHandle() != 0)
        ::SetCapture(Hwnd(GetHandle()));
    return kPalOk;
}

PalResult CPalWindow::ReleaseMouse()
{
    if (GetHandle() != 0 && ::GetCapture() == Hwnd(GetHandle()))
        ::ReleaseCapture();
    return kPalOk;
}

void CPalWindow::ClientToScreen(PalPoint* point)
{
    POINT p{};
    if (!point || GetHandle() == 0)
        return;
    p = POINT{point->x, point->y};
    ::ClientToScreen(Hwnd(GetHandle()), &p);
    *point = PalPoint{p.x, p.y};
}

void CPalWindow::ScreenToClient(PalPoint* point)
{
    if (!point || GetHandle() == 0)
        return;
    POINT p{point->x, point->y};
    ::ScreenToClient(Hwnd(GetHandle()), &p);
    *point = PalPoint{p.x, p.y};
}

bool CPalWindow::StartTimer(std::uint32_t id, std::uint32_t intervalMs)
{
    return GetHandle() != 0 && ::SetTimer(Hwnd(GetHandle()), id, intervalMs, nullptr) != 0;
}

bool CPalWindow::StopTimer(std::uint32_t id) { return GetHandle() != 0 && ::KillTimer(Hwnd(GetHandle()), id); }

bool CPalWindow::PostAsync(std::intptr_t value1, std::intptr_t value2)
{
    return GetHandle() != 0 && ::PostMessageW(Hwnd(GetHandle()), kAsyncMessage, static_cast<WPARAM>(value1),
                                              static_cast<LPARAM>(value2));
}

bool CPalWindow::SetMenuBar(CPalMenu* menu)
{
    return GetHandle() != 0 && menu && ::SetMenu(Hwnd(GetHandle()), static_cast<HMENU>(menu->GetNativeMenu()));
}

// This layer draws at one pixel a unit: the scale stays 1, and an editor that
// reads it back shows its panel at that size.
void CPalWindow::SetScale(float) {}

CPalWindow::~CPalWindow()
{
    Destroy();
    ReleaseClass();
}

bool CPalWindow::IsLayerWindow(PalNativeWindow window)
{
    wchar_t name[64] = {};
    if (!window || !::GetClassNameW(Hwnd(window), name, 64))
        return false;
    return std::wcsncmp(name, kClassPrefix, std::wcslen(kClassPrefix)) == 0;
}

} // namespace ZVNPal
