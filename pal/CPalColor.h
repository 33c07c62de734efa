// One A-R-G-B colour, built from an A-R-G-B value or from four fractions.
#pragma once

#include "pal/IPalColor.h"

namespace ZVNPal {

class CPalColor : public IPalColor {
public:
    CPalColor() = default;
    explicit CPalColor(std::uint32_t argb) : m_nARGB(argb) {}
    // Each fraction in 0...1 is multiplied by 255 and truncated; values
    // outside the range are clamped first.
    CPalColor(float red, float green, float blue, float alpha)
        : m_nARGB(Channel(alpha) << 24 | Channel(red) << 16 | Channel(green) << 8 | Channel(blue))
    {
    }

    std::uint32_t GetARGB() const override { return m_nARGB; }

private:
    static std::uint32_t Channel(float fraction)
    {
        if (!(fraction > 0.0f)) // also catches NaN
            return 0;
        if (fraction >= 1.0f)
            return 255;
        return static_cast<std::uint32_t>(fraction * 255.0f);
    }

    std::uint32_t m_nARGB = 0xFF000000u;
};

} // namespace ZVNPal
