// The LV2 plug-in's identity and port layout, shared by the plug-in, its UI
// and the program that writes the bundle's description, so the three cannot
// disagree.
#pragma once

#include "core/ParameterIds.h"

#include <cstdint>

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

} // namespace lv2ports
