// A colour as the drawing operations take it.
#pragma once

#include <cstdint>

namespace ZVNPal {

class IPalColor {
public:
    // The colour as one A-R-G-B value (alpha in bits 24-31, blue in 0-7).
    virtual std::uint32_t GetARGB() const = 0;
    virtual ~IPalColor() = default;
};

} // namespace ZVNPal
