// What the Windows layer's files share: the system headers, handle and colour
// conversions and the text conversions at the platform boundary. Internal to
// the Windows implementation.
#pragma once

#include "pal/PalTypes.h"

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

// GDI+ needs the COM declarations that a lean windows.h leaves out.
#include <objidl.h>

#include <gdiplus.h>

// The system headers name these by macro; the layer's operations of the same
// names must stay themselves.
#undef IsMinimized
#undef MessageBox
#undef DrawText

#include <string>

namespace ZVNPal::Win32 {

inline HWND Hwnd(PalNativeWindow window) { return reinterpret_cast<HWND>(window); }
inline PalNativeWindow Native(HWND window) { return reinterpret_cast<PalNativeWindow>(window); }

inline Gdiplus::Color ToColor(std::uint32_t argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

// The module that holds this code (the plug-in library, or the program that
// links the layer statically): window classes and tool tips belong to it.
HINSTANCE ModuleInstance();

// UTF-8 to UTF-16 through the layer's converter, at most maxUnits units.
std::wstring Widen(const char* utf8, int maxUnits);
// A file path in UTF-8 as the system takes it; bytes that are not UTF-8 are
// widened one by one, as text of the system's single-byte code page.
std::wstring PathText(const char* path);
// UTF-16 from the platform to the layer's UTF-8.
std::string Narrow(const wchar_t* text);

// Sets the cursor of the process-wide kind (SetCursorKind); windows of the
// layer call it whenever the platform asks them for their cursor.
void ApplyCursor();

// The screen's pixels per inch (96 when it cannot be asked).
int PixelsPerInchX();
int PixelsPerInchY();

} // namespace ZVNPal::Win32
