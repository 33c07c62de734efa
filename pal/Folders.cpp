// Locates the Resources and Documentation folders from the configured paths.
#include "pal/Folders.h"

#include "pal/DebugTrace.h"
#include "pal/ZVNConfig.h"

#include <filesystem>

namespace ZVNPal {
namespace {

std::string g_resourcesFolder;
std::string g_documentationFolder;

} // namespace

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return !path.empty() && std::filesystem::is_regular_file(std::u8string(path.begin(), path.end()), ignored);
}

std::string GetAppDataPath() { return ZVNConfig::GetValue("AppData Path", false); }
std::string GetUserDataPath() { return ZVNConfig::GetValue("UserData Path", false); }
std::string GetInstancePath() { return ZVNConfig::GetValue("AppData Path", false); }

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
