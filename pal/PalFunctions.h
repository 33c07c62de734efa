// The free operations of the platform layer: cursor, key and modifier
// translation, text widening, documents and help.
#pragma once

#include "pal/PalTypes.h"

#include <cstddef>

namespace ZVNPal {

class IPalWindow;

// Cursor kinds; any other value keeps the current cursor.
enum PalCursorKind : int {
    kPalCursorArrow = 1,
    kPalCursorBusy = 2,
    kPalCursorResizeHorizontal = 3,
    kPalCursorResizeVertical = 4,
    kPalCursorCross = 5,
    kPalCursorHand = 7,
    kPalCursorMove = 8,
};

// Modifier bits of pointer events.
enum PalModifier : std::uint32_t {
    kPalModLeftButton = 1,
    kPalModMiddleButton = 2,
    kPalModRightButton = 4,
    kPalModControl = 8,
    kPalModAlt = 16,
    kPalModWindows = 32,
    kPalModShift = 64,
};

// Remembered process-wide and applied to every window of the layer.
void SetCursorKind(int kind);
int GetCursorKind();
bool GetCursorPosition(std::int32_t* x, std::int32_t* y);
// Native key (an X11 keysym, a Win32 virtual key) to the layer's key code;
// 0 for keys outside the table.
std::int32_t TranslateKey(std::uint32_t nativeKey);
// Native button and key state (an X11 event state, the key flags of a Win32
// mouse message) to modifier bits.
std::uint32_t TranslateModifiers(std::uint32_t nativeFlags);
// Each byte becomes one UTF-16 unit; stops at the count, a zero byte or the
// capacity; returns the units written (a terminating zero follows when room).
std::size_t WidenBytes(const char* bytes, std::size_t count, char16_t* destination, std::size_t capacity);
bool OpenDocument(const char* path);
bool OpenDocumentNormal(const char* path);
// Writes what the window shows on screen (with its child windows) to a PNG
// file; for screenshots and tests. False when it cannot be read or written.
bool SaveWindowImage(IPalWindow* window, const char* path);
// The desktop's pixels per unit as the user set it (on Linux the scale
// variables of the toolkits, else the font resolution over 96 dpi); 1 when
// nothing says.
float GetDesktopScale();
// HTML help on Windows; without a help viewer (always on Linux) it returns 0
// and shows nothing.
PalResult ShowHelp(IPalWindow* window, const char* helpFile, std::uint32_t command, std::uintptr_t data);

} // namespace ZVNPal
