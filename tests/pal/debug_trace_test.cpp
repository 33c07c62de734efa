// The debug output: what reaches the sink, and that long text is cut safely.
#include "pal/DebugTrace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_lines;
void captureLine(const char* line) { g_lines.emplace_back(line); }

class DebugTraceTest : public ::testing::Test {
protected:
    void SetUp() override { g_lines.clear(); ZVNPal::SetDebugTraceSink(captureLine); }
    void TearDown() override { ZVNPal::SetDebugTraceSink(nullptr); }
};

TEST_F(DebugTraceTest, FormatsLikePrintf)
{
    ZVNPal::DebugTrace("ol7t::setParamNormalized[%u] = %f\n", 3u, 0.25);
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0], "ol7t::setParamNormalized[3] = 0.250000\n");
}

TEST_F(DebugTraceTest, CutsTextLongerThanTheBufferAtItsEnd)
{
    const std::string longText(5000, 'x');
    ZVNPal::DebugTrace("%s", longText.c_str());
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0], std::string(1023, 'x'));
}

} // namespace
