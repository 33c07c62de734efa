// The operating-system services of the Windows build: the module of this
// code, file attributes, the environment and the debugger's output.
#include "pal/PlatformServices.h"

#include "pal/Folders.h"
#include "pal/ModulePath.h"
#include "pal/WideText.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace ZVNPal {
namespace {

std::string environmentText(const wchar_t* name)
{
    const wchar_t* value = ::_wgetenv(name);
    return value ? NarrowToUtf8(value, std::wcslen(value)) : std::string();
}

} // namespace

std::string HomeFolder()
{
    return environmentText(L"HOMEDRIVE") + environmentText(L"HOMEPATH");
}

void WriteDebugOutput(const char* line)
{
    ::OutputDebugStringA(line);
    if (DebugOutputOnStandardError())
        std::fputs(line, stderr);
}

std::string LoadedLibraryPath()
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&LoadedLibraryPath), &module))
        return {};
    return ModuleFilePath(module);
}

std::string ModuleFilePath(void* module)
{
    if (!module)
        return LoadedLibraryPath();
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(static_cast<HMODULE>(module), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return NarrowToUtf8(path, length);
}

bool DirectoryExists(const std::string& path)
{
    std::string asked = path;
    if (!asked.empty() && asked.back() == kPathSeparator)
        asked.pop_back();
    const DWORD attributes = ::GetFileAttributesW(WidenUtf8(asked).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace ZVNPal
