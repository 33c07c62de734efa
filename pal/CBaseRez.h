// The table of a text-resource file: each key with its list of alternative
// texts, and the byte-by-byte reader of the file format.
#pragma once

#include <cstdint>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

namespace ZVNPal {

class CBaseRez {
public:
    using Alternatives = std::vector<std::string>;
    using Entries = std::map<std::string, Alternatives>;

    // The longest key and value (before it is cut into alternatives) that a
    // line may hold; a line with a longer one is skipped whole, so that a
    // shortened key can never stand for another.
    static constexpr size_t kMaxKeyBytes = 255;
    static constexpr size_t kMaxValueBytes = 1023;

    CBaseRez() = default;
    virtual ~CBaseRez() = default;

    bool IsLoaded() const { return m_bLoaded; }
    const Entries& GetEntries() const { return m_entries; }

protected:
    // Reads the file's bytes into the table: KEY,VALUE lines, ";" comment
    // lines, backslash escapes and "|" between alternatives; the first entry
    // of a key wins. 0 on success; 0x80004005 when the bytes end inside the
    // byte-order mark or right after a backslash of a value (the entries
    // before stay in the table).
    int32_t Parse(std::streambuf& bytes);

private:
    class Reader;

    bool m_bLoaded = false;
    Entries m_entries;
};

} // namespace ZVNPal
