// The free operations of the layer on Win32: cursor, key and modifier tables
// over virtual keys, byte widening, documents through the shell, HTML help
// and window screenshots.
#include "pal/PalFunctions.h"

#include "pal/IPalWindow.h"
#include "pal/win32/PalWin32.h"

#include <shellapi.h>

#include <array>
#include <cstring>
#include <cwchar>
#include <utility>
#include <vector>

namespace ZVNPal {

using namespace Win32;

namespace {

int g_nCursorKind = kPalCursorArrow;

bool IsCursorKind(int kind) { return (kind >= kPalCursorArrow && kind <= kPalCursorCross) || kind == 7 || kind == 8; }

LPCWSTR CursorResource(int kind)
{
    switch (kind) {
    case kPalCursorBusy: return IDC_APPSTARTING;
    case kPalCursorResizeHorizontal: return IDC_SIZEWE;
    case kPalCursorResizeVertical: return IDC_SIZENS;
    case kPalCursorCross: return IDC_CROSS;
    case kPalCursorHand: return IDC_HAND;
    case kPalCursorMove: return IDC_SIZEALL;
    default: return IDC_ARROW;
    }
}

// The keys of the table that are neither digits, letters nor function keys.
constexpr std::array<std::pair<std::uint32_t, std::int32_t>, 30> kKeys{{
    {VK_BACK, 1},      {VK_RETURN, 2},    {VK_SHIFT, 3},     {VK_LSHIFT, 3},    {VK_RSHIFT, 3},
    {VK_CONTROL, 4},   {VK_LCONTROL, 4},  {VK_RCONTROL, 4},  {VK_MENU, 5},      {VK_LMENU, 5},
    {VK_RMENU, 5},     {VK_LWIN, 6},      {VK_RWIN, 6},      {VK_ESCAPE, 7},    {VK_SPACE, 8},
    {VK_END, 9},       {VK_HOME, 10},     {VK_DELETE, 11},   {VK_PRIOR, 12},    {VK_NEXT, 13},
    {VK_HELP, 14},     {VK_UP, 15},       {VK_DOWN, 16},     {VK_LEFT, 17},     {VK_RIGHT, 18},
    {VK_TAB, 19},      {VK_MULTIPLY, 35}, {VK_DIVIDE, 36},   {VK_ADD, 37},      {VK_SUBTRACT, 38},
}};
constexpr std::uint32_t kKeyBracketLeft = VK_OEM_4;
constexpr std::uint32_t kKeyBracketRight = VK_OEM_6;

// The HTML help viewer: located once, then remembered, found or not.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
constexpr wchar_t kHelpClassKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr wchar_t kHelpLibrary[] = L"hhctrl.ocx";

HMODULE LoadRegisteredHelpLibrary()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kHelpClassKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    wchar_t stored[MAX_PATH] = {};
    DWORD size = sizeof stored - sizeof(wchar_t);
    const LSTATUS read = ::RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return nullptr;
    wchar_t expanded[MAX_PATH] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(stored, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? ::LoadLibraryW(expanded) : nullptr;
}

HtmlHelpFunction HelpViewer()
{
    static bool s_bLooked = false;
    static HtmlHelpFunction s_fnHelp = nullptr;
    if (!s_bLooked) {
        s_bLooked = true;
        HMODULE library = LoadRegisteredHelpLibrary();
        if (!library)
            library = ::LoadLibraryW(kHelpLibrary);
        if (library)
            s_fnHelp = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void (*)()>(::GetProcAddress(library, "HtmlHelpW")));
    }
    return s_fnHelp;
}

bool Open(const char* path, int show)
{
    if (!path || !*path)
        return false;
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", PathText(path).c_str(), nullptr, nullptr, show);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool PngEncoder(CLSID* encoder)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *encoder = codecs[i].Clsid;
            return true;
        }
    return false;
}

} // namespace

void Win32::ApplyCursor() { ::SetCursor(::LoadCursorW(nullptr, CursorResource(g_nCursorKind))); }

void SetCursorKind(int kind)
{
    if (!IsCursorKind(kind) || kind == g_nCursorKind)
        return;
    g_nCursorKind = kind;
    ApplyCursor();
}

int GetCursorKind() { return g_nCursorKind; }

bool GetCursorPosition(std::int32_t* x, std::int32_t* y)
{
    POINT point{};
    if (!x || !y || !::GetCursorPos(&point))
        return false;
    *x = point.x;
    *y = point.y;
    return true;
}

std::int32_t TranslateKey(std::uint32_t nativeKey)
{
    if ((nativeKey >= '0' && nativeKey <= '9') || (nativeKey >= 'A' && nativeKey <= 'Z'))
        return static_cast<std::int32_t>(nativeKey);
    if (nativeKey >= VK_F1 && nativeKey <= VK_F6)
        return static_cast<std::int32_t>(20 + (nativeKey - VK_F1));
    if (nativeKey == VK_F7 || nativeKey == VK_F8)
        return 26;
    if (nativeKey >= VK_F9 && nativeKey <= VK_F13)
        return static_cast<std::int32_t>(27 + (nativeKey - VK_F9));
    if (nativeKey == kKeyBracketLeft)
        return '[';
    if (nativeKey == kKeyBracketRight)
        return ']';
    for (const auto& [key, code] : kKeys)
        if (key == nativeKey)
            return code;
    return 0;
}

std::uint32_t TranslateModifiers(std::uint32_t nativeFlags)
{
    static constexpr std::pair<std::uint32_t, std::uint32_t> kBits[] = {
        {MK_LBUTTON, kPalModLeftButton}, {MK_MBUTTON, kPalModMiddleButton}, {MK_RBUTTON, kPalModRightButton},
        {MK_CONTROL, kPalModControl},    {MK_SHIFT, kPalModShift},
    };
    std::uint32_t modifiers = 0;
    for (const auto& [native, bit] : kBits)
        if (nativeFlags & native)
            modifiers |= bit;
    // A mouse message's flags know neither Alt nor the Windows key: the
    // keyboard tells at the time of the event.
    if (::GetKeyState(VK_MENU) < 0)
        modifiers |= kPalModAlt;
    if (::GetKeyState(VK_LWIN) < 0)
        modifiers |= kPalModWindows;
    return modifiers;
}

bool OpenDocument(const char* path) { return Open(path, SW_RESTORE); }

bool OpenDocumentNormal(const char* path) { return Open(path, SW_SHOWNORMAL); }

float GetDesktopScale()
{
    constexpr int kReferenceDpi = 96;
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : kReferenceDpi;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<float>(dpi) / kReferenceDpi : 1.f;
}

PalResult ShowHelp(IPalWindow* window, const char* helpFile, std::uint32_t command, std::uintptr_t data)
{
    const HtmlHelpFunction help = HelpViewer();
    if (!help || !helpFile)
        return kPalOk;
    const HWND owner = window ? Hwnd(window->GetHandle()) : nullptr;
    return help(owner, PathText(helpFile).c_str(), command, data) ? kPalOk : kPalFail;
}

bool SaveWindowImage(IPalWindow* window, const char* path)
{
    const HWND hwnd = window ? Hwnd(window->GetHandle()) : nullptr;
    RECT client{};
    if (!hwnd || !path || !::GetClientRect(hwnd, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    CLSID encoder{};
    if (!PngEncoder(&encoder))
        return false;
    // What the screen shows of the client area, child windows included.
    HDC screen = ::GetDC(hwnd);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const bool copied = ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ::SelectObject(memory, previous);
    bool written = false;
    if (copied) {
        Gdiplus::Bitmap image(bitmap, nullptr);
        written = image.GetLastStatus() == Gdiplus::Ok &&
                  image.Save(PathText(path).c_str(), &encoder, nullptr) == Gdiplus::Ok;
    }
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(hwnd, screen);
    return written;
}

} // namespace ZVNPal
