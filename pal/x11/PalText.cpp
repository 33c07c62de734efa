// Text conversions of the Linux layer.
#include "pal/x11/PalText.h"
#include "pal/Utf8ToUtf16.h"

#include <cstdint>

namespace ZVNPal::PalText {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// A value no code point has: marks a malformed sequence.
constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one code point at p (not at the terminating zero) and advances p;
// overlong forms, surrogates and truncated sequences give kInvalid.
char32_t Decode(const unsigned char*& p)
{
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return kInvalid;
    }
    for (int i = 0; i < extra; ++i) {
        if ((*p & 0xC0) != 0x80) // also stops at the terminating zero
            return kInvalid;
        c = c << 6 | (*p++ & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return kInvalid;
    return c;
}

} // namespace

std::string FromLatin1(const char* text)
{
    std::string out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p)
        AppendUtf8(out, static_cast<unsigned char>(*p));
    return out;
}

bool IsUtf8(const char* text)
{
    if (!text)
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p)
        if (Decode(p) == kInvalid)
            return false;
    return true;
}

std::string FromLocal(const char* text)
{
    return IsUtf8(text) ? std::string(text) : FromLatin1(text);
}

std::string Utf8Limited(const char* text, std::size_t maxUnits)
{
    std::string out;
    if (!text)
        return out;
    std::size_t units = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        char32_t c = Decode(p);
        if (c == kInvalid)
            c = kReplacement;
        const std::size_t need = c >= 0x10000 ? 2 : 1;
        if (units + need > maxUnits)
            break;
        units += need;
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace ZVNPal::PalText
