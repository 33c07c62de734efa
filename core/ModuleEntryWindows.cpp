// The library's module entry on Windows: records the module instance as the
// system attaches the library to a process, for the file name and version.
#include "core/ModuleHandle.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        setModuleHandle(instance);
    return TRUE;
}
