// Read-only access to the system registry below HKEY_LOCAL_MACHINE: the real
// registry on Windows (SystemRegistryWin32.cpp), the registry file on Linux
// (SystemRegistryFile.cpp). Every call reads the store afresh.
#pragma once

#include "pal/PalTypes.h"

#include <cstdint>
#include <string>

namespace ZVNPal {

// The string value `name` of the key `keyPath` ("Software\\Maker\\Product"),
// up to its first zero: kPalOk; kPalFail when the key or the value is
// missing, the value is not a string or its size is 0; kPalOutOfMemory when
// no buffer can be had.
PalResult ReadRegistryString(const std::string& keyPath, const std::string& name, std::string& value);

// The value `name` read through a buffer of exactly four bytes without asking
// its type, the way a 32-bit number is read: false when the key or the value
// is missing or the data does not fit. The text "0" so reads as 48 and an
// empty text as 0.
bool ReadRegistryFourBytes(const std::string& keyPath, const std::string& name, uint32_t& number);

} // namespace ZVNPal
