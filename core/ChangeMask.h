// One bit per parameter ID, set by whichever thread changes a parameter (the
// audio thread among them) and taken whole by the editor on its
// user-interface tick. Marking never waits and never touches the editor.
#pragma once

#include "core/ParameterIds.h"

#include <atomic>
#include <cstdint>

class ChangeMask
{
public:
    static_assert(PARAM_COUNT <= 32, "one bit per parameter");

    // Release: the value stored before the mark is visible to whoever takes it.
    void mark(uint32_t id) noexcept
    {
        if (id < PARAM_COUNT)
            bits.fetch_or(1u << id, std::memory_order_release);
    }
    // The IDs marked since the last take, cleared in the same step so that a
    // mark made meanwhile is never lost.
    uint32_t take() noexcept { return bits.exchange(0, std::memory_order_acquire); }

private:
    std::atomic<uint32_t> bits{0};
};
