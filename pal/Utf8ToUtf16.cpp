// The UTF-8 decoder used wherever text reaches the platform, and the encoder
// of one code point.
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

std::string Utf16ToUtf8(const char16_t* text)
{
    std::string out;
    for (; text && *text; ++text) {
        char32_t c = *text;
        if (c >= 0xD800 && c < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
            ++text;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace ZVNPal
