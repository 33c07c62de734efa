// A drawing context over a native device (a cairo context on Linux, a device
// context with a GDI+ surface on Windows). It does not own the device; it
// draws anti-aliased unless an operation says otherwise.
#pragma once

#include "pal/IPalDC.h"

namespace ZVNPal {

class CPalDC : public IPalDC {
public:
    // A null device gives a context without a drawing surface: operations
    // with a result report it, the others draw nothing.
    explicit CPalDC(PalNativeDevice device);
    CPalDC(const CPalDC&) = delete;
    CPalDC& operator=(const CPalDC&) = delete;

    PalResult BlitRop(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t sourceX,
                      std::int32_t sourceY, std::uint32_t rop) override;
    PalResult Blit(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, IPalDC* source,
                   std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) override;
    void DrawPixels(const void* pixels, std::uint32_t byteCount, std::uint32_t stride, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, std::int32_t sourceX, std::int32_t sourceY) override;
    PalResult DrawBitmap(IPalBitmap* bitmap, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                         std::int32_t sourceX, std::int32_t sourceY, float opacity) override;
    void DrawBitmapAt(IPalBitmap* bitmap, std::int32_t x, std::int32_t y) override;
    void DrawBitmapStretched(IPalBitmap* bitmap, const CPalRect& rect) override;
    void FillTransparent(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    void DrawRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  const IPalColor& colour) override;
    void FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  const IPalColor& colour) override;
    void FillRectRadial(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        const IPalColor& centre, const IPalColor& surround) override;
    void FillRectLinear(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        const IPalColor& colour1, const IPalColor& colour2, float angle) override;
    void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const IPalColor& colour) override;
    void DrawLineDevice(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                        const IPalColor& colour) override;
    void DrawEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     const IPalColor& colour) override;
    void FillEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     const IPalColor& colour) override;
    void DrawTextLocal(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                       const IPalColor* colour) override;
    void DrawTextUtf8(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                      const IPalColor* colour) override;
    void DrawTextWide(std::int32_t x, std::int32_t y, const char16_t* text, const CPalRect* clip,
                      const IPalColor* colour) override;
    void DrawPath(const PalPath& path, const IPalColor& colour, float penWidth) override;
    void FillPath(const PalPath& path, const IPalColor& colour) override;
    void SetTextAlign(int align) override { m_nAlign = align; }
    void SetBackgroundColor(const IPalColor& colour) override { m_nBackColor = colour.GetARGB(); }
    void SetTextColor(const IPalColor& colour) override { m_nTextColor = colour.GetARGB(); }
    PalResult MeasureText(std::int32_t* width, std::int32_t* height, const char* text) override;
    IPalFont* SelectFont(IPalFont* font) override;
    PalNativeDevice GetHandle() override { return m_hDevice; }
    PalClipRegion SetClipRect(const CPalRect& rect) override;
    void ResetClip(PalClipRegion region) override;
    ~CPalDC() override;

    // The status of the last failed drawing call (0 when all succeeded).
    int LastStatus() const { return m_nStatus; }

protected:
    CPalDC() = default;
#ifdef _WIN32
    // The device and the GDI+ surface drawing into it (owned from here on);
    // a null surface makes one bound to the device. The previous surface is
    // released.
    void SetDevice(PalNativeDevice device, void* surface = nullptr);
    // Completes GDI+ drawing before GDI touches the device, and the reverse.
    void FlushSurface();
#else
    void SetDevice(PalNativeDevice device);
#endif

private:
#ifdef _WIN32
    // Converts text and hands it to DrawTextWide, on the heap when long.
    void DrawConverted(std::int32_t x, std::int32_t y, const char* text, bool utf8, const CPalRect* clip,
                       const IPalColor* colour);
    void* m_pSurface = nullptr; // the GDI+ graphics
#else
    // Draws UTF-8 text; the common end of the three text operations.
    void DrawUtf8(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip, const IPalColor* colour);
    void ApplyFont();
    int m_nClipDepth = 0;
#endif
    void NoteStatus();

    PalNativeDevice m_hDevice = nullptr;
    IPalFont* m_pFont = nullptr;
    int m_nStatus = 0;
    std::uint32_t m_nTextColor = 0xFF000000u;
    std::uint32_t m_nBackColor = 0xFFFFFFFFu;
    int m_nAlign = kPalAlignLeft;
};

} // namespace ZVNPal
