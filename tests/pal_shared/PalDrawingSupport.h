// What the drawing tests of both platform layers share: colours, pixels of
// an off-screen context read back top-down, and image files written for
// loading. Each platform's test program defines WriteHalfBluePng with its own
// image library.
#pragma once

#include <gtest/gtest.h>

#include "pal/CPalOffScreenDC.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace ZVNPal::Testing {

inline constexpr std::uint32_t kRed = 0xFFFF0000u;
inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// Pixels of a context read back, addressed top-down.
struct Readback {
    std::vector<std::uint32_t> pixels;
    int width, height;
    explicit Readback(CPalOffScreenDC& dc)
        : pixels(std::size_t(dc.Width()) * dc.Height()), width(dc.Width()), height(dc.Height())
    {
        EXPECT_EQ(dc.GetPixels(pixels.data()), kPalOk);
    }
    std::uint32_t At(int x, int y) const { return pixels[std::size_t(height - 1 - y) * width + x]; }
};

inline int Channel(std::uint32_t argb, int shift) { return static_cast<int>(argb >> shift & 0xFF); }

inline std::string TempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

// A 24-bit BMP of 3 x 2 pixels, rows bottom-up and padded to 4 bytes.
inline void WriteBmp(const std::string& path, const std::uint32_t (&topDown)[2][3])
{
    std::vector<unsigned char> b(54 + 2 * 12, 0);
    const auto put = [&](std::size_t at, std::uint32_t v, int size) {
        for (int i = 0; i < size; ++i)
            b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, static_cast<std::uint32_t>(b.size()), 4);
    put(10, 54, 4), put(14, 40, 4), put(18, 3, 4), put(22, 2, 4), put(26, 1, 2), put(28, 24, 2);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x) {
            const std::uint32_t p = topDown[1 - row][x];
            const std::size_t at = 54 + row * 12 + x * 3;
            b[at] = p & 0xFF, b[at + 1] = p >> 8 & 0xFF, b[at + 2] = p >> 16 & 0xFF;
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A 2 x 2 PNG of blue at half alpha.
bool WriteHalfBluePng(const std::string& path);

} // namespace ZVNPal::Testing
