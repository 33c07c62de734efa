// The off-screen drawing context on Win32: a memory device holding a 32-bit
// DIB section, with a GDI+ bitmap over the same premultiplied pixels as its
// drawing surface, and the read-back of those pixels.
#include "pal/CPalOffScreenDC.h"

#include "pal/IPalWindow.h"
#include "pal/PalPixels.h"
#include "pal/win32/PalWin32.h"

namespace ZVNPal {

using namespace Win32;

CPalOffScreenDC::CPalOffScreenDC(IPalWindow* window, std::int32_t width, std::int32_t height)
{
    const HWND hwnd = window ? Hwnd(window->GetHandle()) : nullptr;
    HDC device = ::GetDC(hwnd);
    Allocate(device, width, height);
    ::ReleaseDC(hwnd, device);
}

CPalOffScreenDC::CPalOffScreenDC(IPalDC* dc, std::int32_t width, std::int32_t height)
{
    Allocate(dc ? static_cast<HDC>(dc->GetHandle()) : nullptr, width, height);
}

void CPalOffScreenDC::Allocate(void* compatible, std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    HDC memory = ::CreateCompatibleDC(static_cast<HDC>(compatible));
    if (!memory)
        return;
    // Top-down 32-bit pixels, so that GDI and GDI+ see the same rows.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        ::DeleteDC(memory);
        return;
    }
    auto* image = new Gdiplus::Bitmap(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
    auto* surface = image->GetLastStatus() == Gdiplus::Ok ? new Gdiplus::Graphics(image) : nullptr;
    if (!surface || surface->GetLastStatus() != Gdiplus::Ok) {
        // GDI+ is not running: no drawing surface.
        delete surface;
        delete image;
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        return;
    }
    m_hBitmap = bitmap;
    m_hPrevious = ::SelectObject(memory, bitmap);
    m_pBits = static_cast<std::uint32_t*>(bits);
    m_pImage = image;
    m_nWidth = width;
    m_nHeight = height;
    SetDevice(memory, surface);
}

CPalOffScreenDC::~CPalOffScreenDC()
{
    HDC memory = static_cast<HDC>(GetHandle());
    if (!memory)
        return;
    // The surface goes before the pixels it draws into.
    SetDevice(nullptr, nullptr);
    delete static_cast<Gdiplus::Bitmap*>(m_pImage);
    ::SelectObject(memory, m_hPrevious);
    ::DeleteObject(static_cast<HBITMAP>(m_hBitmap));
    ::DeleteDC(memory);
}

PalResult CPalOffScreenDC::GetPixels(std::uint32_t* destination)
{
    if (!m_pBits)
        return kPalUnexpected;
    if (!destination)
        return kPalInvalidArg;
    FlushSurface();
    for (std::int32_t row = 0; row < m_nHeight; ++row) {
        const std::uint32_t* source = m_pBits + std::size_t(m_nHeight - 1 - row) * m_nWidth;
        std::uint32_t* target = destination + std::size_t(row) * m_nWidth;
        for (std::int32_t column = 0; column < m_nWidth; ++column)
            target[column] = Unpremultiply(source[column]);
    }
    return kPalOk;
}

} // namespace ZVNPal
