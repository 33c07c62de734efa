// The leveling amplifier's signal model written out literally, sample by
// sample with the C library's powers and logarithms: the yardstick that the
// product's fast model is held to in the tests and timed against in the
// benchmark. It keeps its own state and reads the effect's control values,
// coefficients and filters.
#pragma once

#include "core/ol7t.h"

#include <cstdint>

struct ReferenceModel
{
    // Runs `count` samples in place on the main arrays, as ol7t::processModel.
    void process(const ol7t& effect, double* mainL, double* mainR, const double* scL, const double* scR,
                 int32_t count);
    void reset(const ol7t& effect);

    ol7t::ChannelState channel[2];
    double excessEnv = 0;
    double drivePeak = 0;
    double shapedPeak = 0;
    double cellSlow = 1;
    double cellMid = 1;
    double cellTrack = 1;
    double cellSpeed = 0;
    double cellGain = 1;
    double gainSmoothed = 0;
    uint64_t sampleCounter = 0;

private:
    double detectorStep(const ol7t& e, const FilterSets& f, double scL, double scR);
    double cellStep(const ol7t& e, double x);
    double outputStage(const ol7t& e, double m, double g) const;
};
