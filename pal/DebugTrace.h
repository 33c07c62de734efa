// Diagnostic lines of the whole plug-in: printf-style text formatted into a
// fixed buffer and handed to the platform's debug output.
#pragma once

namespace ZVNPal {

// Formats into a 1024-byte buffer (longer text is cut, never overrun) and
// writes the result to the debug output: on Windows the debugger's output, and
// on both platforms standard error while OL7T_DEBUG is set to a non-empty
// value other than "0".
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Receives every formatted line instead of the debug output; tests install one
// to read what the plug-in reports. Null restores the debug output.
using DebugTraceSink = void (*)(const char* line);
void SetDebugTraceSink(DebugTraceSink sink);

} // namespace ZVNPal
