// An image in memory (on Linux a cairo image surface), loaded from a PNG or a
// BMP file or built from pixels.
#pragma once

#include "pal/IPalBitmap.h"

#include <atomic>

namespace ZVNPal {

// Shows a message box with the given title and text (OK button, stop icon).
// Load reports an unreadable file through it when asked to.
using PalLoadMessageHook = void (*)(const char* title, const char* text);

class CPalBitmap : public IPalBitmap {
public:
    CPalBitmap() = default;
    CPalBitmap(const CPalBitmap&) = delete;
    CPalBitmap& operator=(const CPalBitmap&) = delete;

    PalResult Load(const char* path, bool showMessage) override;
    PalResult CreateFromPixels(const std::uint32_t* pixels, std::int32_t width, std::int32_t height) override;
    std::int32_t Width() const override { return m_nWidth; }
    std::int32_t Height() const override { return m_nHeight; }
    bool HasAlpha() const override { return m_bHasAlpha; }
    std::int32_t PixelCount() const override { return m_nPixelCount; }
    std::int32_t ByteSize() const override { return m_nByteSize; }
    PalResult CopyPixelsOut(IPalWindow* window, std::int32_t sourceX, std::int32_t sourceY, std::int32_t width,
                            std::int32_t height, std::uint32_t* destination) override;
    PalResult CopyAllPixelsOut(std::uint32_t* destination) override;
    PalNativeImage GetImage() override { return m_pImage; }
    ~CPalBitmap() override;

    // Adds the same picture drawn at twice the size, for drawing on screens
    // of more than one pixel per unit. Only a file of exactly twice the
    // width and height of the loaded image is taken; nothing is reported.
    PalResult LoadDetailed(const char* path);
    // The twice-size picture (a surface of the loaded image's size in units),
    // or null.
    PalNativeImage GetDetailedImage() const { return m_pDetailed; }
    // True when every pixel of the picture, and of its twice-size one, is
    // opaque: what it is drawn over never shows through.
    bool IsOpaque() const { return m_bOpaque; }
    // The picture's pixels as decoded, premultiplied 0xAARRGGBB words in rows
    // top-down, `stride` words apart, for reading without drawing them (the
    // alpha byte of an opaque picture is not to be relied on). Null with no
    // picture, or where the platform does not hand its pixels out.
    const std::uint32_t* DecodedPixels(std::int32_t& stride) const;
    // A number no other picture of the process has had, so that what is
    // worked out from the pixels can be kept for them; 0 with no picture.
    std::uint64_t Serial() const { return m_nSerial; }

    // Installs the message box used by Load; null restores the default, which
    // only writes a debug line.
    static void SetLoadMessageHook(PalLoadMessageHook hook);

private:
    // Shows the missing-image message through the installed hook.
    static void ReportLoadFailure();
    void Release();
    void Adopt(void* surface, bool hasAlpha);
    static std::uint64_t NewSerial()
    {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
    }

    void* m_pImage = nullptr;
    void* m_pDetailed = nullptr;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::int32_t m_nPixelCount = 0;
    std::int32_t m_nByteSize = 0;
    bool m_bHasAlpha = false;
    bool m_bOpaque = false;
    std::uint64_t m_nSerial = 0;
};

} // namespace ZVNPal
