// Image surface handling and the PNG and BMP writers of the artwork generator.
#include "Canvas.h"

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

double Canvas::s_scale = 1.0;

Canvas::Canvas(int width, int height)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::lround(width * s_scale)),
                                           static_cast<int>(std::lround(height * s_scale)))),
      m_nWidth(width),
      m_nHeight(height)
{
    // Painters draw in the image's units; the surface holds s_scale pixels a unit.
    cairo_surface_set_device_scale(m_surface, s_scale, s_scale);
    m_cr = cairo_create(m_surface);
}

int Canvas::pixelWidth() const { return cairo_image_surface_get_width(m_surface); }

int Canvas::pixelHeight() const { return cairo_image_surface_get_height(m_surface); }

Canvas::~Canvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

void Canvas::paintFilmstrip(int frames, int frameHeight, const std::function<void(cairo_t*, int)>& painter)
{
    for (int k = 0; k < frames; ++k) {
        cairo_save(m_cr);
        cairo_translate(m_cr, 0, static_cast<double>(k) * frameHeight);
        cairo_rectangle(m_cr, 0, 0, m_nWidth, frameHeight);
        cairo_clip(m_cr);
        painter(m_cr, k);
        cairo_restore(m_cr);
    }
}

void Canvas::paintCanvas(const Canvas& source, double x, double y, double scale, double sourceY,
                         double sourceHeight)
{
    const double height = sourceHeight < 0 ? source.height() - sourceY : sourceHeight;
    cairo_save(m_cr);
    cairo_translate(m_cr, x, y);
    cairo_scale(m_cr, scale, scale);
    cairo_rectangle(m_cr, 0, 0, source.width(), height);
    cairo_clip(m_cr);
    cairo_set_source_surface(m_cr, source.surface(), 0, -sourceY);
    cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_BEST);
    cairo_paint(m_cr);
    cairo_restore(m_cr);
}

namespace {

// Cairo's own PNG writer drops the alpha channel of an opaque picture; the editor
// expects every PNG with one, so rows are written as straight (not premultiplied) RGBA.
std::vector<uint8_t> straightRgbaRow(const uint32_t* row, int width)
{
    std::vector<uint8_t> out(static_cast<size_t>(width) * 4);
    for (int x = 0; x < width; ++x) {
        const uint32_t p = row[x];
        const uint32_t a = p >> 24;
        auto channel = [&](int shift) {
            const uint32_t c = (p >> shift) & 0xff;
            return static_cast<uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a);
        };
        out[4 * x] = channel(16);
        out[4 * x + 1] = channel(8);
        out[4 * x + 2] = channel(0);
        out[4 * x + 3] = static_cast<uint8_t>(a);
    }
    return out;
}

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

bool Canvas::writePng(const std::string& path) const
{
    cairo_surface_flush(m_surface);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, out);
        png_set_IHDR(png, info, static_cast<png_uint_32>(pixelWidth()), static_cast<png_uint_32>(pixelHeight()), 8,
                     PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        // Rows unfiltered: the strips, frame after frame of similar pictures,
        // then decode in a half to four fifths of the time (the editor decodes
        // them while a host waits for its first paint), the one-size ones at
        // up to half the size.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_write_info(png, info);
        const unsigned char* data = cairo_image_surface_get_data(m_surface);
        const int stride = cairo_image_surface_get_stride(m_surface);
        for (int y = 0; y < pixelHeight(); ++y) {
            std::vector<uint8_t> row =
                straightRgbaRow(reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride), pixelWidth());
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(out) == 0 && ok;
}

bool Canvas::writeBmp24(const std::string& path) const
{
    cairo_surface_flush(m_surface);
    const uint32_t rowBytes = (static_cast<uint32_t>(pixelWidth()) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(pixelHeight());
    const uint32_t headerBytes = 14 + 40;

    std::vector<uint8_t> file;
    file.reserve(headerBytes + pixelBytes);
    file.push_back('B');
    file.push_back('M');
    putLittleEndian(file, headerBytes + pixelBytes, 4);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, headerBytes, 4);
    putLittleEndian(file, 40, 4);                       // info header size
    putLittleEndian(file, static_cast<uint32_t>(pixelWidth()), 4);
    putLittleEndian(file, static_cast<uint32_t>(pixelHeight()), 4); // positive: rows run bottom-up
    putLittleEndian(file, 1, 2);                        // planes
    putLittleEndian(file, 24, 2);                       // bits per pixel
    putLittleEndian(file, 0, 4);                        // uncompressed
    putLittleEndian(file, pixelBytes, 4);
    putLittleEndian(file, 2835, 4);                     // 72 dpi
    putLittleEndian(file, 2835, 4);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, 0, 4);

    // Cairo keeps premultiplied native-endian 32-bit pixels, so over black the
    // colour channels are already the composited values.
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    for (int y = pixelHeight() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        uint32_t written = 0;
        for (int x = 0; x < pixelWidth(); ++x) {
            file.push_back(static_cast<uint8_t>(row[x]));
            file.push_back(static_cast<uint8_t>(row[x] >> 8));
            file.push_back(static_cast<uint8_t>(row[x] >> 16));
            written += 3;
        }
        for (; written < rowBytes; ++written)
            file.push_back(0);
    }

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}
