// A UTF-8 text handed between an AAX host and a plug-in: parameter names,
// identifiers and value texts.
#pragma once

#include <cstdint>
#include <string>

class AAX_CString
{
public:
    AAX_CString() = default;
    AAX_CString(const char* text) { Set(text); }

    // A null text is the empty text.
    void Set(const char* text) { mText = text ? text : ""; }
    const char* Get() const { return mText.c_str(); }
    uint32_t Length() const { return static_cast<uint32_t>(mText.size()); }
    void Clear() { mText.clear(); }
    // Keeps at most `length` bytes; a negative length empties the text.
    void Truncate(int32_t length);

    bool operator==(const AAX_CString& other) const { return mText == other.mText; }
    bool operator==(const char* other) const { return other && mText == other; }

private:
    std::string mText;
};
