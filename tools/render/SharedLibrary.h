// The plug-in's library loaded the way the platform's hosts load it: by the
// bundle's library path, entered and left through the platform's module calls
// (ModuleEntry/ModuleExit on Linux, InitDll/ExitDll on Windows). One source
// file per platform (SharedLibraryPosix.cpp, SharedLibraryWin32.cpp) beside
// the shared part in SharedLibrary.cpp.
#pragma once

#include <filesystem>
#include <string>

class SharedLibrary
{
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Where a bundle "Name.vst3" keeps its library on this platform.
    static std::filesystem::path libraryOf(const std::filesystem::path& bundle);

    // Loads the library and enters it. Returns an empty string on success,
    // else a one-line message.
    std::string open(const std::filesystem::path& path);

    // The exported symbol `name`, or null.
    void* symbol(const char* name) const;

    // Leaves and unloads the library; nothing when none is loaded.
    void close();

private:
    // Where the platform keeps a bundle's library: the folder below
    // Contents and the file's extension.
    static const char* const kLibraryFolder;
    static const char* const kLibraryExtension;

    void* handle = nullptr;
    bool entered = false;
};
