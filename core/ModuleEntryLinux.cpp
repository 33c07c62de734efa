// The load and unload calls of Linux VST 3 hosts: they stand for InitDll and
// ExitDll and hand over the library's handle.
#include "core/ModuleHandle.h"

#include "pluginterfaces/base/fplatform.h"

extern "C" {

bool InitDll();
bool ExitDll();

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle)
{
    setModuleHandle(sharedLibraryHandle);
    return InitDll();
}

SMTG_EXPORT_SYMBOL bool ModuleExit()
{
    return ExitDll();
}

} // extern "C"
