// The chunk a VST 2 host saves for a wrapped VST 3 effect: two 64-bit
// little-endian sizes (component state, controller state) followed by the two
// states themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace Steinberg {

class Vst2Chunk
{
public:
    static constexpr size_t kHeaderSize = 16;

    static std::vector<uint8_t> join(std::span<const uint8_t> component, std::span<const uint8_t> controller);

    // Splits a chunk into its two states; false for a chunk shorter than its
    // header or than the sizes it announces (nothing is read beyond `chunk`).
    static bool split(std::span<const uint8_t> chunk, std::span<const uint8_t>& component,
                      std::span<const uint8_t>& controller);
};

} // namespace Steinberg
