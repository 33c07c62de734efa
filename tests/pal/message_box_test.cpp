// The message box never blocks a run without a display: what reaches the
// sink and standard error, and the default answers.
#include "pal/MessageBox.h"

#include "pal/PalTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ZVNPal;

TEST(MessageBox, DefaultAnswerIsTheFirstButton)
{
    const struct {
        int buttons;
        int answer;
    } cases[] = {
        {kMessageBoxOk, kMessageBoxResultOk},
        {kMessageBoxOkCancel, kMessageBoxResultOk},
        {kMessageBoxYesNo, kMessageBoxResultYes},
        {kMessageBoxYesNoCancel, kMessageBoxResultYes},
        {7, kMessageBoxResultOk}, // an unknown value shows a single OK button
        {0, kMessageBoxResultOk},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultMessageBoxAnswer(c.buttons), c.answer) << c.buttons;
}

TEST(MessageBox, WritesToStandardErrorAndReturnsAtOnceWithoutADisplay)
{
    // No display named, the headless switch, and a display that cannot be opened.
    for (const auto& [display, mode] :
         {std::pair<const char*, const char*>{nullptr, nullptr}, {":0", "stderr"}, {":9876", nullptr}}) {
        paltest::ScopedEnvironment displayVariable("DISPLAY", display ? std::optional<std::string>(display) : std::nullopt);
        paltest::ScopedEnvironment modeVariable("OL7T_MESSAGEBOX", mode ? std::optional<std::string>(mode) : std::nullopt);
        ::testing::internal::CaptureStderr();
        const int answer = MessageBox(0, "OL-7T Leveling Amplifier", "Failed \xE2\x80\x94 here.", kMessageBoxYesNo,
                                      kMessageBoxIconQuestion, 0);
        const std::string written = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, kMessageBoxResultYes);
        EXPECT_EQ(written, "OL-7T Leveling Amplifier: Failed \xE2\x80\x94 here.\n");
    }
}

std::string g_seen;
int answerNo(const MessageBoxRequest& request)
{
    g_seen = std::string(request.title) + "|" + request.text + "|" + std::to_string(request.buttons) + "|"
        + std::to_string(request.icon) + "|" + std::to_string(request.flags);
    return kMessageBoxResultNo;
}

TEST(MessageBox, SinkReceivesTheRequestAndGivesTheAnswer)
{
    SetMessageBoxSink(answerNo);
    const int answer = MessageBox(0, "Title", "Text", kMessageBoxYesNo, kMessageBoxIconExclamation, kMessageBoxForeground);
    SetMessageBoxSink(nullptr);
    EXPECT_EQ(answer, kMessageBoxResultNo);
    EXPECT_EQ(g_seen, "Title|Text|3|3|4");
}

} // namespace
