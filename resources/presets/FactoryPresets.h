// The factory presets: named starting points, each a full set of the eight
// parameter values. The build writes them as VST 3 preset files and the
// render tool offers them by name.
#pragma once

#include "core/ParameterIds.h"

#include <array>
#include <span>
#include <string_view>

struct FactoryPreset
{
    const char* name;
    const char* purpose;
    // Normalized values by parameter ID, held as the effect holds them.
    std::array<float, PARAM_COUNT> values;
};

std::span<const FactoryPreset> factoryPresets();

// The preset of that name, ignoring case; null when there is none.
const FactoryPreset* findFactoryPreset(std::string_view name);
