// The layer's process-wide display connection and how it is driven: the host's
// run loop (or a tool's own loop) watches the connection's file descriptor and
// calls PumpEvents, which delivers events, timers, posted messages and repaints.
// Nothing here starts a thread; everything runs on the caller's thread.
//
// With a host's run loop: an event handler on GetEventFileDescriptor() and a
// timer of about 10 ms, both calling PumpEvents(). The timer also serves
// events that an X round trip outside the pump has already read, areas
// invalidated from other threads, and the layer's own timers.
#pragma once

namespace ZVNPal {

// Shared by every editor: the first start opens the connection, the last
// shut-down closes it. False (and nothing counted) when no display can be opened.
bool StartGraphicsRuntime();
void ShutdownGraphicsRuntime();
bool IsGraphicsRuntimeStarted();

// The connection's file descriptor, -1 when it is closed.
int GetEventFileDescriptor();
// Handles everything pending; returns the milliseconds until the next timer
// is due (0 when one is due now), or -1 when no timer runs.
int PumpEvents();
// Pumps and waits on the connection for the given time; for tools and tests.
void RunEventLoop(int milliseconds);

// The newest child of a host's window (the panel an editor has just placed
// there), for hosts that want the embedded window itself; 0 when it has none
// or the connection is closed.
unsigned long NewestChildWindow(unsigned long parent);

} // namespace ZVNPal
