// An image loaded from a file or built from pixels. Slot order is contract.
#pragma once

#include "pal/PalTypes.h"

namespace ZVNPal {

class IPalWindow;

class IPalBitmap {
public:
    virtual PalResult Load(const char* path, bool showMessage) = 0;
    // Straight (not premultiplied) A-R-G-B pixels, rows bottom-up as the
    // off-screen context's GetPixels and CopyPixelsOut give them.
    virtual PalResult CreateFromPixels(const std::uint32_t* pixels, std::int32_t width, std::int32_t height) = 0;
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual bool HasAlpha() const = 0;
    virtual std::int32_t PixelCount() const = 0;
    virtual std::int32_t ByteSize() const = 0;
    virtual PalResult CopyPixelsOut(IPalWindow* window, std::int32_t sourceX, std::int32_t sourceY, std::int32_t width,
                                    std::int32_t height, std::uint32_t* destination) = 0;
    virtual PalResult CopyAllPixelsOut(std::uint32_t* destination) = 0;
    virtual PalNativeImage GetImage() = 0;
    virtual ~IPalBitmap() = default;
};

} // namespace ZVNPal
