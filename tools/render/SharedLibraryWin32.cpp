// Loading with LoadLibraryW, as Windows VST 3 hosts do, entered through
// InitDll and left through ExitDll.
#include "tools/render/SharedLibrary.h"

#include <windows.h>

namespace {

using DllCallFunction = bool (*)();

std::string lastErrorText()
{
    return "system error " + std::to_string(::GetLastError());
}

} // namespace

const char* const SharedLibrary::kLibraryFolder = "x86_64-win";
const char* const SharedLibrary::kLibraryExtension = ".vst3";

std::string SharedLibrary::open(const std::filesystem::path& path)
{
    handle = ::LoadLibraryW(path.wstring().c_str());
    if (!handle)
        return "cannot load the plug-in: " + lastErrorText();
    auto initDll = reinterpret_cast<DllCallFunction>(symbol("InitDll"));
    if (!initDll)
        return "'" + path.string() + "' is not a VST 3 module (InitDll missing)";
    if (!initDll())
        return "the plug-in's InitDll failed";
    entered = true;
    return {};
}

void* SharedLibrary::symbol(const char* name) const
{
    return handle ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle), name)) : nullptr;
}

void SharedLibrary::close()
{
    if (entered) {
        if (auto exitDll = reinterpret_cast<DllCallFunction>(symbol("ExitDll")))
            exitDll();
        entered = false;
    }
    if (handle) {
        ::FreeLibrary(static_cast<HMODULE>(handle));
        handle = nullptr;
    }
}
