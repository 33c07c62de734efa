// Conversions at the boundary of the Windows system calls.
#include "pal/WideText.h"

#include "pal/Utf8ToUtf16.h"

#include <climits>

namespace ZVNPal {

std::wstring WidenUtf8(const std::string& text)
{
    if (text.size() > INT_MAX)
        return {};
    const int count = static_cast<int>(text.size());
    std::wstring wide(static_cast<size_t>(Utf8ToUtf16(text.data(), count, nullptr, 0)), L'\0');
    if (!wide.empty())
        Utf8ToUtf16(text.data(), count, reinterpret_cast<char16_t*>(wide.data()), static_cast<int>(wide.size()));
    return wide;
}

std::string NarrowToUtf8(const wchar_t* text, size_t count)
{
    constexpr char32_t kReplacement = 0xFFFD;
    std::string narrow;
    for (size_t i = 0; i < count; ++i) {
        const char32_t unit = static_cast<char16_t>(text[i]);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const char32_t next = i + 1 < count ? static_cast<char16_t>(text[i + 1]) : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            AppendUtf8(narrow, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++i;
        } else {
            AppendUtf8(narrow, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
        }
    }
    return narrow;
}

} // namespace ZVNPal
