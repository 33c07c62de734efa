// Configuration values with their defaults, the folder resolution, the bundle
// folder of the library and the library's own version.
#include "pal/DebugTrace.h"
#include "pal/FileVersion.h"
#include "pal/Folders.h"
#include "pal/ModulePath.h"
#include "pal/PalTypes.h"
#include "pal/ZVNConfig.h"

#include "pal/PalTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

using namespace ZVNPal;

const char kProductSection[] = "[HKEY_LOCAL_MACHINE\\Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0]\n";

std::vector<std::string> g_lines;
void captureLine(const char* line) { g_lines.emplace_back(line); }

std::string missingLine(const std::string& name)
{
    return "unable to get value for key \"" + name + "\" in ZVNConfig; defaulting to hardcoded values...";
}

// Each test reads its own registry file and records the debug lines.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        SetDebugTraceSink(captureLine);
        ZVNConfig::Initialize("OL-7T Leveling Amplifier", "2.0");
        useRegistry("");
    }
    void TearDown() override { SetDebugTraceSink(nullptr); }

    void useRegistry(const std::string& text)
    {
        m_registry.emplace("OL7T_REGISTRY_FILE", m_folder.write("registry.reg", text));
    }

    paltest::TempFolder m_folder;
    std::optional<paltest::ScopedEnvironment> m_registry;
};

TEST_F(ConfigTest, InitializeBuildsTheKeyFromProductAndVersion)
{
    const struct {
        const char* product;
        const char* version;
        const char* key;
    } cases[] = {
        {"OL-7T Leveling Amplifier", "2.0", "Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0"},
        {"", "2.0", "Software\\Marrowby Music Software"},
        {"Product", "", "Software\\Marrowby Music Software\\Product"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZVNConfig::Initialize(c.product, c.version), kPalOk);
        EXPECT_EQ(ZVNConfig::GetKey(), c.key);
    }
}

TEST_F(ConfigTest, GetValueReadsStringsAndFallsBackForEverythingElse)
{
    useRegistry(std::string(kProductSection) + "\"UserData Path\"=\"/home/u/Music/\"\n\"Empty\"=\"\"\n"
                "\"Number\"=dword:00000001\n\"Log Path\"=dword:2\n");
    paltest::ScopedEnvironment drive("HOMEDRIVE", "/home");
    paltest::ScopedEnvironment home("HOMEPATH", "/u");
    const struct {
        const char* name;
        bool quiet;
        const char* value;
        bool reported;
    } cases[] = {
        {"UserData Path", false, "/home/u/Music/", false},
        {"Empty", false, "", false},
        {"Number", false, "", true}, // a number where a string is expected reads as missing
        {"Absent", false, "", true},
        {"Absent", true, "", false},
        {"Log Path", true, "/home/u/Documents/Marrowby/OL7T/Logs", false},
        {"%s%n%x", false, "", true}, // the name is text, never a format
    };
    for (const auto& c : cases) {
        g_lines.clear();
        EXPECT_EQ(ZVNConfig::GetValue(c.name, c.quiet), c.value) << c.name;
        EXPECT_EQ(g_lines, c.reported ? std::vector<std::string>{missingLine(c.name)} : std::vector<std::string>{})
            << c.name;
    }
}

TEST_F(ConfigTest, ReadStringFailsWithoutKeyOrValue)
{
    std::string value = "kept";
    EXPECT_EQ(ZVNConfig::ReadString("UserData Path", value), kPalFail); // no such key in the file
    ZVNConfig::Initialize("Other Product", "1.0");
    useRegistry(std::string(kProductSection) + "\"UserData Path\"=\"/x/\"\n");
    EXPECT_EQ(ZVNConfig::ReadString("UserData Path", value), kPalFail); // another product's key
    EXPECT_EQ(value, "kept");
}

TEST_F(ConfigTest, LogPathFallsBackToHomeWhenTheWindowsPairIsUnset)
{
    paltest::ScopedEnvironment drive("HOMEDRIVE", std::nullopt);
    paltest::ScopedEnvironment path("HOMEPATH", std::nullopt);
    paltest::ScopedEnvironment home("HOME", "/home/musician");
    EXPECT_EQ(ZVNConfig::GetValue("Log Path", true), "/home/musician/Documents/Marrowby/OL7T/Logs");
}

TEST_F(ConfigTest, AppDataPathDefaultsToTheBundleOfTheLibrary)
{
    const std::string contents = BundleContentsFolder(LoadedLibraryPath());
    ASSERT_FALSE(contents.empty());
    EXPECT_EQ(GetAppDataPath(), contents);
    EXPECT_EQ(GetInstancePath(), contents);
    EXPECT_TRUE(g_lines.empty());

    useRegistry(std::string(kProductSection) + "\"AppData Path\"=\"/opt/ol7t/\"\n");
    EXPECT_EQ(GetAppDataPath(), "/opt/ol7t/");
}

TEST(ModulePath, BundleContentsFolderIsTheParentOfTheLibraryFolder)
{
    const struct {
        const char* library;
        const char* contents;
    } cases[] = {
        {"/home/u/.vst3/OL-7T.vst3/Contents/x86_64-linux/OL-7T.so", "/home/u/.vst3/OL-7T.vst3/Contents/"},
        {"/b/c.so", "/"},
        {"/c.so", ""},
        {"c.so", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BundleContentsFolder(c.library), c.contents) << c.library;
}

TEST(ModulePath, LoadedLibraryIsTheFileHoldingThisCode)
{
    // The test links the layer statically, so its code lies in the test program.
    char program[PATH_MAX];
    ASSERT_NE(::realpath("/proc/self/exe", program), nullptr);
    EXPECT_EQ(LoadedLibraryPath(), program);
}

TEST_F(ConfigTest, ResolveFoldersUsesTheInstallationAndReportsThePaths)
{
    const std::string install = m_folder.makeFolder("install") + "/";
    m_folder.makeFolder("install/Resources");
    useRegistry(std::string(kProductSection) + "\"AppData Path\"=\"" + install + "\"\n");
    g_lines.clear();
    ResolveFolders();
    EXPECT_EQ(GetResourcesFolder(), install + "Resources");
    EXPECT_EQ(GetDocumentationFolder(), install + "Documentation/");
    const std::vector<std::string> expected{
        missingLine("UserData Path"),
        "strInstancePath = " + install + "\n",
        "strAppDataPath = " + install + "\n",
        "strUserDataPath = \n",
    };
    EXPECT_EQ(g_lines, expected);

    // A path without its trailing separator glues the folder names on.
    useRegistry(std::string(kProductSection) + "\"AppData Path\"=\"" + m_folder.path() + "Plugin\"\n");
    ResolveFolders();
    EXPECT_EQ(GetResourcesFolder(), m_folder.path() + "PluginResources");
    EXPECT_EQ(GetDocumentationFolder(), m_folder.path() + "PluginDocumentation/");
}

TEST_F(ConfigTest, DirectoryExistsOnlyForDirectories)
{
    const std::string folder = m_folder.makeFolder("present");
    const std::string file = m_folder.write("file.txt", "x");
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {folder, true}, {folder + "/", true}, {file, false}, {folder + "/absent", false}, {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectoryExists(c.path), c.exists) << c.path;
}

TEST(FileVersion, TheLibraryCarriesItsVersion)
{
    std::string version;
    EXPECT_TRUE(GetFileVersion(nullptr, version));
    EXPECT_EQ(version, "2.0.1.112");

    void* program = ::dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(program, nullptr);
    version.clear();
    EXPECT_TRUE(GetFileVersion(program, version));
    EXPECT_EQ(version, "2.0.1.112");
    ::dlclose(program);
}

TEST(FileVersion, FilesWithoutAVersionBlockGiveNothing)
{
    paltest::TempFolder folder;
    std::string elfHeaderOnly = "\x7F" "ELF\x02\x01\x01";
    elfHeaderOnly.resize(64, '\xFF');
    for (const std::string& path : {folder.write("text.so", "not a library"), folder.write("cut.so", elfHeaderOnly),
                                    folder.path() + "absent.so"}) {
        std::string version = "stale";
        EXPECT_FALSE(GetFileVersionOfFile(path, version)) << path;
        EXPECT_EQ(version, "") << path;
    }
}

} // namespace
