// The graphics runtime on Win32 (GDI+, started by the first editor and shut
// down with the last) and a message pump for tools and tests. Hosts run
// their own message loop, which delivers the layer's messages and timers.
#include "pal/PalRunLoop.h"

#include "pal/win32/PalWin32.h"

#include <chrono>

namespace ZVNPal {

namespace {

int g_nStarts = 0;
ULONG_PTR g_nToken = 0;

} // namespace

bool StartGraphicsRuntime()
{
    if (g_nStarts == 0) {
        const Gdiplus::GdiplusStartupInput input; // version 1, default options
        if (Gdiplus::GdiplusStartup(&g_nToken, &input, nullptr) != Gdiplus::Ok)
            return false;
    }
    ++g_nStarts;
    return true;
}

void ShutdownGraphicsRuntime()
{
    if (g_nStarts == 0)
        return;
    if (--g_nStarts == 0) {
        Gdiplus::GdiplusShutdown(g_nToken);
        g_nToken = 0;
    }
}

bool IsGraphicsRuntimeStarted() { return g_nStarts > 0; }

const char* PlatformViewType() { return "HWND"; }

int GetEventFileDescriptor() { return -1; }

int PumpEvents()
{
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    // Timers are the system's: none is due from here.
    return -1;
}

void RunEventLoop(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds > 0 ? milliseconds : 0);
    do {
        PumpEvents();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    } while (true);
}

} // namespace ZVNPal
