// Rectangles, colours, key and modifier tables, byte widening and the text
// conversions of the Linux layer.
#include <gtest/gtest.h>

#include "pal/CPalColor.h"
#include "pal/CPalRect.h"
#include "pal/PalFunctions.h"
#include "pal/x11/PalText.h"

#include <X11/X.h>
#include <X11/keysym.h>

using namespace ZVNPal;

TEST(PalRect, ContainsIsExclusiveAtRightAndBottom)
{
    const CPalRect r(10, 20, 5, 5);
    struct Case {
        int x, y;
        bool inside;
    } cases[] = {{14, 24, true}, {10, 20, true}, {15, 24, false}, {14, 25, false}, {9, 22, false}, {12, 19, false}};
    for (const Case& c : cases)
        EXPECT_EQ(r.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(r.Width(), 5);
    EXPECT_EQ(r.Bottom(), 25);
}

TEST(PalRect, IntersectGivesOverlapOrOrderedEmptyRectangle)
{
    struct Case {
        CPalRect a, b;
        bool overlap;
        int left, top, right, bottom;
    } cases[] = {
        {CPalRect(0, 0, 10, 10), CPalRect(5, 5, 10, 10), true, 5, 5, 10, 10},
        {CPalRect(0, 0, 10, 10), CPalRect(20, 30, 5, 5), false, 20, 30, 20, 30},
        {CPalRect(0, 0, 10, 10), CPalRect(10, 0, 5, 5), false, 10, 0, 10, 5},
        {CPalRect(2, 2, 3, 3), CPalRect(0, 0, 100, 100), true, 2, 2, 5, 5},
    };
    for (const Case& c : cases) {
        CPalRect out(1, 1, 1, 1);
        EXPECT_EQ(out.Intersect(c.a, c.b), c.overlap);
        EXPECT_EQ(out.IsEmpty(), !c.overlap);
        EXPECT_EQ(out.Left(), c.left);
        EXPECT_EQ(out.Top(), c.top);
        EXPECT_EQ(out.Right(), c.right);
        EXPECT_EQ(out.Bottom(), c.bottom);
    }
}

TEST(PalRect, SetLeftKeepsTheOppositeEdgeAndOffsetMovesBoth)
{
    CPalRect r(10, 10, 20, 20);
    r.SetLeft(15);
    r.SetTop(5);
    EXPECT_EQ(r.Width(), 15);
    EXPECT_EQ(r.Height(), 25);
    r.Offset(-15, 5);
    EXPECT_EQ(r.Left(), 0);
    EXPECT_EQ(r.Right(), 15);
    EXPECT_EQ(r.Top(), 10);
}

TEST(PalColor, FractionsAreScaledTruncatedAndClamped)
{
    EXPECT_EQ(CPalColor(1.0f, 0.0f, 0.5f, 1.0f).GetARGB(), 0xFFFF007Fu);
    EXPECT_EQ(CPalColor(0.999f, 0.01f, 0.0f, 0.5f).GetARGB(), 0x7FFE0200u);
    EXPECT_EQ(CPalColor(2.0f, -1.0f, 0.0f, 1.0f).GetARGB(), 0xFFFF0000u);
    EXPECT_EQ(CPalColor().GetARGB(), 0xFF000000u);
}

TEST(PalKeys, KeysymsTranslateByTheTable)
{
    const std::pair<unsigned long, int> cases[] = {
        {XK_BackSpace, 1}, {XK_Return, 2},   {XK_Shift_L, 3},     {XK_Control_R, 4},   {XK_Alt_L, 5},
        {XK_Super_L, 6},   {XK_Escape, 7},   {XK_space, 8},       {XK_End, 9},         {XK_Home, 10},
        {XK_Delete, 11},   {XK_Prior, 12},   {XK_Next, 13},       {XK_Help, 14},       {XK_Up, 15},
        {XK_Down, 16},     {XK_Left, 17},    {XK_Right, 18},      {XK_Tab, 19},        {XK_F1, 20},
        {XK_F6, 25},       {XK_F7, 26},      {XK_F8, 26},         {XK_F9, 27},         {XK_F13, 31},
        {XK_KP_Multiply, 35}, {XK_KP_Divide, 36}, {XK_KP_Add, 37}, {XK_KP_Subtract, 38}, {XK_bracketleft, 91},
        {XK_bracketright, 93}, {XK_0, 48},   {XK_9, 57},          {XK_a, 65},          {XK_Z, 90},
        {XK_comma, 0},     {XK_F14, 0},      {XK_Insert, 0},      {XK_Menu, 0},        {0, 0},
        // The keypad's navigation keys are their plain twins; its digits are not keys of the table.
        {XK_KP_End, 9},    {XK_KP_Home, 10}, {XK_KP_Delete, 11},  {XK_KP_Prior, 12},   {XK_KP_Next, 13},
        {XK_KP_Up, 15},    {XK_KP_Down, 16}, {XK_KP_Left, 17},    {XK_KP_Right, 18},   {XK_KP_8, 0},
    };
    for (const auto& [sym, code] : cases)
        EXPECT_EQ(TranslateKey(static_cast<std::uint32_t>(sym)), code) << std::hex << sym;
}

TEST(PalKeys, StateBitsTranslateToModifiers)
{
    EXPECT_EQ(TranslateModifiers(Button1Mask), kPalModLeftButton);
    EXPECT_EQ(TranslateModifiers(Button2Mask | Button3Mask), kPalModMiddleButton | kPalModRightButton);
    EXPECT_EQ(TranslateModifiers(ControlMask | Mod1Mask | Mod4Mask | ShiftMask),
              kPalModControl | kPalModAlt | kPalModWindows | kPalModShift);
    EXPECT_EQ(TranslateModifiers(LockMask | Mod2Mask), 0u);
}

TEST(PalText, WidenBytesStopsAtCountZeroOrCapacity)
{
    char16_t out[8];
    EXPECT_EQ(WidenBytes("ab\xE9", 3, out, 8), 3u);
    EXPECT_EQ(out[2], u'\xE9'); // a byte is a unit, not decoded
    EXPECT_EQ(out[3], u'\0');
    EXPECT_EQ(WidenBytes("abcdef", 6, out, 4), 4u);
    EXPECT_EQ(WidenBytes("ab\0cd", 5, out, 8), 2u);
    EXPECT_EQ(WidenBytes(nullptr, 5, out, 8), 0u);
}

TEST(PalText, ConversionsNeverPassMalformedInput)
{
    EXPECT_EQ(PalText::FromLatin1("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(PalText::Utf8Limited("\xC3", 10), "\xEF\xBF\xBD"); // truncated sequence
    EXPECT_EQ(PalText::Utf8Limited("\xC0\xAFz", 10), "\xEF\xBF\xBDz"); // overlong form
    EXPECT_EQ(PalText::Utf8Limited("abc\xF0\x9F\x8E\xB5", 4), "abc"); // a pair is never split
    EXPECT_EQ(PalText::Utf8Limited(std::string(150, 'x').c_str(), 99).size(), 99u);
}

TEST(PalText, LocalTextIsUtf8AndOtherwiseLatin1)
{
    const std::pair<const char*, const char*> cases[] = {
        {"(c) 2008", "(c) 2008"},
        {"\xC2\xA9 Marrowby", "\xC2\xA9 Marrowby"}, // UTF-8 stays
        {"\xA9 Marrowby", "\xC2\xA9 Marrowby"},      // a Latin-1 byte is widened
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"}, // an encoded surrogate is no UTF-8
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(PalText::FromLocal(in), out) << in;
    EXPECT_FALSE(PalText::IsUtf8(nullptr));
}
