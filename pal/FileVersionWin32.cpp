// Version information of the Windows build: the VERSIONINFO resource of the
// module file, read with the system's version functions.
#include "pal/FileVersion.h"

#include "pal/WideText.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace ZVNPal {
namespace {

constexpr size_t kMaxEntryLength = 260;

// The "FileVersion" entry of one language/code page; empty when missing.
std::string queryFileVersion(std::vector<BYTE>& block, const wchar_t* languageCodePage)
{
    const std::wstring subBlock = std::wstring(L"\\StringFileInfo\\") + languageCodePage + L"\\FileVersion";
    void* entry = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), subBlock.c_str(), &entry, &length) || !entry || length == 0)
        return {};
    // The length counts the terminating zero when there is one.
    const wchar_t* text = static_cast<const wchar_t*>(entry);
    return NarrowToUtf8(text, std::min<size_t>(std::wcslen(text), length));
}

} // namespace

bool GetFileVersionOfFile(const std::string& path, std::string& result)
{
    result.clear();
    const std::wstring file = WidenUtf8(path);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        return false;
    std::string version = queryFileVersion(block, L"000004b0");
    if (version.empty())
        version = queryFileVersion(block, L"040004e4");
    result.assign(version.substr(0, kMaxEntryLength));
    return !result.empty();
}

} // namespace ZVNPal
