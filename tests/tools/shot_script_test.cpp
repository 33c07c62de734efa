// The screenshot tool's input scripts: what a line means, and which lines are refused.
#include "tools/shot/InputScript.h"

#include <gtest/gtest.h>

namespace {

TEST(ShotScript, ReadsEveryCommandAndSkipsCommentsAndBlanks)
{
    std::vector<InputStep> steps;
    std::string error;
    ASSERT_TRUE(parseInputScript("# drag the gain knob\nmove 246 135\n\ndown 1\n  up 3\nkey Up\nwait 250\r\n", steps,
                                 error))
        << error;
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].kind, InputStep::Move);
    EXPECT_EQ(steps[0].a, 246);
    EXPECT_EQ(steps[0].b, 135);
    EXPECT_EQ(steps[1].kind, InputStep::Down);
    EXPECT_EQ(steps[2].kind, InputStep::Up);
    EXPECT_EQ(steps[2].a, 3);
    EXPECT_EQ(steps[3].key, "Up");
    EXPECT_EQ(steps[4].a, 250);
}

TEST(ShotScript, WheelNotchesAndHeldKeys)
{
    std::vector<InputStep> steps;
    std::string error;
    ASSERT_TRUE(parseInputScript("keydown Shift\nwheel up 3\nwheel down 2\nkeyup Shift\n", steps, error)) << error;
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].kind, InputStep::KeyDown);
    EXPECT_EQ(steps[0].key, "Shift");
    EXPECT_EQ(steps[1].kind, InputStep::Wheel);
    EXPECT_EQ(steps[1].a, 3);
    EXPECT_EQ(steps[2].a, -2);
    EXPECT_EQ(steps[3].kind, InputStep::KeyUp);
}

TEST(ShotScript, RefusesBadLinesNamingThem)
{
    const char* bad[] = {"move 10", "down 2",        "up",         "key",        "wait -5",   "wait 99999",
                         "jump 1 2", "move x y",     "keydown",    "wheel up",   "wheel left 2", "wheel up 0",
                         "wheel down 101"};
    for (const char* line : bad) {
        std::vector<InputStep> steps;
        std::string error;
        EXPECT_FALSE(parseInputScript(std::string("wait 1\n") + line + "\n", steps, error)) << line;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

} // namespace
