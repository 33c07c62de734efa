// The filter coefficient hand-over between threads.
#include "core/SharedFilterSets.h"

#include <cstring>

static_assert(sizeof(FilterSets) % sizeof(double) == 0, "filter sets are made of doubles only");

void SharedFilterSets::publish(const FilterSets& sets)
{
    double source[kDoubles];
    std::memcpy(source, &sets, sizeof source);

    // Claim the sequence by making it odd; another writer holding it only
    // delays us for the few stores below. Each word is released, so a reader
    // that sees a new word also sees the odd mark and tries again.
    uint32_t seq = sequence.load(std::memory_order_relaxed);
    for (;;) {
        if ((seq & 1u) == 0
            && sequence.compare_exchange_weak(seq, seq + 1, std::memory_order_acq_rel, std::memory_order_relaxed))
            break;
        seq = sequence.load(std::memory_order_relaxed);
    }
    for (int i = 0; i < kDoubles; ++i)
        words[i].store(source[i], std::memory_order_release);
    sequence.store(seq + 2, std::memory_order_release);
}

FilterSets SharedFilterSets::read() const
{
    double copy[kDoubles];
    for (;;) {
        const uint32_t before = sequence.load(std::memory_order_acquire);
        if (before & 1u)
            continue;
        // Acquiring each word keeps the second look at the sequence after it.
        for (int i = 0; i < kDoubles; ++i)
            copy[i] = words[i].load(std::memory_order_acquire);
        if (sequence.load(std::memory_order_relaxed) == before)
            break;
    }
    FilterSets sets;
    std::memcpy(&sets, copy, sizeof sets);
    return sets;
}
