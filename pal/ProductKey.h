// The product and version under whose configuration key the plug-in's
// settings are kept (see ZVNConfig::KeyOf).
#pragma once

namespace ZVNPal {

inline constexpr char kProductName[] = "OL-7T Leveling Amplifier";
inline constexpr char kProductVersion[] = "2.0";

} // namespace ZVNPal
