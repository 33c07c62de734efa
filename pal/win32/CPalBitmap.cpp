// Images through GDI+: PNG and BMP files decoded into memory (alpha kept where
// the file has it), or built from pixels.
#include "pal/CPalBitmap.h"

#include "pal/CPalOffScreenDC.h"
#include "pal/DebugTrace.h"
#include "pal/win32/PalWin32.h"

#include <cstring>

namespace ZVNPal {

using namespace Win32;
using Gdiplus::Bitmap;

namespace {

// Paths are limited as on the classic desktop; a longer one is refused
// rather than cut to a different name.
constexpr std::size_t kMaxPath = 259;
// Larger images are refused: their byte size must fit the 32-bit fields.
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;
constexpr std::int32_t kMaxSide = 32767;

bool SizeAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// Copies the pixels of `from` into a new bitmap of `format` that owns them,
// so that the file the image came from is not held open.
Bitmap* CopyIntoMemory(Bitmap& from, Gdiplus::PixelFormat format)
{
    const Gdiplus::Rect area(0, 0, static_cast<INT>(from.GetWidth()), static_cast<INT>(from.GetHeight()));
    auto* copy = new Bitmap(area.Width, area.Height, format);
    Gdiplus::BitmapData source{}, target{};
    if (copy->GetLastStatus() != Gdiplus::Ok ||
        from.LockBits(&area, Gdiplus::ImageLockModeRead, format, &source) != Gdiplus::Ok) {
        delete copy;
        return nullptr;
    }
    const bool locked = copy->LockBits(&area, Gdiplus::ImageLockModeWrite, format, &target) == Gdiplus::Ok;
    if (locked) {
        for (INT row = 0; row < area.Height; ++row)
            std::memcpy(static_cast<BYTE*>(target.Scan0) + row * target.Stride,
                        static_cast<const BYTE*>(source.Scan0) + row * source.Stride, std::size_t(area.Width) * 4);
        copy->UnlockBits(&target);
    }
    from.UnlockBits(&source);
    if (!locked) {
        delete copy;
        return nullptr;
    }
    return copy;
}

} // namespace

// Windows draws at one pixel a unit here: the twice-size pictures are not used.
PalResult CPalBitmap::LoadDetailed(const char*) { return kPalFail; }

// GDI+ keeps its pixels behind LockBits; they are not handed out here.
const std::uint32_t* CPalBitmap::DecodedPixels(std::int32_t&) const { return nullptr; }

PalResult CPalBitmap::Load(const char* path, bool showMessage)
{
    Bitmap* image = nullptr;
    bool hasAlpha = false;
    if (path && *path && std::strlen(path) <= kMaxPath) {
        Bitmap file(PathText(path).c_str());
        // The status is read once; a failed decode leaves no image.
        if (file.GetLastStatus() == Gdiplus::Ok && SizeAllowed(file.GetWidth(), file.GetHeight())) {
            hasAlpha = Gdiplus::IsAlphaPixelFormat(file.GetPixelFormat());
            image = CopyIntoMemory(file, hasAlpha ? PixelFormat32bppPARGB : PixelFormat32bppRGB);
        }
    }
    if (!image) {
        if (showMessage)
            ReportLoadFailure();
        return kPalFail;
    }
    Adopt(image, hasAlpha);
    return kPalOk;
}

PalResult CPalBitmap::CreateFromPixels(const std::uint32_t* pixels, std::int32_t width, std::int32_t height)
{
    if (!pixels || !SizeAllowed(width, height))
        return kPalFail;
    auto* image = new Bitmap(width, height, PixelFormat32bppARGB);
    const Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (image->GetLastStatus() != Gdiplus::Ok ||
        image->LockBits(&area, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        delete image;
        return kPalFail;
    }
    // Rows arrive bottom-up, as GetPixels gives them, so read-back pixels
    // turn into an image the right way up.
    for (std::int32_t y = 0; y < height; ++y)
        std::memcpy(static_cast<BYTE*>(data.Scan0) + std::size_t(y) * data.Stride,
                    pixels + std::size_t(height - 1 - y) * width, std::size_t(width) * 4);
    image->UnlockBits(&data);
    Adopt(image, true);
    return kPalOk;
}

void CPalBitmap::Adopt(void* image, bool hasAlpha)
{
    Release();
    m_pImage = image;
    m_nWidth = static_cast<std::int32_t>(static_cast<Bitmap*>(image)->GetWidth());
    m_nHeight = static_cast<std::int32_t>(static_cast<Bitmap*>(image)->GetHeight());
    m_nPixelCount = m_nWidth * m_nHeight;
    m_nByteSize = m_nPixelCount * 4;
    m_bHasAlpha = hasAlpha;
    m_nSerial = NewSerial();
}

void CPalBitmap::Release()
{
    delete static_cast<Bitmap*>(m_pImage);
    m_pImage = nullptr;
    m_nWidth = m_nHeight = m_nPixelCount = m_nByteSize = 0;
    m_nSerial = 0;
    m_bHasAlpha = false;
}

CPalBitmap::~CPalBitmap() { Release(); }

} // namespace ZVNPal
