// The loaded library's handle.
#include "core/ModuleHandle.h"

#include <atomic>

namespace {
std::atomic<void*> g_moduleHandle{nullptr};
}

void setModuleHandle(void* handle)
{
    g_moduleHandle.store(handle);
}

void* moduleHandle()
{
    return g_moduleHandle.load();
}
