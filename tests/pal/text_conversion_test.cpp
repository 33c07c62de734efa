// UTF-8 to UTF-16: sequence lengths, rejection, replacement above the basic
// plane, capacity, and input cut inside a sequence.
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

} // namespace
