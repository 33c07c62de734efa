// The layer's process-wide runtime and how it is driven. On Linux: the host's
// run loop (or a tool's own loop) watches the connection's file descriptor and
// calls PumpEvents, which delivers events, timers, posted messages and repaints.
// Nothing here starts a thread; everything runs on the caller's thread.
//
// With a host's run loop: an event handler on GetEventFileDescriptor() and a
// timer at GetTimerPeriod(), both calling PumpEvents(). The timer serves the
// layer's own timers (and, with them, events that an X round trip outside
// the pump has already read); with no timer running, the connection alone
// wakes the loop.
#pragma once

namespace ZVNPal {

// Shared by every editor: the first start opens the connection, the last
// shut-down closes it. False (and nothing counted) when no display can be opened.
bool StartGraphicsRuntime();
void ShutdownGraphicsRuntime();
bool IsGraphicsRuntimeStarted();

// The kind of host window the editor's view attaches to, as the VST 3 view
// types name it: "X11EmbedWindowID" on Linux, "HWND" on Windows.
const char* PlatformViewType();

// The connection's file descriptor, -1 when it is closed (always on Windows,
// where the host's message loop delivers everything).
int GetEventFileDescriptor();
// Handles everything pending; returns the milliseconds until the next timer
// is due (0 when one is due now), or -1 when no timer runs.
int PumpEvents();
// The same without reading the connection: events already read, timers,
// posted messages and repaints. For a host's timer tick while the host also
// watches the connection's descriptor, which wakes it for anything new.
int PumpQueuedEvents();
// The shortest period among the running timers in milliseconds, -1 when none
// runs: how often a host's fixed-period timer must call PumpEvents. A timer
// whose due time is less than a quarter period away fires on such a call, so
// a host timer of the same period fires it at every call.
int GetTimerPeriod();
// Pumps and waits on the connection for the given time; for tools and tests.
void RunEventLoop(int milliseconds);

} // namespace ZVNPal
