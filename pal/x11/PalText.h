// Text conversions inside the Linux layer, which hands UTF-8 to cairo: from
// UTF-16 and Latin-1, and UTF-8 cut to a number of UTF-16 units. Malformed
// input becomes U+FFFD, never a read past the end.
#pragma once

#include <cstddef>
#include <string>

namespace ZVNPal::PalText {

std::string FromUtf16(const char16_t* text);
std::string FromLatin1(const char* text);
// Valid UTF-8 of at most maxUnits UTF-16 units (a pair never split).
std::string Utf8Limited(const char* text, std::size_t maxUnits);

} // namespace ZVNPal::PalText
