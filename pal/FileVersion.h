// The library's own version information, stored in the library file and read
// back from it the way the about box asks for it.
#pragma once

#include <string>

namespace ZVNPal {

// The "FileVersion" entry of the version block of `module` (a handle from the
// dynamic loader, or null for the library that holds this code). The entry
// for the language-neutral code page "000004b0" is preferred, then the one
// for "040004e4". False, with an empty result, when the module has no such
// block or entry.
bool GetFileVersion(void* module, std::string& result);

// The same, for the library file at `path`.
bool GetFileVersionOfFile(const std::string& path, std::string& result);

} // namespace ZVNPal
