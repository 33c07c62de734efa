// The LV2 plug-in's identity and port layout, shared by the plug-in, its UI
// and the program that writes the bundle's description, so the three cannot
// disagree.
#pragma once

#include "core/ParameterIds.h"

#include <lv2/core/lv2.h>

#include <cstdint>
#include <cstring>

namespace lv2ports {

constexpr char kPluginUri[] = "https://www.marrowby.com/plugins/ol-7t";
constexpr char kUiUri[] = "https://www.marrowby.com/plugins/ol-7t#ui";
// The saved-state property holding the effect's state chunk.
constexpr char kStateKeyUri[] = "https://www.marrowby.com/plugins/ol-7t#chunk";
constexpr char kBinaryName[] = "OL-7T.so";

enum : uint32_t {
    kInputLeft,
    kInputRight,
    kSideChainLeft,
    kSideChainRight,
    kOutputLeft,
    kOutputRight,
    kFirstParameter,
    kMeterPosition = kFirstParameter + static_cast<uint32_t>(PARAM_COUNT),
    kGainReduction,
    kPortCount
};

// Control input symbols by parameter ID: stable names that sessions keep.
constexpr const char* kParameterSymbols[PARAM_COUNT] = {"enable", "gain", "peak_reduction", "limit",
                                                        "r37", "meter", "memory", "side_chain"};

constexpr bool isParameterPort(uint32_t port)
{
    return port >= kFirstParameter && port < kFirstParameter + static_cast<uint32_t>(PARAM_COUNT);
}

// The data of the host's feature `uri`, or null when the host offers none.
inline const void* featureData(const LV2_Feature* const* features, const char* uri)
{
    for (; features && *features; ++features) {
        if (std::strcmp((*features)->URI, uri) == 0)
            return (*features)->data;
    }
    return nullptr;
}

} // namespace lv2ports
