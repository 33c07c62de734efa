// The installation's folders: the configured paths and the Resources and
// Documentation folders resolved from them. Folder strings end in the path
// separator; names are appended to them directly.
#pragma once

#include <string>

namespace ZVNPal {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

std::string GetAppDataPath();  // "AppData Path", empty when missing
std::string GetUserDataPath(); // "UserData Path", empty when missing
std::string GetInstancePath(); // the same value as GetAppDataPath

// Reads the three paths (one debug line each) and sets the Documentation
// folder (prefers the application-data path, ends in the separator) and the
// Resources folder (prefers the instance path, without a trailing separator).
void ResolveFolders();

// True only for an existing regular file. Paths are UTF-8 whatever the
// system's code page.
bool FileExists(const std::string& path);

// True only for an existing directory; one trailing separator is ignored.
// (PlatformServices*.cpp)
bool DirectoryExists(const std::string& path);

// The process-wide folder strings, written by ResolveFolders and, for the
// Resources folder, completed by the text-resource loading step, which
// appends the separator that image paths then rely on.
const std::string& GetResourcesFolder();
void SetResourcesFolder(const std::string& folder);
const std::string& GetDocumentationFolder();

} // namespace ZVNPal
