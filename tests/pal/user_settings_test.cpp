// The editor-size settings file: where it lives, what a damaged file gives,
// and that writing one setting keeps the others.
#include "PalTestSupport.h"

#include "pal/UserSettings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using ZVNPal::UserSettings;

TEST(UserSettings, LivesInTheUsersConfigurationFolder)
{
    paltest::ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(UserSettings::DefaultPath(), "/cfg/marrowby/editor.conf");
    paltest::ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    paltest::ScopedEnvironment home("HOME", "/home/u");
    EXPECT_EQ(UserSettings::DefaultPath(), "/home/u/.config/marrowby/editor.conf");
    paltest::ScopedEnvironment noHome("HOME", std::nullopt);
    EXPECT_EQ(UserSettings(UserSettings::DefaultPath()).EditorSizePercent(100), 100) << "no folder: the default";
}

TEST(UserSettings, WritingTheSizeKeepsOtherLinesAndMakesTheFolder)
{
    paltest::TempFolder folder;
    const std::string path = folder.path() + "new/marrowby/editor.conf";
    const UserSettings settings(path);
    EXPECT_EQ(settings.EditorSizePercent(100), 100) << "a missing file";
    EXPECT_FALSE(settings.SetEditorSizePercent(120)) << "only offered sizes";
    ASSERT_TRUE(settings.SetEditorSizePercent(150));
    EXPECT_EQ(settings.EditorSizePercent(100), 150);

    folder.write("new/marrowby/editor.conf", "Theme=dark\nEditorSize=150\n");
    ASSERT_TRUE(settings.SetEditorSizePercent(200));
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(text.str(), "Theme=dark\nEditorSize=200\n");
}
