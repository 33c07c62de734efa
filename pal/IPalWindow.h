// The platform window as the editor sees it: native window management, timers
// and the message handlers that its window classes override. The order of the
// virtual operations is part of the contract and must not change.
#pragma once

#include "pal/CPalRect.h"
#include "pal/PalTypes.h"

#include <string>
#include <vector>

namespace ZVNPal {

class IPalDC;
class CPalMenu;

// Window kinds for Create.
enum PalWindowKind : int {
    kPalWindowPlain = 0,
    kPalWindowCaptioned = 1,
    kPalWindowTool = 2,
    kPalWindowChild = 3,
};

// Style flags for Create.
enum PalWindowStyle : std::uint32_t {
    kPalStyleMinimizeBox = 1,
    kPalStyleMaximizeBox = 2,
    kPalStyleSizingBorder = 4,
    kPalStyleAcceptFiles = 8,
};

// Size types of onSize.
enum PalSizeType : int {
    kPalSizeRestored = 0,
    kPalSizeMinimized = 1,
    kPalSizeMaximized = 2,
};

// A wheel handler returns this to hand the event on to the platform.
inline constexpr int kPalPassOn = 2;

class IPalWindow {
public:
    virtual PalResult Create(const char* title, const CPalRect& bounds, int kind, std::uint32_t style,
                             IPalWindow* parent) = 0;
    virtual PalResult Attach(PalNativeWindow handle) = 0;
    virtual PalResult Destroy() = 0;
    virtual bool Show(bool show) = 0;
    virtual bool IsValid() = 0;
    virtual bool IsMinimized() = 0;
    virtual void GetWindowBounds(CPalRect& bounds) = 0;
    virtual void GetClientBounds(CPalRect& bounds) = 0;
    virtual bool SetBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) = 0;
    virtual bool SetPosition(std::int32_t x, std::int32_t y) = 0;
    virtual void Reserved10() {}
    virtual bool BringToFront() = 0;
    virtual bool TakeFocus() = 0;
    virtual bool RestoreFocus() = 0;
    virtual PalResult DragFileOut(const char* path) = 0;
    virtual PalNativeWindow GetHandle() = 0;
    virtual PalNativeWindow GetNativeHandle() { return GetHandle(); }
    virtual PalNativeWindow GetHandle() const = 0;
    virtual PalResult Invalidate() = 0;
    virtual PalResult InvalidateRect(const CPalRect& rect) = 0;
    virtual PalResult UpdateNow() = 0;
    virtual int Reserved21() { return 1; }
    virtual int Reserved22() { return 0; }
    virtual int Reserved23() { return 0; }
    virtual PalResult CaptureMouse() = 0;
    virtual PalResult ReleaseMouse() = 0;
    virtual void ClientToScreen(PalPoint* point) = 0;
    virtual void ScreenToClient(PalPoint* point) = 0;
    virtual bool StartTimer(std::uint32_t id, std::uint32_t intervalMs) = 0;
    virtual bool StopTimer(std::uint32_t id) = 0;
    virtual bool PostAsync(std::intptr_t value1, std::intptr_t value2) = 0;
    virtual bool SetMenuBar(CPalMenu* menu) = 0;
    virtual ~IPalWindow() = default;

    // Message handlers, called on the user-interface thread. Positions are
    // client coordinates unless stated; modifiers are TranslateModifiers bits.
    virtual int onMouseDown(std::int32_t x, std::int32_t y, std::uint32_t modifiers) = 0;
    virtual int onMouseUp(std::int32_t x, std::int32_t y, std::uint32_t modifiers) = 0;
    virtual int onMouseMove(std::int32_t x, std::int32_t y, std::uint32_t modifiers) = 0;
    virtual int onDoubleClick(std::int32_t x, std::int32_t y, std::uint32_t modifiers) = 0;
    // Screen coordinates; a result of kPalPassOn hands the event on.
    virtual int onMouseWheel(std::int32_t x, std::int32_t y, std::uint32_t modifiers, std::int32_t delta) = 0;
    virtual int onContextMenu(std::int32_t x, std::int32_t y) = 0;
    virtual int onCommand(std::int32_t commandId, std::intptr_t extra) = 0;
    virtual int onKeyDown(std::int32_t key, std::uint32_t nativeKey) = 0;
    virtual int onKeyUp(std::int32_t key, std::uint32_t nativeKey) = 0;
    virtual int onFocus() = 0;
    virtual int onFocusLost() = 0;
    virtual int onDestroyed() = 0;
    virtual int onSizing(std::int32_t edge, CPalRect& proposed) = 0;
    virtual int onSize(std::int32_t sizeType, std::int32_t width, std::int32_t height) = 0;
    virtual int onDropFiles(std::int32_t x, std::int32_t y, const std::vector<std::string>& paths) = 0;
    virtual void Reserved48() {}
    virtual int onJoystickMove(std::uint32_t buttons, std::int32_t x, std::int32_t y) = 0;
    virtual int onTimer(std::uint32_t id) = 0;
    virtual void onAsync(std::intptr_t value1, std::intptr_t value2) = 0;
    virtual int onBroadcastA(std::int32_t a, std::int32_t b, std::int32_t c) = 0;
    virtual int onBroadcastB(std::int32_t a, std::int32_t b, std::int32_t c) = 0;
    virtual int onHelp() = 0;
    virtual int onActivate() = 0;
    virtual int onDeactivate() = 0;
    virtual int onPaint(IPalDC* dc, const CPalRect& dirty) = 0;
};

} // namespace ZVNPal
