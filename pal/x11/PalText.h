// Text conversions inside the Linux layer, which hands UTF-8 to cairo: from
// Latin-1, and UTF-8 cut to a number of UTF-16 units (UTF-16 goes through
// ZVNPal::Utf16ToUtf8). Malformed input becomes U+FFFD, never a read past the
// end.
#pragma once

#include <cstddef>
#include <string>

namespace ZVNPal::PalText {

std::string FromLatin1(const char* text);
// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or cut sequences).
bool IsUtf8(const char* text);
// The system's multibyte text: UTF-8 on this platform, with single-byte
// Latin-1 text still shown as such when it is not valid UTF-8.
std::string FromLocal(const char* text);
// Valid UTF-8 of at most maxUnits UTF-16 units (a pair never split).
std::string Utf8Limited(const char* text, std::size_t maxUnits);

} // namespace ZVNPal::PalText
