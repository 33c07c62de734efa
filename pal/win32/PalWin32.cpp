// The shared helpers of the Windows layer.
#include "pal/win32/PalWin32.h"

#include "pal/PalFunctions.h"
#include "pal/Utf8ToUtf16.h"

#include <cstring>

namespace ZVNPal::Win32 {

namespace {

int ScreenCaps(int index)
{
    constexpr int kDefaultPixelsPerInch = 96;
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        return kDefaultPixelsPerInch;
    const int value = ::GetDeviceCaps(screen, index);
    ::ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDefaultPixelsPerInch;
}

} // namespace

HINSTANCE ModuleInstance()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
    return module;
}

std::wstring Widen(const char* utf8, int maxUnits)
{
    if (!utf8 || maxUnits <= 0)
        return {};
    std::wstring units(static_cast<std::size_t>(maxUnits), L'\0');
    const int count = Utf8ToUtf16(utf8, static_cast<int>(std::strlen(utf8)),
                                  reinterpret_cast<char16_t*>(units.data()), maxUnits);
    units.resize(static_cast<std::size_t>(count));
    return units;
}

std::string Narrow(const wchar_t* text)
{
    if (!text || !*text)
        return {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), bytes, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(bytes - 1));
    return result;
}

// A file path in UTF-8 as the shell takes it; bytes that are not UTF-8 are
// taken one by one, as text of the system's single-byte code page would be.
std::wstring PathText(const char* path)
{
    if (!path)
        return {};
    const int length = static_cast<int>(std::strlen(path));
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(units > 0 ? units : length), L'\0');
    if (units > 0)
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, length, text.data(), units);
    else
        WidenBytes(path, text.size(), reinterpret_cast<char16_t*>(text.data()), text.size());
    return text;
}

int PixelsPerInchX() { return ScreenCaps(LOGPIXELSX); }
int PixelsPerInchY() { return ScreenCaps(LOGPIXELSY); }

} // namespace ZVNPal::Win32
