// The ".reg" reader: sections, typed values, escapes, line ends, and lines
// that are skipped rather than fatal.
#include "pal/CRegistryFile.h"

#include "pal/PalTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ZVNPal::CRegistryFile;
using ZVNPal::RegistryValue;

constexpr const char* kKey = "Software\\Maker\\Product\\2.0";

// "S:text" for a string value, "N:<number>" for a dword, "-" when absent.
std::string describe(const CRegistryFile& store, const std::string& key, const std::string& name)
{
    const RegistryValue* value = store.Find(key, name);
    if (!value)
        return "-";
    if (value->type == RegistryValue::kString)
        return "S:" + std::string(value->data.c_str());
    uint32_t number = 0;
    value->ReadAsFourBytes(number);
    return "N:" + std::to_string(number);
}

TEST(RegistryFile, ReadsTypedValuesAndSkipsMalformedLines)
{
    CRegistryFile store;
    store.Parse("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                "\r\n"
                "; a comment\r\n"
                "[HKEY_LOCAL_MACHINE\\Software\\Maker\\Product\\2.0]\r\n"
                "\"AppData Path\"=\"C:\\\\Program Files\\\\Maker\\\\\"\r\n"
                "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
                "\"Number\"=dword:0000002a\r\n"
                "\"Empty\"=\"\"\n"
                "  \"Indented\" = \"yes\" ; trailing comment\n"
                "\"Unterminated\"=\"text\n"
                "\"NoEquals\" \"x\"\n"
                "\"Wide\"=dword:123456789\n"
                "\"BadHex\"=dword:12zz\n"
                "\"Binary\"=hex:01,02\n"
                "\"Junk\"=\"a\" b\n"
                "@=\"default\"\n"
                "\"Last\"=\"no line break\"");
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"AppData Path", "S:C:\\Program Files\\Maker\\"},
        {"appdata path", "S:C:\\Program Files\\Maker\\"}, // names ignore case
        {"Quoted", "S:say \"hi\""},
        {"Number", "N:42"},
        {"Empty", "S:"},
        {"Indented", "S:yes"},
        {"Unterminated", "-"},
        {"NoEquals", "-"},
        {"Wide", "-"},
        {"BadHex", "-"},
        {"Binary", "-"},
        {"Junk", "-"},
        {"", "S:default"},
        {"Last", "S:no line break"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(store, kKey, c.name), c.expected) << c.name;
}

TEST(RegistryFile, OnlyMachineSectionsAreKeysAndBrokenHeadersEndASection)
{
    CRegistryFile store;
    store.Parse("\"Orphan\"=\"before any section\"\n"
                "[HKEY_CURRENT_USER\\Software\\Maker]\n"
                "\"User\"=\"x\"\n"
                "[HKEY_LOCAL_MACHINE\\Software\\Maker\\Product\\2.0]\n"
                "\"A\"=\"1\"\n"
                "[HKEY_LOCAL_MACHINE\\Software\\Broken\n"
                "\"B\"=\"2\"\n"
                "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\n"
                "\"C\"=\"3\"\n"
                "[hklm\\software\\maker\\product\\2.0]\n"
                "\"A\"=\"replaced\"\n");
    EXPECT_TRUE(store.HasKey(kKey));
    EXPECT_TRUE(store.HasKey("SOFTWARE\\MAKER\\PRODUCT\\2.0\\")); // case and trailing separator ignored
    EXPECT_FALSE(store.HasKey("Software\\Maker"));
    EXPECT_FALSE(store.HasKey("Software\\Gone"));
    EXPECT_EQ(describe(store, kKey, "A"), "S:replaced");
    EXPECT_EQ(describe(store, kKey, "B"), "-");
    EXPECT_EQ(describe(store, kKey, "C"), "-");
    EXPECT_EQ(describe(store, kKey, "Orphan"), "-");
}

TEST(RegistryFile, FourByteReadFollowsTheStoredBytes)
{
    CRegistryFile store;
    store.Parse("[HKEY_LOCAL_MACHINE\\K]\n\"Zero\"=dword:00000000\n\"One\"=dword:1\n"
                "\"TextZero\"=\"0\"\n\"TextEmpty\"=\"\"\n\"TextLong\"=\"0000\"\n");
    const struct {
        const char* name;
        bool fits;
        uint32_t number;
    } cases[] = {
        {"Zero", true, 0}, {"One", true, 1}, {"TextZero", true, 48}, {"TextEmpty", true, 0}, {"TextLong", false, 0},
    };
    for (const auto& c : cases) {
        const RegistryValue* value = store.Find("K", c.name);
        ASSERT_NE(value, nullptr) << c.name;
        uint32_t number = 0;
        EXPECT_EQ(value->ReadAsFourBytes(number), c.fits) << c.name;
        if (c.fits) {
            EXPECT_EQ(number, c.number) << c.name;
        }
    }
}

TEST(RegistryFile, SystemFileFollowsTheSearchOrder)
{
    paltest::TempFolder folder;
    const std::string xdgFile = folder.write("config/marrowby/registry.reg", "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"xdg\"\n");
    const std::string ownFile = folder.write("own.reg", "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"own\"\n");
    paltest::ScopedEnvironment xdg("XDG_CONFIG_HOME", folder.path() + "config");
    {
        paltest::ScopedEnvironment own("OL7T_REGISTRY_FILE", ownFile);
        EXPECT_EQ(CRegistryFile::LocateSystemFile(), ownFile);
        EXPECT_EQ(describe(CRegistryFile::LoadSystem(), "K", "V"), "S:own");
    }
    paltest::ScopedEnvironment missing("OL7T_REGISTRY_FILE", folder.path() + "absent.reg");
    EXPECT_EQ(CRegistryFile::LocateSystemFile(), xdgFile);
    EXPECT_EQ(describe(CRegistryFile::LoadSystem(), "K", "V"), "S:xdg");
}

TEST(RegistryFile, HostileTextNeverCrashes)
{
    CRegistryFile store;
    const std::string huge(1 << 20, '"');
    store.Parse("[HKEY_LOCAL_MACHINE\\K]\n\"" + std::string(100000, 'n') + "\"=\"" + std::string(100000, 'v') + "\"\n");
    store.Parse("[HKEY_LOCAL_MACHINE\\K]\n" + huge + "\n\"x\\");
    store.Parse(std::string("[\0]\n\"\0\"=\"\0\"", 12));
    EXPECT_EQ(describe(store, "K", std::string(100000, 'n')).size(), 100002u);
}

} // namespace
