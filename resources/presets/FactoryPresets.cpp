// The factory presets' one table. Each was chosen by rendering the demo
// programme and synthetic material and reading the gain reduction; the
// README lists what each does there.
#include "resources/presets/FactoryPresets.h"

#include <algorithm>
#include <cctype>

namespace {

// Meter selector positions, as the effect steps them.
constexpr float kMeterGainReduction = 0.f;
constexpr float kMeterOutput4 = 2.f / 3.f;

constexpr float kOn = 1.f;
constexpr float kOff = 0.f;

// Columns: enable, gain, peak reduction, limit, R37, meter, fast memory, side chain.
constexpr FactoryPreset kPresets[] = {
    {"Vocal Leveling", "a lead vocal held steady through verses and choruses",
     {kOn, 0.42f, 0.55f, kOff, 0.50f, kMeterGainReduction, kOff, kOff}},
    {"Broadcast Voice", "dense, upfront speech for radio and voice-over; low end does not pump",
     {kOn, 0.55f, 0.65f, kOn, 0.25f, kMeterGainReduction, kOn, kOff}},
    {"Podcast Dialogue", "speakers of different loudness brought level, quick to recover between phrases",
     {kOn, 0.46f, 0.60f, kOff, 0.35f, kMeterGainReduction, kOn, kOff}},
    {"Bass Leveling", "bass guitar or synth bass with even notes; the detector hears the lows fully",
     {kOn, 0.42f, 0.50f, kOff, 0.75f, kMeterGainReduction, kOff, kOff}},
    {"Acoustic Guitar", "strummed or picked guitar kept even without dulling the attack",
     {kOn, 0.39f, 0.45f, kOff, 0.45f, kMeterGainReduction, kOff, kOff}},
    {"Piano", "gentle, slow leveling that keeps the playing's dynamics",
     {kOn, 0.38f, 0.40f, kOff, 0.55f, kMeterGainReduction, kOff, kOff}},
    {"Strings and Pads", "sustained parts smoothed by the cell's long memory",
     {kOn, 0.39f, 0.45f, kOff, 0.60f, kMeterGainReduction, kOff, kOff}},
    {"Drum Bus", "a drum mix tightened, fast recovery keeps the groove",
     {kOn, 0.47f, 0.55f, kOn, 0.50f, kMeterGainReduction, kOn, kOff}},
    {"Room Mics Squashed", "room or overhead mics crushed for size",
     {kOn, 0.66f, 0.85f, kOn, 0.50f, kMeterGainReduction, kOn, kOff}},
    {"Snare Body", "a snare or toms brought forward, the cell grabs each hit",
     {kOn, 0.42f, 0.50f, kOff, 0.40f, kMeterGainReduction, kOn, kOff}},
    {"Mix Glue", "a whole mix or bus held together by a dB or two",
     {kOn, 0.38f, 0.40f, kOff, 0.50f, kMeterOutput4, kOff, kOff}},
    {"Gentle Peak Limiting", "only the loudest peaks touched, the rest passes",
     {kOn, 0.38f, 0.35f, kOn, 0.50f, kMeterGainReduction, kOff, kOff}},
    {"Firm Limiting", "a hard ceiling for peaks of any source",
     {kOn, 0.60f, 0.70f, kOn, 0.50f, kMeterGainReduction, kOn, kOff}},
};

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::span<const FactoryPreset> factoryPresets()
{
    return kPresets;
}

const FactoryPreset* findFactoryPreset(std::string_view name)
{
    const auto found = std::find_if(std::begin(kPresets), std::end(kPresets),
                                    [name](const FactoryPreset& p) { return sameName(p.name, name); });
    return found == std::end(kPresets) ? nullptr : found;
}
