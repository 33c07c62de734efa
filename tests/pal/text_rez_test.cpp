// The text-resource reader and its lookups: every rule of the file format,
// the failures, and hostile input that must neither crash nor overrun.
#include "pal/CTextRez.h"
#include "pal/PalTypes.h"

#include "pal/PalTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ZVNPal::CTextRez;

// A table loaded from the given bytes; each test gets its own.
struct Parsed {
    CTextRez table;
    int32_t result;
    explicit Parsed(std::string_view bytes) : result(table.LoadBytes(bytes)) {}
    std::string lookup(const std::string& key) const
    {
        std::string text = "<missing>";
        table.Lookup(key, text);
        return text;
    }
};

struct FormatCase {
    const char* name;
    std::string file;
    std::string key;
    std::string expected; // "<missing>" when the key must not be found
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class TextRezFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TextRezFormat, StoresTheFirstAlternativeUnderTheExactKey)
{
    const FormatCase& c = GetParam();
    Parsed parsed(c.file);
    EXPECT_EQ(parsed.result, ZVNPal::kPalOk);
    EXPECT_EQ(parsed.lookup(c.key), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(Rules, TextRezFormat, ::testing::Values(
    FormatCase{"Plain", "IDS_A,Gain\n", "IDS_A", "Gain"},
    FormatCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBFIDS_A,Gain\n", "IDS_A", "Gain"},
    FormatCase{"ByteOrderMarkBytesNotExamined", "\xEF\x41\x42IDS_A,Gain", "IDS_A", "Gain"},
    FormatCase{"LeadingBlankOfValueKept", "IDS_A, Gain\n", "IDS_A", " Gain"},
    FormatCase{"LeadingBlankBelongsToKey", " IDS_A,Gain\n", "IDS_A", "<missing>"},
    FormatCase{"KeyWithLeadingBlank", " IDS_A,Gain\n", " IDS_A", "Gain"},
    FormatCase{"FurtherCommasBelongToValue", "IDS_A,a,b;c\n", "IDS_A", "a,b;c"},
    FormatCase{"BackslashPlainInKey", "ID\\S,x\n", "ID\\S", "x"},
    FormatCase{"LastLineWithoutBreak", "IDS_A,x\nIDS_B,y", "IDS_B", "y"},
    FormatCase{"CommentLine", ";IDS_A,x\n", "IDS_A", "<missing>"},
    FormatCase{"SemicolonInsideKey", "x;IDS_A,y\n", "x;IDS_A", "y"},
    FormatCase{"CommentEndsAtCarriageReturn", ";note\rIDS_A,x", "IDS_A", "x"},
    FormatCase{"RealLineBreakEndsValue", "IDS_A,x\ny\n", "IDS_A", "x"},
    FormatCase{"EscapedLetterN", "IDS_A,x\\ny\n", "IDS_A", "x\ny"},
    FormatCase{"EscapeTable", "IDS_A,\\a\\b\\f\\n\\r\\t\\v\\\\\\q\n", "IDS_A", "\a\b\f\n\r\t\v\\q"},
    FormatCase{"ZeroEscapeStaysInside", "IDS_A,a\\0b\n", "IDS_A", "a\0b"s},
    FormatCase{"BackslashBeforeBreakContinues", "IDS_A,x\\\ny\n", "IDS_A", "x\ny"},
    FormatCase{"AlternativesFirstWins", "IDS_A,On|Off\n", "IDS_A", "On"},
    FormatCase{"EscapedBarStillCuts", "IDS_A,a\\|b\n", "IDS_A", "a"},
    FormatCase{"EmptyValue", "IDS_A,\n", "IDS_A", ""},
    FormatCase{"FirstDuplicateWins", "IDS_A,first\nIDS_A,second\n", "IDS_A", "first"},
    FormatCase{"CommaLessLineDoesNotPrefixNextKey", "stray text\nIDS_A,x\n", "IDS_A", "x"},
    FormatCase{"CommaLessLineStoresNothing", "stray text\nIDS_A,x\n", "stray textIDS_A", "<missing>"},
    FormatCase{"KeyAtLimit", std::string(255, 'k') + ",v", std::string(255, 'k'), "v"},
    FormatCase{"KeyOverLimitSkipped", std::string(256, 'k') + ",v", std::string(255, 'k'), "<missing>"},
    FormatCase{"ValueAtLimit", "IDS_A," + std::string(1023, 'v'), "IDS_A", std::string(1023, 'v')},
    FormatCase{"ValueOverLimitSkipped", "IDS_A," + std::string(1024, 'v') + "\nIDS_B,ok", "IDS_A", "<missing>"},
    FormatCase{"LineAfterOverlongOneReads", "IDS_A," + std::string(10000, 'v') + "\nIDS_B,ok", "IDS_B", "ok"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextRez, KeepsEveryAlternative)
{
    Parsed parsed("IDS_A,a||b\n");
    const std::vector<std::string> expected{"a", "", "b"};
    EXPECT_EQ(parsed.table.GetEntries().at("IDS_A"), expected);
}

TEST(TextRez, CarriageReturnLineFeedGivesTheSameTableAsLineFeed)
{
    const std::string lf = "; texts\nIDS_A,x\n\nIDS_B,y|z\nIDS_C,\\\\\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Parsed(lf).table.GetEntries(), Parsed(crlf).table.GetEntries());
    EXPECT_EQ(Parsed("\xEF\xBB\xBF" + lf).table.GetEntries(), Parsed(lf).table.GetEntries());
}

TEST(TextRez, FailsOnlyWhenCutInsideTheMarkOrAfterABackslash)
{
    const struct {
        std::string file;
        int32_t result;
    } cases[] = {
        {"", ZVNPal::kPalOk},
        {"\xEF", ZVNPal::kPalFail},
        {"\xEF\xBB", ZVNPal::kPalFail},
        {"\xEF\xBB\xBF", ZVNPal::kPalOk},
        {"IDS_A,x\\", ZVNPal::kPalFail},
        {"IDS_A\\", ZVNPal::kPalOk}, // a backslash in a key is plain
    };
    for (const auto& c : cases) {
        Parsed parsed(c.file);
        EXPECT_EQ(parsed.result, c.result) << '"' << c.file << '"';
        EXPECT_EQ(parsed.table.IsLoaded(), c.result == ZVNPal::kPalOk) << '"' << c.file << '"';
    }
}

TEST(TextRez, LaterLoadsAddWithoutReplacing)
{
    CTextRez table;
    ASSERT_EQ(table.LoadBytes("IDS_A,first\n"), ZVNPal::kPalOk);
    ASSERT_EQ(table.LoadBytes("IDS_A,second\nIDS_B,b\n"), ZVNPal::kPalOk);
    EXPECT_EQ(table.GetString("IDS_A"), "first");
    EXPECT_EQ(table.GetString("IDS_B"), "b");
}

TEST(TextRez, LookupMissLeavesTargetAndGetStringNamesTheKey)
{
    CTextRez table;
    ASSERT_EQ(table.LoadBytes("IDS_A,x\n"), ZVNPal::kPalOk);
    std::string target = "unchanged";
    EXPECT_FALSE(table.Lookup("IDS_B", target));
    EXPECT_EQ(target, "unchanged");
    EXPECT_EQ(table.GetString("IDS_B"), "IDS_B not found in text resource file!");
    EXPECT_EQ(table.GetString("IDS_A"), "x");
}

TEST(TextRez, SingleInstanceIsFreshAfterRelease)
{
    CTextRez& first = CTextRez::Instance();
    EXPECT_EQ(&first, &CTextRez::Instance());
    ASSERT_EQ(first.LoadBytes("IDS_A,x"), ZVNPal::kPalOk);
    CTextRez::ReleaseInstance();
    EXPECT_FALSE(CTextRez::Instance().IsLoaded());
    EXPECT_TRUE(CTextRez::Instance().GetEntries().empty());
    CTextRez::ReleaseInstance();
}

TEST(TextRez, LoadsFilesAndRejectsWhatCannotBeRead)
{
    paltest::TempFolder folder;
    CTextRez table;
    EXPECT_EQ(table.Load(folder.write("texts.mbres", "\xEF\xBB\xBFIDS_A,x\r\n")), ZVNPal::kPalOk);
    EXPECT_EQ(table.GetString("IDS_A"), "x");
    EXPECT_EQ(table.Load(folder.path() + "absent.mbres"), ZVNPal::kPalFail);
    EXPECT_EQ(table.Load(folder.makeFolder("a-folder")), ZVNPal::kPalFail);
    // Paths are UTF-8 byte strings, whatever the system's code page.
    EXPECT_EQ(table.Load(folder.write("Gr\xC3\xBC\xC3\x9F" "e/texts.mbres", "IDS_B,y\n")), ZVNPal::kPalOk);
    EXPECT_EQ(table.GetString("IDS_B"), "y");
}

TEST(TextRez, HostileInputIsReadInBoundedMemory)
{
    // Several megabytes: one endless line, binary garbage, a storm of short keys.
    std::string garbage(4 << 20, '\0');
    uint32_t state = 12345;
    for (char& c : garbage) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    std::string endless = "IDS_A," + std::string(3 << 20, 'x');
    std::string storm;
    for (int i = 0; i < 200000; ++i)
        storm += "K" + std::to_string(i) + ",v\n";
    for (const std::string* file : {&garbage, &endless, &storm}) {
        Parsed parsed(*file);
        for (const auto& [key, alternatives] : parsed.table.GetEntries()) {
            EXPECT_LE(key.size(), CTextRez::kMaxKeyBytes);
            size_t valueBytes = alternatives.size() - 1;
            for (const auto& text : alternatives)
                valueBytes += text.size();
            EXPECT_LE(valueBytes, CTextRez::kMaxValueBytes);
        }
    }
    EXPECT_EQ(Parsed(storm).table.GetEntries().size(), 200000u);
}

} // namespace
