// The off-screen drawing context: an ARGB image surface with its own cairo
// context, and the read-back of its pixels.
#include "pal/CPalOffScreenDC.h"

#include "pal/PalPixels.h"

#include <cairo.h>

namespace ZVNPal {

CPalOffScreenDC::CPalOffScreenDC(IPalWindow*, std::int32_t width, std::int32_t height) { Allocate(width, height); }

CPalOffScreenDC::CPalOffScreenDC(IPalDC*, std::int32_t width, std::int32_t height) { Allocate(width, height); }

void CPalOffScreenDC::Allocate(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    m_pSurface = surface;
    m_nWidth = width;
    m_nHeight = height;
    SetDevice(cairo_create(surface));
}

CPalOffScreenDC::~CPalOffScreenDC()
{
    if (GetHandle())
        cairo_destroy(static_cast<cairo_t*>(GetHandle()));
    if (m_pSurface)
        cairo_surface_destroy(static_cast<cairo_surface_t*>(m_pSurface));
}

PalResult CPalOffScreenDC::GetPixels(std::uint32_t* destination)
{
    if (!m_pSurface)
        return kPalUnexpected;
    if (!destination)
        return kPalInvalidArg;
    auto* surface = static_cast<cairo_surface_t*>(m_pSurface);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (std::int32_t row = 0; row < m_nHeight; ++row) {
        const auto* source = reinterpret_cast<const std::uint32_t*>(data + std::size_t(m_nHeight - 1 - row) * stride);
        std::uint32_t* target = destination + std::size_t(row) * m_nWidth;
        for (std::int32_t column = 0; column < m_nWidth; ++column)
            target[column] = Unpremultiply(source[column]);
    }
    return kPalOk;
}

} // namespace ZVNPal
