// The filter coefficient hand-over between threads.
#include "core/SharedFilterSets.h"

#include <cstring>

static_assert(sizeof(FilterSets) % sizeof(double) == 0, "filter sets are made of doubles only");

void SharedFilterSets::write(const FilterSets& sets)
{
    double source[kDoubles];
    std::memcpy(source, &sets, sizeof source);

    // Only the thread holding the writer's role gets here. Each word is
    // released, so a reader that sees a new word also sees the odd mark.
    const uint32_t seq = sequence.load(std::memory_order_relaxed);
    sequence.store(seq + 1, std::memory_order_relaxed);
    for (int i = 0; i < kDoubles; ++i)
        words[i].store(source[i], std::memory_order_release);
    sequence.store(seq + 2, std::memory_order_release);
}

bool SharedFilterSets::read(FilterSets& sets) const
{
    const uint32_t before = sequence.load(std::memory_order_acquire);
    if (before & 1u)
        return false;
    double copy[kDoubles];
    // Acquiring each word keeps the second look at the sequence after it.
    for (int i = 0; i < kDoubles; ++i)
        copy[i] = words[i].load(std::memory_order_acquire);
    if (sequence.load(std::memory_order_relaxed) != before)
        return false;
    std::memcpy(&sets, copy, sizeof sets);
    return true;
}
