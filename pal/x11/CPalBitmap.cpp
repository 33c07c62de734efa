// Images from PNG files (decoded by cairo, alpha kept) and 24/32-bit BMP
// files (read here), or built from pixels; held as cairo image surfaces.
#include "pal/CPalBitmap.h"

#include "pal/CPalOffScreenDC.h"
#include "pal/DebugTrace.h"
#include "pal/PalPixels.h"

#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace ZVNPal {

namespace {

// Paths are limited as on the classic desktop; a longer one is refused
// rather than cut to a different name.
constexpr std::size_t kMaxPath = 259;
// Larger images are refused: their byte size must fit the 32-bit fields.
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;
constexpr std::int32_t kMaxSide = 32767;

// In one read of the file's size: byte by byte, a strip of a few hundred
// kilobytes cost as much as a tenth of its decoding.
bool ReadFile(const char* path, std::vector<unsigned char>& bytes)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || !file.seekg(0))
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), size));
}

struct PngReader {
    const std::vector<unsigned char>& bytes;
    std::size_t offset = 0;

    static cairo_status_t Read(void* closure, unsigned char* data, unsigned int length)
    {
        auto* reader = static_cast<PngReader*>(closure);
        if (reader->bytes.size() - reader->offset < length)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, reader->bytes.data() + reader->offset, length);
        reader->offset += length;
        return CAIRO_STATUS_SUCCESS;
    }
};

cairo_surface_t* DecodePng(const std::vector<unsigned char>& bytes)
{
    PngReader reader{bytes};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(PngReader::Read, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

std::uint32_t Le(const std::vector<unsigned char>& b, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | b[at + i];
    return value;
}

// An uncompressed BMP of 24 or 32 bits per pixel, bottom-up or top-down.
cairo_surface_t* DecodeBmp(const std::vector<unsigned char>& b)
{
    constexpr std::size_t kFileHeader = 14, kInfoHeader = 40;
    if (b.size() < kFileHeader + kInfoHeader)
        return nullptr;
    const std::uint32_t dataOffset = Le(b, 10, 4);
    const std::uint32_t infoSize = Le(b, 14, 4);
    const std::int32_t width = static_cast<std::int32_t>(Le(b, 18, 4));
    const std::int32_t rawHeight = static_cast<std::int32_t>(Le(b, 22, 4));
    const std::uint32_t bits = Le(b, 28, 2);
    const std::uint32_t compression = Le(b, 30, 4);
    constexpr std::uint32_t kUncompressed = 0;
    if (infoSize < kInfoHeader || compression != kUncompressed || (bits != 24 && bits != 32))
        return nullptr;
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || std::int64_t(width) * height > kMaxPixels)
        return nullptr;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t rowSize = (std::size_t(width) * bytesPerPixel + 3) / 4 * 4;
    if (dataOffset > b.size() || (b.size() - dataOffset) / rowSize < std::size_t(height))
        return nullptr;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, static_cast<int>(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (std::int64_t row = 0; row < height; ++row) {
        const std::size_t fileRow = topDown ? std::size_t(row) : std::size_t(height - 1 - row);
        const unsigned char* source = b.data() + dataOffset + fileRow * rowSize;
        auto* target = reinterpret_cast<std::uint32_t*>(data + row * stride);
        for (std::int32_t x = 0; x < width; ++x, source += bytesPerPixel)
            target[x] = 0xFF000000u | std::uint32_t(source[2]) << 16 | std::uint32_t(source[1]) << 8 | source[0];
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

cairo_surface_t* Decode(const std::vector<unsigned char>& bytes)
{
    static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= sizeof kPngSignature && std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0)
        return DecodePng(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return DecodeBmp(bytes);
    return nullptr;
}

// A picture opaque all over is kept without its alpha channel: drawn, it is
// then copied instead of blended (the meter's strip at every step of the
// needle). Any other picture is returned as it is.
cairo_surface_t* DropUnusedAlpha(cairo_surface_t* image)
{
    if (!image || cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32)
        return image;
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < width; ++x)
            if (row[x] >> 24 != 0xFF)
                return image;
    }
    // The same 32-bit words, seen without alpha (the unused byte holds 0xFF);
    // the decoded image keeps owning them until this view goes.
    static cairo_user_data_key_t owner;
    cairo_surface_t* opaque = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_RGB24, width, height, stride);
    const auto release = [](void* surface) { cairo_surface_destroy(static_cast<cairo_surface_t*>(surface)); };
    if (cairo_surface_status(opaque) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(opaque, &owner, image, release) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(opaque);
        return image;
    }
    return opaque;
}

} // namespace

PalResult CPalBitmap::Load(const char* path, bool showMessage)
{
    cairo_surface_t* image = nullptr;
    std::vector<unsigned char> bytes;
    if (path && *path && std::strlen(path) <= kMaxPath && ReadFile(path, bytes))
        image = Decode(bytes);
    if (!image) {
        if (showMessage)
            ReportLoadFailure();
        return kPalFail;
    }
    // The file's alpha channel counts, even when no pixel uses it.
    const bool hasAlpha = cairo_image_surface_get_format(image) == CAIRO_FORMAT_ARGB32;
    Adopt(DropUnusedAlpha(image), hasAlpha);
    return kPalOk;
}

PalResult CPalBitmap::CreateFromPixels(const std::uint32_t* pixels, std::int32_t width, std::int32_t height)
{
    if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        std::int64_t(width) * height > kMaxPixels)
        return kPalFail;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return kPalFail;
    }
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    // Rows arrive bottom-up, as GetPixels gives them, so read-back pixels
    // turn into an image the right way up.
    for (std::int32_t y = 0; y < height; ++y) {
        auto* target = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
        const std::uint32_t* source = pixels + std::size_t(height - 1 - y) * width;
        // Straight colour in, premultiplied colour stored.
        for (std::int32_t x = 0; x < width; ++x)
            target[x] = Premultiply(source[x]);
    }
    cairo_surface_mark_dirty(image);
    Adopt(image, true);
    return kPalOk;
}

PalResult CPalBitmap::LoadDetailed(const char* path)
{
    constexpr int kDetail = 2;
    std::vector<unsigned char> bytes;
    cairo_surface_t* image = nullptr;
    if (m_pImage && path && std::strlen(path) <= kMaxPath && ReadFile(path, bytes))
        image = DropUnusedAlpha(Decode(bytes));
    if (!image)
        return kPalFail;
    if (cairo_image_surface_get_width(image) != kDetail * m_nWidth ||
        cairo_image_surface_get_height(image) != kDetail * m_nHeight) {
        cairo_surface_destroy(image);
        return kPalFail;
    }
    cairo_surface_set_device_scale(image, kDetail, kDetail);
    m_bOpaque = m_bOpaque && cairo_image_surface_get_format(image) == CAIRO_FORMAT_RGB24;
    if (m_pDetailed)
        cairo_surface_destroy(static_cast<cairo_surface_t*>(m_pDetailed));
    m_pDetailed = image;
    return kPalOk;
}

const std::uint32_t* CPalBitmap::DecodedPixels(std::int32_t& stride) const
{
    auto* image = static_cast<cairo_surface_t*>(m_pImage);
    if (!image)
        return nullptr;
    // The words of a cairo image surface are these pixels, 32 bits native-endian.
    cairo_surface_flush(image);
    stride = cairo_image_surface_get_stride(image) / 4;
    return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image));
}

void CPalBitmap::Adopt(void* surface, bool hasAlpha)
{
    Release();
    m_pImage = surface;
    m_nWidth = cairo_image_surface_get_width(static_cast<cairo_surface_t*>(surface));
    m_nHeight = cairo_image_surface_get_height(static_cast<cairo_surface_t*>(surface));
    m_nPixelCount = m_nWidth * m_nHeight;
    m_nByteSize = m_nPixelCount * 4;
    m_bHasAlpha = hasAlpha;
    m_nSerial = NewSerial();
    m_bOpaque = cairo_image_surface_get_format(static_cast<cairo_surface_t*>(surface)) == CAIRO_FORMAT_RGB24;
}

void CPalBitmap::Release()
{
    for (void* image : {m_pImage, m_pDetailed})
        if (image)
            cairo_surface_destroy(static_cast<cairo_surface_t*>(image));
    m_pImage = m_pDetailed = nullptr;
    m_nWidth = m_nHeight = m_nPixelCount = m_nByteSize = 0;
    m_nSerial = 0;
    m_bHasAlpha = m_bOpaque = false;
}

CPalBitmap::~CPalBitmap() { Release(); }

} // namespace ZVNPal
