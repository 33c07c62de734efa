// Loading through the dynamic loader, as Linux VST 3 hosts do.
#include "tools/render/SharedLibrary.h"

#include <dlfcn.h>

namespace {

using ModuleEntryFunction = bool (*)(void*);
using ModuleExitFunction = bool (*)();

} // namespace

const char* const SharedLibrary::kLibraryFolder = "x86_64-linux";
const char* const SharedLibrary::kLibraryExtension = ".so";

std::string SharedLibrary::open(const std::filesystem::path& path)
{
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return std::string("cannot load the plug-in: ") + dlerror();
    auto moduleEntry = reinterpret_cast<ModuleEntryFunction>(symbol("ModuleEntry"));
    if (!moduleEntry)
        return "'" + path.string() + "' is not a VST 3 module (ModuleEntry missing)";
    if (!moduleEntry(handle))
        return "the plug-in's ModuleEntry failed";
    entered = true;
    return {};
}

void* SharedLibrary::symbol(const char* name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}

void SharedLibrary::close()
{
    if (entered) {
        if (auto moduleExit = reinterpret_cast<ModuleExitFunction>(symbol("ModuleExit")))
            moduleExit();
        entered = false;
    }
    if (handle) {
        dlclose(handle);
        handle = nullptr;
    }
}
