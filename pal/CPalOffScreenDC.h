// An off-screen drawing context of fixed size: the editor's double buffer and
// the place where pixels are read back.
#pragma once

#include "pal/CPalDC.h"

namespace ZVNPal {

class IPalWindow;

class CPalOffScreenDC : public CPalDC {
public:
    // Compatible with the window's (or the other context's) device, including
    // its pixels per unit: width and height are in units. A size that is not
    // positive, or too large to allocate, leaves the context without a
    // drawing surface.
    CPalOffScreenDC(IPalWindow* window, std::int32_t width, std::int32_t height);
    CPalOffScreenDC(IPalDC* dc, std::int32_t width, std::int32_t height);
    ~CPalOffScreenDC() override;

    // All pixels as straight (not premultiplied) A-R-G-B values, rows
    // bottom-up, one a unit; the destination holds width * height values.
    virtual PalResult GetPixels(std::uint32_t* destination);
    // The rectangle at (x, y), top-down coordinates, copied row by row in the
    // same bottom-up order; `scratch` holds the whole image.
    virtual PalResult GetPixelsRect(std::uint32_t* scratch, std::uint32_t* destination, std::int32_t x, std::int32_t y,
                                    std::int32_t width, std::int32_t height);

    std::int32_t Width() const { return m_nWidth; }
    std::int32_t Height() const { return m_nHeight; }
    float Scale() const { return m_fScale; }

private:
#ifdef _WIN32
    // A memory device compatible with `compatible` (the screen when null).
    void Allocate(void* compatible, std::int32_t width, std::int32_t height);
#else
    void Allocate(std::int32_t width, std::int32_t height, float scale);
#endif

#ifdef _WIN32
    void* m_hBitmap = nullptr;    // the DIB section the memory device draws into
    void* m_hPrevious = nullptr;  // the device's bitmap before it
    std::uint32_t* m_pBits = nullptr; // premultiplied pixels, top-down
    void* m_pImage = nullptr;     // a GDI+ bitmap over the same pixels
#else
    void* m_pSurface = nullptr;
#endif
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    float m_fScale = 1.f;
};

} // namespace ZVNPal
