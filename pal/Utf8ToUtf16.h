// Conversion of the plug-in's UTF-8 byte strings into the UTF-16 text that
// the platform's text operations take, and the one encoder of UTF-16 text
// (the platform's and the hosts' strings) back into UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZVNPal {

// Appends the UTF-8 bytes of one code point (at most 0x10FFFF) to `out`.
void AppendUtf8(std::string& out, char32_t codePoint);

// Appends the character that starts with `unit`, given the unit after it (0
// when there is none), and returns true when that next unit was used too: a
// surrogate pair becomes one code point, a lone surrogate U+FFFD.
bool AppendUtf16Unit(std::string& out, char16_t unit, char16_t next);

// UTF-16 text as UTF-8: at most `maxUnits` units, up to a zero unit; a pair
// that the limit cuts in half counts as a lone surrogate. Any 16-bit unit
// type, as the hosts' SDKs define theirs differently per platform.
template <typename Unit>
std::string Utf16ToUtf8(const Unit* text, std::size_t maxUnits = SIZE_MAX)
{
    static_assert(sizeof(Unit) == sizeof(char16_t));
    std::string out;
    for (std::size_t i = 0; text && i < maxUnits && text[i] != 0; ++i) {
        const char16_t next = i + 1 < maxUnits ? static_cast<char16_t>(text[i + 1]) : u'\0';
        if (AppendUtf16Unit(out, static_cast<char16_t>(text[i]), next))
            ++i;
    }
    return out;
}

// At most `maxBytes` bytes of UTF-8 `text`, ending on a character boundary.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

// Decodes `count` bytes of UTF-8 into UTF-16 units and returns how many units
// the text gives. With a destination and a capacity above 0 the units are also
// stored, at most `capacity` of them; the destination is never terminated.
// A sequence that begins with a continuation byte (0x80 to 0xBF) rejects the
// whole text (result 0); a code point above 0xFFFF becomes "?"; a sequence cut
// off by the end of the input is dropped.
int Utf8ToUtf16(const char* bytes, int count, char16_t* destination, int capacity);

} // namespace ZVNPal
