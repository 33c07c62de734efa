// Configuration values read from the registry store, afresh on every call.
#include "pal/ZVNConfig.h"

#include "pal/DebugTrace.h"
#include "pal/Folders.h"
#include "pal/ModulePath.h"
#include "pal/PalTypes.h"
#include "pal/PlatformServices.h"
#include "pal/SystemRegistry.h"

#include <mutex>

namespace ZVNPal {
namespace {

const char kMakerKey[] = "Software\\Marrowby Music Software";
const char kAppDataPathName[] = "AppData Path";
const char kLogPathName[] = "Log Path";

// Every effect object sets the key as it is constructed, possibly on several
// threads at once; readers take a copy.
std::mutex g_configurationKeyLock;
std::string g_configurationKey;

// The log folder below the home folder, with the platform's separators.
std::string logFolder()
{
    std::string folder = HomeFolder();
    for (const char* name : {"Documents", "Marrowby", "OL7T", "Logs"})
        (folder += kPathSeparator) += name;
    return folder;
}

} // namespace

std::string ZVNConfig::KeyOf(const std::string& product, const std::string& version)
{
    std::string key = kMakerKey;
    if (!product.empty()) {
        key += "\\" + product;
        if (!version.empty())
            key += "\\" + version;
    }
    return key;
}

int32_t ZVNConfig::Initialize(const std::string& product, const std::string& version)
{
    std::string key = KeyOf(product, version);
    std::lock_guard<std::mutex> lock(g_configurationKeyLock);
    g_configurationKey = std::move(key);
    return kPalOk;
}

std::string ZVNConfig::GetKey()
{
    std::lock_guard<std::mutex> lock(g_configurationKeyLock);
    return g_configurationKey;
}

int32_t ZVNConfig::ReadString(const std::string& name, std::string& value)
{
    const std::string key = GetKey();
    if (key.empty())
        return kPalFail;
    const int32_t result = ReadRegistryString(key, name, value);
    if (result != kPalFail || name != kAppDataPathName)
        return result;
    // No installer wrote the application-data path: the bundle around this
    // library is the installation.
    const std::string contents = BundleContentsFolder(LoadedLibraryPath());
    if (contents.empty())
        return kPalFail;
    value = contents;
    return kPalOk;
}

std::string ZVNConfig::GetValue(const std::string& name, bool quiet)
{
    std::string value;
    if (ReadString(name, value) == kPalOk)
        return value;
    if (!quiet) {
        // The name goes in as an argument: a "%" in it is text, not a directive.
        DebugTrace("unable to get value for key \"%s\" in ZVNConfig; defaulting to hardcoded values...",
                   name.c_str());
    }
    if (name == kLogPathName)
        return logFolder();
    return {};
}

} // namespace ZVNPal
