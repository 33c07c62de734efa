// Hands a newly designed set of filter coefficients from whichever thread
// designed it to the audio thread, which must never see half of one design
// and half of another, and never waits for one.
#pragma once

#include "core/Biquad.h"

#include <atomic>
#include <cstdint>

// One writer at a time stores a set under a sequence counter over atomic
// doubles: odd while it writes, even when done. A reader that finds the
// counter odd, or moved underneath it, keeps the set it has and takes the
// new one on a later read.
//
// Designs are asked for on several threads (the host's, and automation on
// the audio thread). A thread that finds another one publishing leaves the
// work to it and returns at once; that thread designs again, from the
// settings of that moment, before it lets go. So no caller ever waits, and
// the last set published is made from the newest settings.
class SharedFilterSets
{
public:
    SharedFilterSets() { write(FilterSets{}); }

    // Publishes `design()`, a FilterSets made from the current settings.
    template <class Design>
    void publish(Design design)
    {
        designWanted.store(true);
        // A request that arrives after the last design but before the writer
        // lets go is caught by the outer test.
        while (designWanted.load() && !writing.exchange(true)) {
            while (designWanted.exchange(false))
                write(design());
            writing.store(false);
        }
    }

    // Copies the newest whole set into `sets` and returns true; while a set
    // is being written, leaves `sets` as it is and returns false.
    bool read(FilterSets& sets) const;

private:
    static constexpr int kDoubles = sizeof(FilterSets) / sizeof(double);

    void write(const FilterSets& sets);

    std::atomic<bool> designWanted{false};
    std::atomic<bool> writing{false};
    std::atomic<uint32_t> sequence{0};
    std::atomic<double> words[kDoubles]{};
};
