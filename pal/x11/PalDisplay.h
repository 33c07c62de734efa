// The layer's process-wide X connection: the windows it serves, their timers,
// posted messages and repaints, the cursor and the error trap. Internal to the
// Linux implementation; it runs entirely on the user-interface thread.
#pragma once

#include <X11/Xlib.h>
#include <cairo.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace ZVNPal {

class PalDisplay {
public:
    using EventHandler = std::function<void(XEvent&)>;
    using Action = std::function<void()>;

    // The open connection, or null before StartGraphicsRuntime.
    static PalDisplay* Get();
    static bool Open();
    static void Close();

    Display* Dpy() const { return m_pDisplay; }
    Window Root() const { return m_nRoot; }
    Atom Intern(const char* name);

    // A window served by the dispatcher: events addressed to it reach
    // onEvent, and onIdle runs at the end of every pump (pending repaints).
    void AddWindow(Window window, EventHandler onEvent, Action onIdle);
    void RemoveWindow(Window window);
    bool HasWindow(Window window) const { return m_windows.count(window) != 0; }

    // Repeating timers of a window; starting an existing id restarts it.
    void StartTimer(Window window, std::uint32_t id, std::uint32_t intervalMs, Action fire);
    bool StopTimer(Window window, std::uint32_t id);
    void Post(Window window, Action action);

    // Handles events (read from the connection first when `read`), due
    // timers, posted messages and repaints.
    int Pump(bool read = true);
    int DescriptorOf() const { return ConnectionNumber(m_pDisplay); }
    int ShortestTimerInterval() const;

    // Runs `request` with X errors caught; true when no error occurred.
    bool Trapped(const std::function<void()>& request);
    bool IsLiveWindow(Window window);

    // True when this press completes a double click with the previous one.
    bool IsDoubleClick(Window window, unsigned button, int x, int y, Time time);

    // Copies an area of an image to a window. Windows are only ever drawn
    // this way: text and shapes go to images, so no font or glyph cache of
    // cairo holds on to this connection after it closes.
    void Present(Window window, Visual* visual, int depth, cairo_surface_t* image, int x, int y, int width,
                 int height);

    // Sends what the connection holds. Xlib's flush also reads the socket
    // for events, a system call each time, so it is skipped when no request
    // was made since the last one.
    void Flush();

    void ApplyCursor(Window window);
    void ApplyCursorEverywhere();

    // Called on every button press in any window of the layer; one value
    // for the process (the balloon tool tip's watch).
    Action m_fnOnAnyPress;

    // The window holding the pointer grab of CaptureMouse, 0 when none.
    Window m_nCaptured = 0;

private:
    using Clock = std::chrono::steady_clock;
    struct Served {
        EventHandler onEvent;
        Action onIdle;
        GC gc = nullptr; // made with the window's first picture, freed with the window
        XImage* picture = nullptr; // over the pixels of the image last shown, made again when that changes
    };
    struct Timer {
        Window window;
        std::uint32_t id;
        std::chrono::milliseconds interval;
        Clock::time_point due;
        Action fire;
    };
    struct Posted {
        Window window;
        Action action;
    };

    explicit PalDisplay(Display* display);
    ~PalDisplay();
    void FreeGraphics(Served& served);
    void Dispatch(XEvent& event);
    void FireDueTimers();
    void RunPosted();
    void RunIdle();
    int MillisecondsToNextTimer() const;

    Display* m_pDisplay;
    Window m_nRoot;
    unsigned long m_nFlushedRequest = 0; // the request number the last Flush left as next
    std::map<Window, Served> m_windows;
    std::vector<Timer> m_timers;
    std::vector<Posted> m_posted;
    std::map<int, Cursor> m_cursors;
    // Kept between pumps, so that a pump allocates nothing once warmed up.
    std::vector<std::pair<Window, std::uint32_t>> m_due;
    std::vector<Action> m_idle;

    Window m_nLastClickWindow = 0;
    unsigned m_nLastClickButton = 0;
    int m_nLastClickX = 0;
    int m_nLastClickY = 0;
    Time m_nLastClickTime = 0;
};

} // namespace ZVNPal
