// The loading step of the process-wide strings with its fatal messages, the
// shipped text file, and the language with its documentation suffix.
#include "pal/CTextRez.h"
#include "pal/Folders.h"
#include "pal/MessageBox.h"
#include "pal/TextStrings.h"

#include "pal/PalTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace ZVNPal;

std::vector<std::string> g_messages;
int recordMessage(const MessageBoxRequest& request)
{
    g_messages.push_back(std::string(request.title) + "|" + request.text + "|" + std::to_string(request.buttons) + "|"
                         + std::to_string(request.icon));
    return kMessageBoxResultOk;
}

class LoadTextResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        SetMessageBoxSink(recordMessage);
    }
    void TearDown() override { SetMessageBoxSink(nullptr); }

    paltest::TempFolder m_folder;
};

std::string fatal(const char* reason)
{
    return std::string("OL-7T Leveling Amplifier|Sorry, a fatal error occurred:\n\n") + reason + "|1|1";
}

TEST_F(LoadTextResourcesTest, MissingFolderOrFileIsFatal)
{
    SetResourcesFolder(m_folder.path() + "Resources");
    EXPECT_FALSE(LoadTextResources());
    m_folder.makeFolder("Resources");
    EXPECT_FALSE(LoadTextResources());
    EXPECT_EQ(GetResourcesFolder(), m_folder.path() + "Resources/");
    m_folder.write("Resources/TextResources.mbres", "IDS_PARAM_GAIN,Gain\\");
    SetResourcesFolder(m_folder.path() + "Resources");
    EXPECT_FALSE(LoadTextResources()); // cut after a backslash
    const std::vector<std::string> expected{
        fatal("Failed to locate resources folder."),
        fatal("Failed to load text resource file."),
        fatal("Failed to load text resource file."),
    };
    EXPECT_EQ(g_messages, expected);
}

TEST_F(LoadTextResourcesTest, FillsTheStringsAndKeepsThoseTheFileLacks)
{
    m_folder.write("Resources/TextResources.mbres", "IDS_PARAM_GAIN,Gain|Level\nIDS_OPT_DOC,Manual\n");
    SetResourcesFolder(m_folder.path() + "Resources");
    ASSERT_TRUE(LoadTextResources());
    EXPECT_EQ(GetResourcesFolder(), m_folder.path() + "Resources/");
    EXPECT_EQ(TextString("IDS_PARAM_GAIN"), "Gain");
    EXPECT_EQ(TextString("IDS_OPT_DOC"), "Manual");

    m_folder.write("Resources/TextResources.mbres", "IDS_OPT_DOC,User Guide\n");
    SetResourcesFolder(m_folder.path() + "Resources");
    ASSERT_TRUE(LoadTextResources());
    EXPECT_EQ(TextString("IDS_PARAM_GAIN"), "Gain");
    EXPECT_EQ(TextString("IDS_OPT_DOC"), "User Guide");
    EXPECT_EQ(TextString("IDS_NOT_A_STRING"), "");
    EXPECT_TRUE(g_messages.empty());
    // The table lives only for the loading step.
    EXPECT_TRUE(CTextRez::Instance().GetEntries().empty());
    CTextRez::ReleaseInstance();
}

TEST(ShippedTextResources, NameEveryStringThePlugInReads)
{
    CTextRez table;
    ASSERT_EQ(table.Load(std::string(OL7T_RESOURCES_DIR) + "/TextResources.mbres"), 0);
    for (const char* key : TextStringKeys()) {
        std::string text;
        EXPECT_TRUE(table.Lookup(key, text)) << key;
        EXPECT_FALSE(text.empty()) << key;
    }
    std::string description;
    table.Lookup("IDS_OL7T_DESC", description);
    EXPECT_LE(description.size(), 63u); // the channel-strip host takes 63 bytes
}

TEST(Language, ComesFromTheRegistryValueExactly)
{
    const std::string section = "[HKEY_LOCAL_MACHINE\\Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0]\n";
    const struct {
        std::string registry;
        int language;
        const char* suffix;
    } cases[] = {
        {section + "\"Language\"=\"German\"", 1, "_DE"},
        {section + "\"Language\"=\"French\"", 2, "_FR"},
        {section + "\"Language\"=\"English\"", 3, "_EN"},
        {section + "\"Language\"=\"Japanese\"", 4, "_JA"},
        {section + "\"Language\"=\"Spanish\"", 5, "_EN"},
        {section + "\"Language\"=\"Italian\"", 6, "_EN"},
        {section + "\"Language\"=\"german\"", 3, "_EN"},
        {section + "\"Language\"=\"German" + std::string(30, ' ') + "\"", 3, "_EN"},
        {section + "\"Language\"=dword:00000001", 3, "_EN"},
        {section + "\"Language\"=\"\"", 3, "_EN"},
        {section, 3, "_EN"},
        {"", 3, "_EN"},
    };
    paltest::TempFolder folder;
    for (const auto& c : cases) {
        paltest::ScopedEnvironment registry("OL7T_REGISTRY_FILE", folder.write("registry.reg", c.registry));
        EXPECT_EQ(ReadLanguageIndex(), c.language) << c.registry;
        EXPECT_STREQ(DocumentationSuffix(ReadLanguageIndex()), c.suffix) << c.registry;
    }
    EXPECT_STREQ(DocumentationSuffix(0), "_EN");
    EXPECT_STREQ(DocumentationSuffix(99), "_EN");
}

} // namespace
