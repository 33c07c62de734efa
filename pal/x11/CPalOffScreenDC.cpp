// The off-screen drawing context: an ARGB image surface with its own cairo
// context, and the read-back of its pixels.
#include "pal/CPalOffScreenDC.h"

#include "pal/CPalWindow.h"
#include "pal/PalPixels.h"

#include <cairo.h>

#include <cmath>

namespace ZVNPal {

CPalOffScreenDC::CPalOffScreenDC(IPalWindow* window, std::int32_t width, std::int32_t height)
{
    const auto* own = dynamic_cast<const CPalWindow*>(window);
    Allocate(width, height, own ? own->Scale() : 1.f);
}

CPalOffScreenDC::CPalOffScreenDC(IPalDC* dc, std::int32_t width, std::int32_t height)
{
    const auto* own = dynamic_cast<const CPalOffScreenDC*>(dc);
    Allocate(width, height, own ? own->Scale() : 1.f);
}

void CPalOffScreenDC::Allocate(std::int32_t width, std::int32_t height, float scale)
{
    if (width <= 0 || height <= 0 || !(scale > 0.f))
        return;
    const auto pixels = [scale](std::int32_t units) { return static_cast<int>(std::ceil(units * double(scale))); };
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels(width), pixels(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_set_device_scale(surface, scale, scale);
    m_pSurface = surface;
    m_nWidth = width;
    m_nHeight = height;
    m_fScale = scale;
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
    // A finer image is read through a copy at one pixel a unit.
    cairo_surface_t* units = nullptr;
    if (m_fScale != 1.f) {
        units = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_nWidth, m_nHeight);
        cairo_t* cr = cairo_create(units);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(units);
        surface = units;
    }
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (std::int32_t row = 0; row < m_nHeight; ++row) {
        const auto* source = reinterpret_cast<const std::uint32_t*>(data + std::size_t(m_nHeight - 1 - row) * stride);
        std::uint32_t* target = destination + std::size_t(row) * m_nWidth;
        for (std::int32_t column = 0; column < m_nWidth; ++column)
            target[column] = Unpremultiply(source[column]);
    }
    if (units)
        cairo_surface_destroy(units);
    return kPalOk;
}

} // namespace ZVNPal
