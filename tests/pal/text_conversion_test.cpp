// UTF-8 to UTF-16: sequence lengths, rejection, replacement above the basic
// plane, capacity, and input cut inside a sequence. UTF-16 to UTF-8: pairs,
// lone surrogates, the unit limit, and cuts on character boundaries.
#include "pal/Utf8ToUtf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct ConversionCase {
    std::string bytes;
    int capacity;
    std::u16string expected; // the stored units; the result is their count
};

TEST(Utf8ToUtf16, ConvertsByTheDocumentedRules)
{
    const ConversionCase cases[] = {
        {"ABC", 16, u"ABC"},
        {"A\x80" "B", 16, u""},                     // a continuation byte cannot lead
        {"A\xC3\xA4", 16, u"A\u00E4"},              // two bytes
        {"\xE2\x82\xAC", 16, u"\u20AC"},            // three bytes
        {"\xF0\x9F\x8E\xB8!", 16, u"?!"},           // four bytes: above the basic plane
        {"\xF8\x88\x80\x80\x80", 16, u"?"},         // five bytes
        {"\xFC\x84\x80\x80\x80\x80", 16, u"?"},     // six bytes
        {"\xC3\x41", 16, u"\u00C1"},                // following bytes are not checked
        {"ABCDE", 3, u"ABC"},                       // capacity respected
        {"A\xE2\x82", 16, u"A"},                    // cut short: the partial sequence is dropped
        {"\xF0", 16, u""},
    };
    for (const auto& c : cases) {
        // A heap copy of exactly the input's size lets the address sanitizer catch any read past it.
        const std::vector<char> exact(c.bytes.begin(), c.bytes.end());
        char16_t buffer[16] = {};
        const int units = ZVNPal::Utf8ToUtf16(exact.data(), static_cast<int>(exact.size()), buffer, c.capacity);
        EXPECT_EQ(std::u16string(buffer, static_cast<size_t>(std::max(units, 0))), c.expected) << c.bytes;
        EXPECT_EQ(units, static_cast<int>(c.expected.size())) << c.bytes;
    }
}

TEST(Utf8ToUtf16, CountsWithoutADestinationAndIgnoresEmptyInput)
{
    EXPECT_EQ(ZVNPal::Utf8ToUtf16("a\xC3\xA4\xE2\x82\xAC", 6, nullptr, 0), 3);
    char16_t buffer[4] = {};
    EXPECT_EQ(ZVNPal::Utf8ToUtf16("abc", 3, buffer, 0), 3); // a capacity of 0 only counts
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(ZVNPal::Utf8ToUtf16(nullptr, 3, buffer, 4), 0);
    EXPECT_EQ(ZVNPal::Utf8ToUtf16("abc", 0, buffer, 4), 0);
    EXPECT_EQ(ZVNPal::Utf8ToUtf16("abc", -1, buffer, 4), 0);
}

TEST(Utf16ToUtf8, JoinsPairsAndReplacesLoneSurrogates)
{
    // G, a-umlaut, euro, a pair (U+1F3B5), a lone low surrogate, a lone high one before '!'.
    const char16_t text[] = {u'G', 0x00E4, 0x20AC, 0xD83C, 0xDFB5, 0xDC00, 0xD800, u'!', 0};
    EXPECT_EQ(ZVNPal::Utf16ToUtf8(text), "G\xC3\xA4\xE2\x82\xAC\xF0\x9F\x8E\xB5\xEF\xBF\xBD\xEF\xBF\xBD!");
    EXPECT_EQ(ZVNPal::Utf16ToUtf8(text, 4), "G\xC3\xA4\xE2\x82\xAC\xEF\xBF\xBD") << "a pair cut in half";
    const char16_t highAtEnd[] = {u'x', 0xD83C, 0};
    EXPECT_EQ(ZVNPal::Utf16ToUtf8(highAtEnd), "x\xEF\xBF\xBD");
    EXPECT_EQ(ZVNPal::Utf16ToUtf8(static_cast<const char16_t*>(nullptr), 8), "");
}

TEST(Utf16ToUtf8, CutsEndOnCharacterBoundaries)
{
    const struct {
        size_t bytes;
        const char* cut;
    } cuts[] = {{0, ""}, {1, "G"}, {2, "G"}, {3, "G\xC3\xA4"}, {5, "G\xC3\xA4"}, {6, "G\xC3\xA4\xE2\x82\xAC"}};
    for (const auto& c : cuts)
        EXPECT_EQ(ZVNPal::CutUtf8("G\xC3\xA4\xE2\x82\xAC", c.bytes), c.cut) << c.bytes;
}

} // namespace
