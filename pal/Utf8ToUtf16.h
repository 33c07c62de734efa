// Conversion of the plug-in's UTF-8 byte strings into the UTF-16 text that
// the platform's text operations take, and of UTF-16 text back into UTF-8.
#pragma once

#include <string>

namespace ZVNPal {

// Appends the UTF-8 bytes of one code point (at most 0x10FFFF) to `out`.
void AppendUtf8(std::string& out, char32_t codePoint);

// Zero-terminated UTF-16 text (a host's or the SDK's strings) as UTF-8; an
// unpaired surrogate becomes U+FFFD. Null gives "".
std::string Utf16ToUtf8(const char16_t* text);

// Decodes `count` bytes of UTF-8 into UTF-16 units and returns how many units
// the text gives. With a destination and a capacity above 0 the units are also
// stored, at most `capacity` of them; the destination is never terminated.
// A sequence that begins with a continuation byte (0x80 to 0xBF) rejects the
// whole text (result 0); a code point above 0xFFFF becomes "?"; a sequence cut
// off by the end of the input is dropped.
int Utf8ToUtf16(const char* bytes, int count, char16_t* destination, int capacity);

} // namespace ZVNPal
