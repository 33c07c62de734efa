// The process-wide text strings that every user-visible word comes from,
// the step that fills them from the text-resource file, and the user's
// language.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace ZVNPal {

// The keys of the process-wide strings, in the order the loading step reads them.
std::span<const char* const> TextStringKeys();

// The process-wide string of `key`: empty until the loading step fills it
// (and for a key that is not one of TextStringKeys). It stays valid, and
// keeps its value, until the library is unloaded.
const std::string& TextString(std::string_view key);

// The loading step of the first effect object's initialisation: reads
// "TextResources.mbres" from the Resources folder (appending the separator
// to that folder's string) into the process-wide strings. On failure shows
// the fatal message box and returns false. A key the file lacks leaves its
// string as it was.
bool LoadTextResources();

// The language index from the registry's "Language" value: 1 German,
// 2 French, 3 English (also for anything unrecognised or absent), 4 Japanese,
// 5 Spanish, 6 Italian. Reads the registry on every call; the effect keeps
// the first answer.
int ReadLanguageIndex();

// "_DE", "_FR", "_JA" for languages 1, 2 and 4; "_EN" for every other index.
const char* DocumentationSuffix(int language);

} // namespace ZVNPal
