// The platform window: owns at most one native window (created or adopted),
// turns the platform's events into the handler slots and keeps its timers.
#pragma once

#include "pal/IPalWindow.h"

#include <atomic>
#include <bitset>
#include <map>
#include <memory>

namespace ZVNPal {

// The dropped files of one drop, as QueryDrop receives them.
using PalDropList = std::vector<std::string>;
using PalFileDropCallback = void (*)(const char* path, PalPoint point, void* user);

// Answers of QueryDrop.
inline constexpr std::int32_t kPalDropNone = 0x40100;
inline constexpr std::int32_t kPalDropAccepted = 0x40101;

class XdndTarget;

class CPalWindow : public IPalWindow {
public:
    CPalWindow() = default;
    CPalWindow(const CPalWindow&) = delete;
    CPalWindow& operator=(const CPalWindow&) = delete;

    PalResult Create(const char* title, const CPalRect& bounds, int kind, std::uint32_t style,
                     IPalWindow* parent) override;
    PalResult Attach(PalNativeWindow handle) override;
    PalResult Destroy() override;
    bool Show(bool show) override;
    bool IsValid() override;
    bool IsMinimized() override;
    void GetWindowBounds(CPalRect& bounds) override;
    void GetClientBounds(CPalRect& bounds) override;
    bool SetBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    bool SetPosition(std::int32_t x, std::int32_t y) override;
    bool BringToFront() override;
    bool TakeFocus() override;
    bool RestoreFocus() override;
    PalResult DragFileOut(const char* path) override;
    PalNativeWindow GetHandle() override { return m_nHandle.load(std::memory_order_relaxed); }
    PalNativeWindow GetHandle() const override { return m_nHandle.load(std::memory_order_relaxed); }
    // Safe from any thread, without a lock or a system call off the
    // user-interface thread: the area is painted later on that thread.
    PalResult Invalidate() override;
    PalResult InvalidateRect(const CPalRect& rect) override;
    PalResult UpdateNow() override;
    PalResult CaptureMouse() override;
    PalResult ReleaseMouse() override;
    void ClientToScreen(PalPoint* point) override;
    void ScreenToClient(PalPoint* point) override;
    bool StartTimer(std::uint32_t id, std::uint32_t intervalMs) override;
    bool StopTimer(std::uint32_t id) override;
    bool PostAsync(std::intptr_t value1, std::intptr_t value2) override;
    bool SetMenuBar(CPalMenu* menu) override;
    ~CPalWindow() override;

    int onMouseDown(std::int32_t, std::int32_t, std::uint32_t) override { return 1; }
    int onMouseUp(std::int32_t, std::int32_t, std::uint32_t) override { return 1; }
    int onMouseMove(std::int32_t, std::int32_t, std::uint32_t) override { return 1; }
    int onDoubleClick(std::int32_t, std::int32_t, std::uint32_t) override { return 1; }
    int onMouseWheel(std::int32_t, std::int32_t, std::uint32_t, std::int32_t) override { return 1; }
    int onContextMenu(std::int32_t, std::int32_t) override { return 1; }
    int onCommand(std::int32_t, std::intptr_t) override { return 1; }
    int onKeyDown(std::int32_t, std::uint32_t) override { return 1; }
    int onKeyUp(std::int32_t, std::uint32_t) override { return 1; }
    int onFocus() override { return 1; }
    int onFocusLost() override { return 1; }
    int onDestroyed() override { return 1; }
    int onSizing(std::int32_t, CPalRect&) override { return 1; }
    int onSize(std::int32_t, std::int32_t, std::int32_t) override { return 1; }
    int onDropFiles(std::int32_t, std::int32_t, const std::vector<std::string>&) override { return 1; }
    int onJoystickMove(std::uint32_t, std::int32_t, std::int32_t) override { return 1; }
    int onTimer(std::uint32_t) override { return 1; }
    void onAsync(std::intptr_t, std::intptr_t) override {}
    int onBroadcastA(std::int32_t, std::int32_t, std::int32_t) override { return 1; }
    int onBroadcastB(std::int32_t, std::int32_t, std::int32_t) override { return 1; }
    int onHelp() override { return 1; }
    int onActivate() override { return 1; }
    int onDeactivate() override { return 1; }
    int onPaint(IPalDC*, const CPalRect&) override { return 1; }

    virtual bool IsVisible();
    // Offers a drop to `target`: this window reads the first path and calls
    // the file-drop callback with the point in client coordinates.
    virtual std::int32_t QueryDrop(const PalDropList* drop, PalPoint screenPoint, PalNativeWindow target);
    virtual void RegisterObject(std::uint32_t id, void* object);

    void* FindObject(std::uint32_t id) const;
    // True for a native window of this layer, in any process.
    static bool IsLayerWindow(PalNativeWindow window);
    void SetFileDropCallback(PalFileDropCallback callback, void* user);
    // The class name given to the native window ("PAL..."), empty until created.
    const std::string& ClassName() const { return m_sClassName; }
    // Device pixels per client unit. Every client coordinate of this window
    // (events, bounds, repaint areas, drawing) is in client units; the native
    // window is the factor larger. A window that exists keeps its client size.
    void SetScale(float scale);
    float Scale() const { return m_fScale.load(std::memory_order_relaxed); }

private:
    class Dispatcher;

    void Forget();
    void AddDirty(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
#ifdef _WIN32
    void ReleaseClass();
    bool OnOwnerThread() const;
    // Hands the area invalidated from other threads to the system.
    void InvalidatePending();
#else
    void PaintPending();
    std::int32_t ToDevice(std::int32_t client) const;
    std::int32_t ToClient(std::int32_t device) const;
#endif

    std::map<std::uint32_t, void*> m_objects;
    // Files dragged from other programs, for windows created to accept them.
    // (Shared only so that this header needs no platform's definition of it.)
    std::shared_ptr<XdndTarget> m_pDropTarget;
    PalFileDropCallback m_fnDrop = nullptr;
    void* m_pDropUser = nullptr;
    // Read from other threads by IsValid and the invalidation operations.
    std::atomic<PalNativeWindow> m_nHandle{0};
    PalNativeWindow m_nFocusBefore = 0;
    PalModuleInstance m_hInstance = nullptr;

    bool m_bOwned = false; // created here, not adopted
    std::string m_sClassName;
    // Read by InvalidateRect, which any thread may call.
    std::atomic<float> m_fScale{1.f};
    // Pending repaint area, packed as four 16-bit edges (device pixels); 0 when none.
    std::atomic<std::uint64_t> m_nDirty{0};
    // Native key codes whose press went to the parent window: their release follows.
    std::bitset<256> m_passedKeys;
#ifdef _WIN32
    std::atomic<std::uint32_t> m_nThread{0}; // the thread that owns the native window
#else
    bool m_bTopLevel = false;
    void* m_pVisual = nullptr;
    int m_nDepth = 0;
    void* m_pBacking = nullptr; // the window's picture between repaints
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
#endif
};

} // namespace ZVNPal
