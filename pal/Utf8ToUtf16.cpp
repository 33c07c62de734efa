// The UTF-8 decoder used wherever text reaches the platform, and the UTF-8
// encoder that every UTF-16 text of the system goes through.
#include "pal/Utf8ToUtf16.h"

#include <cstdint>

namespace ZVNPal {
namespace {

// Length of the sequence that a lead byte opens, and how many of its low bits
// belong to the code point; 0 for a continuation byte, which cannot lead.
struct LeadByte {
    int length;
    unsigned payloadMask;
};

LeadByte classifyLead(uint8_t lead)
{
    if (lead >= 0xFC) return {6, 0x01};
    if (lead >= 0xF8) return {5, 0x03};
    if (lead >= 0xF0) return {4, 0x07};
    if (lead >= 0xE0) return {3, 0x0F};
    if (lead >= 0xC0) return {2, 0x1F};
    if (lead >= 0x80) return {0, 0};
    return {1, 0x7F};
}

} // namespace

int Utf8ToUtf16(const char* bytes, int count, char16_t* destination, int capacity)
{
    if (!bytes || count <= 0)
        return 0;
    const bool storing = destination && capacity > 0;
    int units = 0;
    int offset = 0;
    while (offset < count) {
        const LeadByte lead = classifyLead(static_cast<uint8_t>(bytes[offset]));
        if (lead.length == 0)
            return 0;
        if (lead.length > count - offset)
            break; // the last sequence is cut short: drop it
        uint32_t codePoint = static_cast<uint8_t>(bytes[offset]) & lead.payloadMask;
        // Following bytes are not checked for their form; each gives its low six bits.
        for (int i = 1; i < lead.length; ++i)
            codePoint = (codePoint << 6) | (static_cast<uint8_t>(bytes[offset + i]) & 0x3F);
        offset += lead.length;
        const char16_t unit = codePoint < 0x10000 ? static_cast<char16_t>(codePoint) : u'?';
        if (storing)
            destination[units] = unit;
        ++units;
        if (storing && units == capacity)
            break;
    }
    return units;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool AppendUtf16Unit(std::string& out, char16_t unit, char16_t next)
{
    constexpr char32_t kReplacement = 0xFFFD;
    const auto isHigh = [](char32_t u) { return u >= 0xD800 && u < 0xDC00; };
    const auto isLow = [](char32_t u) { return u >= 0xDC00 && u < 0xE000; };
    if (isHigh(unit) && isLow(next)) {
        AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(next) - 0xDC00));
        return true;
    }
    AppendUtf8(out, isHigh(unit) || isLow(unit) ? kReplacement : char32_t(unit));
    return false;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Back off over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace ZVNPal
