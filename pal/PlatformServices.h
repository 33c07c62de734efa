// The few operating-system services under the platform-neutral part of the
// layer, one source file per platform (PlatformServicesLinux.cpp,
// PlatformServicesWin32.cpp). LoadedLibraryPath (ModulePath.h) and
// DirectoryExists (Folders.h) live there too.
#pragma once

#include <string>

namespace ZVNPal {

// The user's home folder: HOMEDRIVE followed by HOMEPATH, an unset variable
// counting as empty. Linux sets neither, so HOME stands in there.
std::string HomeFolder();

// Writes one formatted diagnostic line to the platform's debug output.
void WriteDebugOutput(const char* line);

// True while OL7T_DEBUG is set to a non-empty value other than "0".
bool DebugOutputOnStandardError();

} // namespace ZVNPal
