// The bundle folder around this library, so that a bundle copied anywhere
// still finds its Resources and Documentation folders.
#include "pal/ModulePath.h"

#include "pal/Folders.h"

namespace ZVNPal {

std::string BundleContentsFolder(const std::string& libraryPath)
{
    const size_t libraryFolderEnd = libraryPath.rfind(kPathSeparator);
    if (libraryFolderEnd == std::string::npos || libraryFolderEnd == 0)
        return {};
    const size_t contentsEnd = libraryPath.rfind(kPathSeparator, libraryFolderEnd - 1);
    if (contentsEnd == std::string::npos)
        return {};
    return libraryPath.substr(0, contentsEnd + 1);
}

} // namespace ZVNPal
