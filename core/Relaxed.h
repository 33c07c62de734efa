// A value shared between the user-interface thread and the audio thread:
// written whole by one side, read whole by the other, with no ordering
// needs, so relaxed atomics cost what plain loads and stores cost.
#pragma once

#include <atomic>

template <typename T>
class Relaxed
{
public:
    constexpr Relaxed(T initial = T{}) noexcept : value(initial) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    operator T() const noexcept { return value.load(std::memory_order_relaxed); }
    Relaxed& operator=(T v) noexcept
    {
        value.store(v, std::memory_order_relaxed);
        return *this;
    }
    // Reads and clears in one step, so a flag set in between is not lost.
    T exchange(T v) noexcept { return value.exchange(v, std::memory_order_relaxed); }

private:
    std::atomic<T> value;
};
