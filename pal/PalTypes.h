// Basic types of the platform layer shared by every interface: result codes,
// native handles (opaque to the editor) and points.
#pragma once

#include <cstdint>
#include <vector>

namespace ZVNPal {

// 32-bit result codes in the COM style.
using PalResult = std::int32_t;
inline constexpr PalResult kPalOk = 0;
inline constexpr PalResult kPalFail = static_cast<PalResult>(0x80004005u);
inline constexpr PalResult kPalUnexpected = static_cast<PalResult>(0x8000FFFFu);
inline constexpr PalResult kPalInvalidArg = static_cast<PalResult>(0x80070057u);
inline constexpr PalResult kPalOutOfMemory = static_cast<PalResult>(0x8007000Eu);

// Native objects seen through the interfaces. A window is an integer id (an
// X11 window id; a Win32 window handle fits as well); the others are opaque.
using PalNativeWindow = std::uintptr_t;
using PalNativeDevice = void*;
using PalNativeFont = void*;
using PalNativeMenu = void*;
using PalNativeImage = void*;
using PalModuleInstance = void*;

struct PalPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// A figure for DrawPath and FillPath: a polyline through the points, closed
// back to the first point when `closed` is set.
struct PalPath {
    std::vector<PalPoint> points;
    bool closed = false;
};

} // namespace ZVNPal
