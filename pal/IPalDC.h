// A drawing context: the surface of a window's repaint or an off-screen image.
// The order of the virtual operations is part of the contract.
#pragma once

#include "pal/CPalRect.h"
#include "pal/IPalColor.h"
#include "pal/PalTypes.h"

namespace ZVNPal {

class IPalBitmap;
class IPalFont;

// Raster operations of Blit and BlitRop.
enum PalRasterOp : std::uint32_t {
    kPalRopCopy = 0x00CC0020,
    kPalRopBlack = 0x00000042,
    kPalRopWhite = 0x00FF0062,
    kPalRopInvert = 0x00550009,
};

// Text alignment of SetTextAlign; any other value aligns left.
enum PalTextAlign : int {
    kPalAlignRight = 0,
    kPalAlignCentre = 2,
    kPalAlignLeft = 1,
};

// A clip restriction returned by SetClipRect and handed back to ResetClip.
using PalClipRegion = void*;

class IPalDC {
public:
    virtual PalResult BlitRop(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                              std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) = 0;
    virtual PalResult Blit(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, IPalDC* source,
                           std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) = 0;
    // A 32-bit image stored bottom-up: width = stride / 4, height = byteCount / stride.
    virtual void DrawPixels(const void* pixels, std::uint32_t byteCount, std::uint32_t stride, std::int32_t x,
                            std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t sourceX,
                            std::int32_t sourceY) = 0;
    virtual PalResult DrawBitmap(IPalBitmap* bitmap, std::int32_t x, std::int32_t y, std::int32_t width,
                                 std::int32_t height, std::int32_t sourceX, std::int32_t sourceY, float opacity) = 0;
    virtual void DrawBitmapAt(IPalBitmap* bitmap, std::int32_t x, std::int32_t y) = 0;
    virtual void DrawBitmapStretched(IPalBitmap* bitmap, const CPalRect& rect) = 0;
    virtual void FillTransparent(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) = 0;
    virtual void DrawRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          const IPalColor& colour) = 0;
    virtual void FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          const IPalColor& colour) = 0;
    virtual void FillRectRadial(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                const IPalColor& centre, const IPalColor& surround) = 0;
    // The gradient runs from colour1 to colour2 along `angle` degrees
    // (clockwise from the x axis), end colours at the rectangle's corners.
    virtual void FillRectLinear(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                const IPalColor& colour1, const IPalColor& colour2, float angle) = 0;
    virtual void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                          const IPalColor& colour) = 0;
    virtual void DrawLineDevice(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                const IPalColor& colour) = 0;
    virtual void DrawEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                             const IPalColor& colour) = 0;
    virtual void FillEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                             const IPalColor& colour) = 0;
    // Text in the system's multibyte encoding (UTF-8 here, Latin-1 bytes
    // accepted), UTF-8 and UTF-16; clip and
    // colour may be null (no clip, the context's text colour).
    virtual void DrawTextLocal(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                               const IPalColor* colour) = 0;
    virtual void DrawTextUtf8(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                              const IPalColor* colour) = 0;
    virtual void DrawTextWide(std::int32_t x, std::int32_t y, const char16_t* text, const CPalRect* clip,
                              const IPalColor* colour) = 0;
    virtual void DrawPath(const PalPath& path, const IPalColor& colour, float penWidth) = 0;
    virtual void FillPath(const PalPath& path, const IPalColor& colour) = 0;
    virtual void Reserved20() {}
    virtual void SetTextAlign(int align) = 0;
    virtual void SetBackgroundColor(const IPalColor& colour) = 0;
    virtual void SetTextColor(const IPalColor& colour) = 0;
    // UTF-8 text measured with the selected font.
    virtual PalResult MeasureText(std::int32_t* width, std::int32_t* height, const char* text) = 0;
    virtual IPalFont* SelectFont(IPalFont* font) = 0;
    virtual PalNativeDevice GetHandle() = 0;
    virtual PalClipRegion SetClipRect(const CPalRect& rect) = 0;
    virtual void ResetClip(PalClipRegion region) = 0;
    virtual void Reserved29() {}
    virtual void Reserved30() {}
    virtual ~IPalDC() = default;
};

} // namespace ZVNPal
