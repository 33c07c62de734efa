// The off-screen drawing context: an ARGB image surface with its own cairo
// context, and the read-back of its pixels.
#include "pal/CPalOffScreenDC.h"

#include "pal/CPalWindow.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ZVNPal {

namespace {

// Cairo keeps premultiplied alpha; callers get straight colour values.
std::uint32_t Unpremultiply(std::uint32_t pixel)
{
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 0)
        return 0;
    if (alpha == 255)
        return pixel;
    const auto channel = [&](int shift) {
        return std::min<std::uint32_t>(255, ((pixel >> shift & 0xFF) * 255 + alpha / 2) / alpha);
    };
    return alpha << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

} // namespace

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

PalResult CPalOffScreenDC::GetPixelsRect(std::uint32_t* scratch, std::uint32_t* destination, std::int32_t x,
                                         std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (!scratch || !destination)
        return kPalFail;
    // Only a rectangle inside the image can be copied without reading past it.
    if (x < 0 || y < 0 || width < 0 || height < 0 || x > m_nWidth - width || y > m_nHeight - height)
        return kPalInvalidArg;
    const PalResult result = GetPixels(scratch);
    if (result != kPalOk)
        return result;
    // The scratch rows are bottom-up: top-down row y + r is scratch row (height - 1 - y - r).
    for (std::int32_t r = 0; r < height; ++r) {
        const std::int32_t sourceRow = m_nHeight - 1 - (y + r);
        const std::int32_t targetRow = height - 1 - r;
        std::memcpy(destination + std::size_t(targetRow) * width, scratch + std::size_t(sourceRow) * m_nWidth + x,
                    std::size_t(width) * sizeof(std::uint32_t));
    }
    return kPalOk;
}

} // namespace ZVNPal
