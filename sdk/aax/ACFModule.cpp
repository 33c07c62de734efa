// The library's count of live objects handed to a host.
#include "sdk/aax/ACFModule.h"

#include <atomic>

namespace {
std::atomic<int32_t> locks{0};
}

void ACFModule::Lock()
{
    locks.fetch_add(1, std::memory_order_relaxed);
}

void ACFModule::Unlock()
{
    locks.fetch_sub(1, std::memory_order_relaxed);
}

int32_t ACFModule::LockCount()
{
    return locks.load(std::memory_order_relaxed);
}
