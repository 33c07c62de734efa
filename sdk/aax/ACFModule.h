// The library's count of objects it has handed to a host, which decides
// whether the host may unload it.
#pragma once

#include <cstdint>

class ACFModule
{
public:
    static void Lock();
    static void Unlock();
    static int32_t LockCount();
    static bool CanUnloadNow() { return LockCount() == 0; }
};
