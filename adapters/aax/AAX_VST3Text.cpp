// UTF-16 to UTF-8 for the effect's strings, and character-safe cuts.
#include "adapters/aax/AAX_VST3Text.h"
#include "pal/Utf8ToUtf16.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHigh(char32_t u) { return u >= 0xD800 && u < 0xDC00; }
bool isLow(char32_t u) { return u >= 0xDC00 && u < 0xE000; }

} // namespace

std::string AAX_VST3ToUtf8(const Steinberg::char16* text, size_t maxUnits)
{
    std::string out;
    if (!text)
        return out;
    for (size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
        const char32_t u = static_cast<char16_t>(text[i]);
        if (isHigh(u) && i + 1 < maxUnits && isLow(static_cast<char16_t>(text[i + 1]))) {
            const char32_t low = static_cast<char16_t>(text[++i]);
            ZVNPal::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        } else {
            ZVNPal::AppendUtf8(out, isHigh(u) || isLow(u) ? kReplacement : u);
        }
    }
    return out;
}

std::string AAX_VST3CutUtf8(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t end = maxBytes;
    // Back off over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}
