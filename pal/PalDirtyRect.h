// The area of a window waiting to be repainted, kept in one atomic 64-bit
// value so that any thread can add to it without a lock or a system call and
// the user-interface thread can take it whole.
#pragma once

#include "pal/CPalRect.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace ZVNPal {

// Areas are kept as four 16-bit edges; larger windows do not exist.
inline constexpr std::int32_t kEdgeLimit = 0x7FFF;

inline std::int32_t ClampEdge(std::int32_t v) { return v < 0 ? 0 : (v > kEdgeLimit ? kEdgeLimit : v); }

inline std::uint64_t PackRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return std::uint64_t(l) | std::uint64_t(t) << 16 | std::uint64_t(r) << 32 | std::uint64_t(b) << 48;
}

inline CPalRect UnpackRect(std::uint64_t packed)
{
    const auto edge = [packed](int shift) { return static_cast<std::int32_t>(packed >> shift & 0xFFFF); };
    return CPalRect(edge(0), edge(16), edge(32) - edge(0), edge(48) - edge(16));
}

// Grows the pending area (0 when none) by the rectangle.
inline void MergeDirtyRect(std::atomic<std::uint64_t>& dirty, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom)
{
    left = ClampEdge(left), top = ClampEdge(top), right = ClampEdge(right), bottom = ClampEdge(bottom);
    if (right <= left || bottom <= top)
        return;
    std::uint64_t old = dirty.load(std::memory_order_relaxed);
    std::uint64_t merged = 0;
    do {
        if (old == 0) {
            merged = PackRect(left, top, right, bottom);
        } else {
            const CPalRect was = UnpackRect(old);
            merged = PackRect(std::min(left, was.Left()), std::min(top, was.Top()), std::max(right, was.Right()),
                              std::max(bottom, was.Bottom()));
        }
    } while (!dirty.compare_exchange_weak(old, merged, std::memory_order_relaxed));
}

} // namespace ZVNPal
