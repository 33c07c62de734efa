// The effect's eight parameters: their IDs and how they are registered.
#pragma once

#include <cstdint>

enum ParameterId : uint32_t
{
    PARAM_ENABLE = 0,
    PARAM_GAIN,
    PARAM_PEAKRED,
    PARAM_LIMITMODE,
    PARAM_R37,
    PARAM_METERSEL,
    PARAM_MEMORY,
    PARAM_SIDECH,
    PARAM_COUNT
};

struct ParameterDescription
{
    const char* titleKey;
    int32_t stepCount;
    double defaultValue;
    int32_t flags;
};

namespace ParameterFlags {
// The values of the VST 3 ParameterInfo flags word.
constexpr int32_t kCanAutomate = 1;
constexpr int32_t kIsList = 8;
} // namespace ParameterFlags

inline constexpr ParameterDescription kParameterDescriptions[PARAM_COUNT] = {
    {"IDS_PARAM_ENABLE", 1, 1.0, ParameterFlags::kCanAutomate},
    {"IDS_PARAM_GAIN", 0, 0.4, ParameterFlags::kCanAutomate},
    {"IDS_PARAM_PEAKRED", 0, 0.5, ParameterFlags::kCanAutomate},
    {"IDS_PARAM_LIMITMODE", 1, 0.0, ParameterFlags::kCanAutomate | ParameterFlags::kIsList},
    {"IDS_PARAM_R37", 0, 0.5, ParameterFlags::kCanAutomate},
    {"IDS_PARAM_METERSEL", 3, 0.0, ParameterFlags::kCanAutomate | ParameterFlags::kIsList},
    {"IDS_PARAM_MEMORY", 1, 0.0, ParameterFlags::kCanAutomate | ParameterFlags::kIsList},
    {"IDS_PARAM_SIDECH", 1, 0.0, ParameterFlags::kCanAutomate | ParameterFlags::kIsList},
};
