// Pixel conversions that both platforms' images and off-screen contexts use:
// premultiplied and straight alpha, and rectangles of bottom-up images.
#pragma once

#include "pal/PalTypes.h"

#include <algorithm>
#include <cstring>

namespace ZVNPal {

// Drawing surfaces keep premultiplied colour; callers exchange straight colour.
inline std::uint32_t Unpremultiply(std::uint32_t pixel)
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

inline std::uint32_t Premultiply(std::uint32_t pixel)
{
    const std::uint32_t alpha = pixel >> 24;
    const auto channel = [&](int shift) { return ((pixel >> shift & 0xFF) * alpha + 127) / 255; };
    return alpha << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

// True when the rectangle lies inside an image of the given size, so that it
// can be copied without reading past the image.
inline bool RectInsideImage(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            std::int32_t imageWidth, std::int32_t imageHeight)
{
    return x >= 0 && y >= 0 && width >= 0 && height >= 0 && x <= imageWidth - width && y <= imageHeight - height;
}

// Copies the rectangle at (x, y), in top-down coordinates, out of a whole
// bottom-up image into `destination`, which is bottom-up as well.
inline void CopyRectBottomUp(const std::uint32_t* image, std::int32_t imageWidth, std::int32_t imageHeight,
                             std::uint32_t* destination, std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height)
{
    // Top-down row y + r is image row (imageHeight - 1 - y - r).
    for (std::int32_t r = 0; r < height; ++r) {
        const std::int32_t sourceRow = imageHeight - 1 - (y + r);
        const std::int32_t targetRow = height - 1 - r;
        std::memcpy(destination + std::size_t(targetRow) * width, image + std::size_t(sourceRow) * imageWidth + x,
                    std::size_t(width) * sizeof(std::uint32_t));
    }
}

} // namespace ZVNPal
