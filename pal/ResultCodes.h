// The 32-bit result codes of the platform and configuration operations.
#pragma once

#include <cstdint>

namespace ZVNPal {

constexpr int32_t kResultSuccess = 0;
constexpr int32_t kResultFail = static_cast<int32_t>(0x80004005);        // general failure
constexpr int32_t kResultUnexpected = static_cast<int32_t>(0x8000FFFF);  // wrong state, no surface
constexpr int32_t kResultInvalidArg = static_cast<int32_t>(0x80070057);  // bad argument
constexpr int32_t kResultOutOfMemory = static_cast<int32_t>(0x8007000E); // allocation failed

} // namespace ZVNPal
