// UTF-16 text of the Windows system calls: the plug-in's UTF-8 byte strings
// widened for them, and their answers narrowed back to UTF-8.
#pragma once

#include <string>

namespace ZVNPal {

// The UTF-16 text of a UTF-8 byte string (empty when it does not decode).
std::wstring WidenUtf8(const std::string& text);

// The UTF-8 bytes of `count` UTF-16 units; a lone surrogate becomes U+FFFD.
std::string NarrowToUtf8(const wchar_t* text, size_t count);

} // namespace ZVNPal
