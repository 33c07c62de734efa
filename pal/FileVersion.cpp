// The version of a loaded module: the version block of its file, read by the
// platform's reader (FileVersionElf.cpp, FileVersionWin32.cpp).
#include "pal/FileVersion.h"

#include "pal/ModulePath.h"

namespace ZVNPal {

bool GetFileVersion(void* module, std::string& result)
{
    const std::string path = ModuleFilePath(module);
    if (path.empty()) {
        result.clear();
        return false;
    }
    return GetFileVersionOfFile(path, result);
}

} // namespace ZVNPal
