// Where the plug-in's own library lies on disk, and the bundle folder around it.
#pragma once

#include <string>

namespace ZVNPal {

// The resolved path (symbolic links followed) of the shared object that holds
// this code; empty when the system cannot tell.
std::string LoadedLibraryPath();

// The file of a loaded module (a handle of the dynamic loader, or a module
// instance on Windows; null for the library that holds this code); empty
// when the system cannot tell.
std::string ModuleFilePath(void* module);

// The Contents folder of the bundle around a library installed as
// <bundle>/Contents/<architecture>/<library>: the parent of the library's own
// folder, ending in the path separator. Empty for a path without two folder
// levels.
std::string BundleContentsFolder(const std::string& libraryPath);

} // namespace ZVNPal
