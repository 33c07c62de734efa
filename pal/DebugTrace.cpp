// The debug output of the platform (PlatformServices*.cpp), or a sink that a
// test installs.
#include "pal/DebugTrace.h"

#include "pal/PlatformServices.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ZVNPal {
namespace {

constexpr size_t kDebugBufferSize = 1024;

std::atomic<DebugTraceSink> g_sink{nullptr};

} // namespace

bool DebugOutputOnStandardError()
{
    const char* value = std::getenv("OL7T_DEBUG");
    return value && *value && std::strcmp(value, "0") != 0;
}

void SetDebugTraceSink(DebugTraceSink sink)
{
    g_sink.store(sink);
}

void DebugTrace(const char* format, ...)
{
    if (!format)
        return;
    char buffer[kDebugBufferSize];
    va_list args;
    va_start(args, format);
    // vsnprintf cuts at the buffer's end and always terminates; a formatting
    // error leaves a negative result, which is swallowed.
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        return;
    if (DebugTraceSink sink = g_sink.load())
        sink(buffer);
    else
        WriteDebugOutput(buffer);
}

} // namespace ZVNPal
