// Locates the Resources and Documentation folders from the configured paths.
#include "pal/Folders.h"

#include "pal/DebugTrace.h"
#include "pal/ZVNConfig.h"

#include <sys/stat.h>

namespace ZVNPal {
namespace {

std::string g_resourcesFolder;
std::string g_documentationFolder;

} // namespace

std::string GetAppDataPath() { return ZVNConfig::GetValue("AppData Path", false); }
std::string GetUserDataPath() { return ZVNConfig::GetValue("UserData Path", false); }
std::string GetInstancePath() { return ZVNConfig::GetValue("AppData Path", false); }

bool DirectoryExists(const std::string& path)
{
    std::string asked = path;
    if (!asked.empty() && asked.back() == kPathSeparator)
        asked.pop_back();
    struct stat info;
    return ::stat(asked.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void ResolveFolders()
{
    const std::string instancePath = GetInstancePath();
    std::string appDataPath = GetAppDataPath();
    const std::string userDataPath = GetUserDataPath();
    DebugTrace("strInstancePath = %s\n", instancePath.c_str());
    DebugTrace("strAppDataPath = %s\n", appDataPath.c_str());
    DebugTrace("strUserDataPath = %s\n", userDataPath.c_str());
    if (appDataPath.empty())
        appDataPath = instancePath;
    g_documentationFolder = (DirectoryExists(appDataPath + "Documentation") ? appDataPath : instancePath)
        + "Documentation" + kPathSeparator;
    g_resourcesFolder = (DirectoryExists(instancePath + "Resources") ? instancePath : appDataPath) + "Resources";
}

const std::string& GetResourcesFolder() { return g_resourcesFolder; }
void SetResourcesFolder(const std::string& folder) { g_resourcesFolder = folder; }
const std::string& GetDocumentationFolder() { return g_documentationFolder; }

} // namespace ZVNPal
