// The operating-system services of the Linux build: the dynamic loader, the
// file system, the environment and standard error as the debug output.
#include "pal/PlatformServices.h"

#include "pal/Folders.h"
#include "pal/ModulePath.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

namespace ZVNPal {
namespace {

std::string environmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string HomeFolder()
{
    const std::string home = environmentText("HOMEDRIVE") + environmentText("HOMEPATH");
    return home.empty() ? environmentText("HOME") : home;
}

void WriteDebugOutput(const char* line)
{
    if (DebugOutputOnStandardError())
        std::fputs(line, stderr);
}

std::string LoadedLibraryPath()
{
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&LoadedLibraryPath), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (!::realpath(info.dli_fname, resolved))
        return {};
    return resolved;
}

std::string ModuleFilePath(void* module)
{
    if (!module)
        return LoadedLibraryPath();
    link_map* map = nullptr;
    if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return {};
    // The main program's entry carries no name.
    const char* name = *map->l_name ? map->l_name : "/proc/self/exe";
    char resolved[PATH_MAX];
    return ::realpath(name, resolved) ? resolved : std::string();
}

bool DirectoryExists(const std::string& path)
{
    std::string asked = path;
    if (!asked.empty() && asked.back() == kPathSeparator)
        asked.pop_back();
    struct stat info;
    return ::stat(asked.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace ZVNPal
