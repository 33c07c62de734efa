// The configuration of the Windows build over the real registry: values
// written with the system's own "reg add", read back as the plug-in reads
// them; Windows paths and the library's version resource.
#include "pal/DebugTrace.h"
#include "pal/FileVersion.h"
#include "pal/ModulePath.h"
#include "pal/SystemRegistry.h"
#include "pal/TextStrings.h"
#include "pal/ZVNConfig.h"

#include "pal/PalTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace ZVNPal;

const char kProductKey[] = "Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0";

std::vector<std::string> g_lines;
void captureLine(const char* line) { g_lines.emplace_back(line); }

// The product's key, emptied before and removed after each test.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        removeKey();
        g_lines.clear();
        SetDebugTraceSink(captureLine);
        ZVNConfig::Initialize("OL-7T Leveling Amplifier", "2.0");
    }
    void TearDown() override
    {
        SetDebugTraceSink(nullptr);
        removeKey();
    }

    static void add(const std::string& name, const std::string& type, const std::string& data)
    {
        const std::string command = std::string("reg add \"HKLM\\") + kProductKey + "\" /v \"" + name + "\" /t " + type
            + " /d \"" + data + "\" /f >nul 2>nul";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static void removeKey()
    {
        std::system((std::string("reg delete \"HKLM\\") + kProductKey + "\" /f >nul 2>nul").c_str());
    }
};

TEST_F(RegistryTest, GetValueReadsStringsAndTreatsEverythingElseAsMissing)
{
    add("UserData Path", "REG_SZ", "D:\\Music");
    add("Empty", "REG_SZ", "");
    add("Number", "REG_DWORD", "1");
    const struct {
        const char* name;
        const char* value;
        bool reported;
    } cases[] = {
        {"UserData Path", "D:\\Music", false},
        {"Empty", "", false}, // its terminator gives it a size: read, not reported
        {"Number", "", true},
        {"Absent", "", true},
    };
    for (const auto& c : cases) {
        g_lines.clear();
        EXPECT_EQ(ZVNConfig::GetValue(c.name, false), c.value) << c.name;
        EXPECT_EQ(g_lines.size(), c.reported ? 1u : 0u) << c.name;
    }
}

TEST_F(RegistryTest, LanguageComesFromTheKeyWithItsTrailingSeparator)
{
    const struct {
        const char* type;
        const char* data;
        int language;
        const char* suffix;
    } cases[] = {
        {"REG_SZ", "German", 1, "_DE"},
        {"REG_SZ", "Japanese", 4, "_JA"},
        {"REG_SZ", "Italian", 6, "_EN"},
        {"REG_SZ", "german", 3, "_EN"},
        {"REG_SZ", "A language name far longer than the room", 3, "_EN"},
        {"REG_DWORD", "1", 3, "_EN"},
    };
    EXPECT_EQ(ReadLanguageIndex(), 3); // no key at all
    for (const auto& c : cases) {
        add("Language", c.type, c.data);
        EXPECT_EQ(ReadLanguageIndex(), c.language) << c.data;
        EXPECT_STREQ(DocumentationSuffix(ReadLanguageIndex()), c.suffix) << c.data;
    }
}

TEST_F(RegistryTest, CompatibilityValueIsReadThroughFourBytesWhateverItsType)
{
    const struct {
        const char* type;
        const char* data;
        bool read;
        uint32_t number;
    } cases[] = {
        {"REG_DWORD", "0", true, 0},
        {"REG_DWORD", "1", true, 1},
        {"REG_SZ", "0", true, 48}, // the character code, then zero bytes
        {"REG_SZ", "", true, 0},
        {"REG_SZ", "long text", false, 0}, // does not fit four bytes
        {"REG_QWORD", "0", false, 0},
    };
    uint32_t number = 7;
    EXPECT_FALSE(ReadRegistryFourBytes(kProductKey, "SV7TCompatabilityMode", number));
    for (const auto& c : cases) {
        add("SV7TCompatabilityMode", c.type, c.data);
        number = 7;
        EXPECT_EQ(ReadRegistryFourBytes(kProductKey, "SV7TCompatabilityMode", number), c.read) << c.type << c.data;
        if (c.read) {
            EXPECT_EQ(number, c.number) << c.type << c.data;
        }
    }
}

TEST(WindowsPaths, LogPathAndBundleFolderUseBackslashes)
{
    paltest::ScopedEnvironment drive("HOMEDRIVE", "C:");
    paltest::ScopedEnvironment path("HOMEPATH", "\\users\\musician");
    ZVNConfig::Initialize("OL-7T Leveling Amplifier", "2.0");
    EXPECT_EQ(ZVNConfig::GetValue("Log Path", true), "C:\\users\\musician\\Documents\\Marrowby\\OL7T\\Logs");
    EXPECT_EQ(BundleContentsFolder("C:\\Plug-ins\\OL-7T.vst3\\Contents\\x86_64-win\\OL-7T.vst3"),
              "C:\\Plug-ins\\OL-7T.vst3\\Contents\\");
}

TEST(WindowsFileVersion, ComesFromTheLibrarysVersionResource)
{
    std::string version = "stale";
    EXPECT_TRUE(GetFileVersionOfFile(OL7T_BUNDLE_DIR "/Contents/x86_64-win/OL-7T.vst3", version));
    EXPECT_EQ(version, "2.0.1.112");
    EXPECT_FALSE(GetFileVersion(nullptr, version)); // this test program carries no version block
    EXPECT_EQ(version, "");
}

} // namespace
