// An integer rectangle of the platform layer; the right and bottom edges are
// exclusive.
#pragma once

#include <cstdint>

namespace ZVNPal {

class CPalRect {
public:
    CPalRect() = default;
    CPalRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) { Init(x, y, width, height); }
    virtual ~CPalRect() = default;

    void Init(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
    {
        left = x;
        top = y;
        right = x + width;
        bottom = y + height;
    }

    std::int32_t Left() const { return left; }
    std::int32_t Top() const { return top; }
    std::int32_t Right() const { return right; }
    std::int32_t Bottom() const { return bottom; }
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }

    void SetLeft(std::int32_t x) { left = x; }
    void SetTop(std::int32_t y) { top = y; }

    void Offset(std::int32_t dx, std::int32_t dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    bool Contains(std::int32_t x, std::int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }
    bool IsEmpty() const { return right == left || bottom == top; }

    // Becomes the overlap of a and b; an empty overlap keeps its edges
    // ordered (right not left of left, bottom not above top).
    bool Intersect(const CPalRect& a, const CPalRect& b)
    {
        left = a.left > b.left ? a.left : b.left;
        top = a.top > b.top ? a.top : b.top;
        right = a.right < b.right ? a.right : b.right;
        bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
        if (right < left)
            right = left;
        if (bottom < top)
            bottom = top;
        return !IsEmpty();
    }

private:
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};

} // namespace ZVNPal
