// The process's single text-resource table with its two lookups.
#pragma once

#include "pal/CBaseRez.h"

#include <string>
#include <string_view>

namespace ZVNPal {

class CTextRez : public CBaseRez {
public:
    // The single table, created empty and not loaded on first use.
    static CTextRez& Instance();
    // Destroys the single table; the next Instance creates a fresh one.
    static void ReleaseInstance();

    // Adds the entries of the file at `path` (read as raw bytes): 0 on
    // success, 0x80004005 when it cannot be opened or is cut inside the
    // byte-order mark or after a backslash.
    int32_t Load(const std::string& path);
    // The same for bytes already in memory.
    int32_t LoadBytes(std::string_view bytes);

    // The first alternative of `key` into `target`; false, leaving `target`
    // unchanged, when the key is absent.
    bool Lookup(const std::string& key, std::string& target) const;

    // The first alternative of `key`, or for an absent key the text
    // "<key> not found in text resource file!", valid until the next miss.
    const std::string& GetString(const std::string& key);

private:
    std::string m_missText;
};

} // namespace ZVNPal
