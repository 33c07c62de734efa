// Fills the process-wide text strings from the text-resource file and reads
// the user's language from the registry.
#include "pal/TextStrings.h"

#include "pal/CTextRez.h"
#include "pal/Folders.h"
#include "pal/MessageBox.h"
#include "pal/PalTypes.h"
#include "pal/ProductKey.h"
#include "pal/SystemRegistry.h"
#include "pal/ZVNConfig.h"

#include <array>
#include <iterator>

namespace ZVNPal {
namespace {

constexpr const char* kKeys[] = {
    "IDS_OL7T_DESC",
    "IDS_PARAM_ENABLE",
    "IDS_PARAM_GAIN",
    "IDS_PARAM_PEAKRED",
    "IDS_PARAM_LIMITMODE",
    "IDS_PARAM_METERSEL",
    "IDS_PARAM_R37",
    "IDS_PARAM_MEMORY",
    "IDS_PARAM_SIDECH",
    "IDS_ENABLE_ON",
    "IDS_ENABLE_OFF",
    "IDS_LIMITMODE_LIMIT",
    "IDS_LIMITMODE_COMPRESS",
    "IDS_METERSEL_GAINRED",
    "IDS_METERSEL_DBFULLSCALE",
    "IDS_METERSEL_OUTPUT4DB",
    "IDS_METERSEL_OUTPUT10DB",
    "IDS_MEMORY_FASTRESET",
    "IDS_MEMORY_CLASSIC",
    "IDS_OPT_SIDECH",
    "IDS_OPT_DOC",
    "IDS_OPT_ABOUT",
    "IDS_ABOUT_VERSION",
    "IDS_ABOUT_COPYRIGHT",
    "IDS_BITMAP_NOT_FOUND_TITLE",
    "IDS_BITMAP_NOT_FOUND_MESSAGE",
};
constexpr size_t kKeyCount = std::size(kKeys);

// Function-local so that the strings exist before any static initialiser
// of another file can ask for them.
std::array<std::string, kKeyCount>& strings()
{
    static std::array<std::string, kKeyCount> values;
    return values;
}

const char kResourceFileName[] = "TextResources.mbres";
const char kNoResourcesFolder[] = "Sorry, a fatal error occurred:\n\nFailed to locate resources folder.";
const char kNoResourceFile[] = "Sorry, a fatal error occurred:\n\nFailed to load text resource file.";

const char kLanguageValue[] = "Language";
constexpr size_t kLanguageRoom = 24; // characters; a longer value is not a language we know
constexpr int kEnglish = 3;

void showFatal(const char* text)
{
    MessageBox(0, kProductName, text, kMessageBoxOk, kMessageBoxIconStop, 0);
}

int languageFromName(const std::string& name)
{
    static const struct { const char* name; int index; } kLanguages[] = {
        {"German", 1}, {"French", 2}, {"Japanese", 4}, {"Spanish", 5}, {"Italian", 6},
    };
    for (const auto& language : kLanguages) {
        if (name == language.name)
            return language.index;
    }
    return kEnglish;
}

} // namespace

std::span<const char* const> TextStringKeys()
{
    return kKeys;
}

const std::string& TextString(std::string_view key)
{
    static const std::string empty;
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (key == kKeys[i])
            return strings()[i];
    }
    return empty;
}

bool LoadTextResources()
{
    if (!DirectoryExists(GetResourcesFolder())) {
        showFatal(kNoResourcesFolder);
        return false;
    }
    SetResourcesFolder(GetResourcesFolder() + kPathSeparator);
    CTextRez& table = CTextRez::Instance();
    if (table.Load(GetResourcesFolder() + kResourceFileName) != kPalOk) {
        CTextRez::ReleaseInstance();
        showFatal(kNoResourceFile);
        return false;
    }
    for (size_t i = 0; i < kKeyCount; ++i)
        table.Lookup(kKeys[i], strings()[i]);
    CTextRez::ReleaseInstance();
    return true;
}

int ReadLanguageIndex()
{
    // The language is read from its own key path, which ends in a separator.
    const std::string key = ZVNConfig::KeyOf(kProductName, kProductVersion) + "\\";
    std::string name;
    if (ReadRegistryString(key, kLanguageValue, name) != kPalOk || name.size() > kLanguageRoom)
        return kEnglish;
    return languageFromName(name);
}

const char* DocumentationSuffix(int language)
{
    switch (language) {
    case 1: return "_DE";
    case 2: return "_FR";
    case 4: return "_JA";
    default: return "_EN";
    }
}

} // namespace ZVNPal
