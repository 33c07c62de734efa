// Hands a newly designed set of filter coefficients from whichever thread
// designed it to the audio thread, which must never see half of one design
// and half of another.
#pragma once

#include "core/Biquad.h"

#include <atomic>
#include <cstdint>

// A sequence lock over atomic doubles: the writer marks the sequence
// odd while it writes and even when done; a reader copies and retries only if
// the sequence moved underneath it. Writers (the user-interface thread and
// automation on the audio thread) take turns on the sequence itself.
class SharedFilterSets
{
public:
    void publish(const FilterSets& sets);
    FilterSets read() const;

private:
    static constexpr int kDoubles = sizeof(FilterSets) / sizeof(double);

    std::atomic<uint32_t> sequence{0};
    std::atomic<double> words[kDoubles]{};
};
