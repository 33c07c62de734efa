// Finds this library through the dynamic loader, so that a bundle copied
// anywhere still finds its Resources and Documentation folders.
#include "pal/ModulePath.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

namespace ZVNPal {

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

std::string BundleContentsFolder(const std::string& libraryPath)
{
    const size_t libraryFolderEnd = libraryPath.rfind('/');
    if (libraryFolderEnd == std::string::npos || libraryFolderEnd == 0)
        return {};
    const size_t contentsEnd = libraryPath.rfind('/', libraryFolderEnd - 1);
    if (contentsEnd == std::string::npos)
        return {};
    return libraryPath.substr(0, contentsEnd + 1);
}

} // namespace ZVNPal
