// The single text-resource table: loading from a file or from memory, and
// the lookups of the first alternative of a key.
#include "pal/CTextRez.h"

#include "pal/PalTypes.h"

#include <filesystem>
#include <fstream>
#include <memory>

namespace ZVNPal {
namespace {

std::unique_ptr<CTextRez> g_instance;

// Hands bytes in memory to the reader without copying them.
class MemoryBytes : public std::streambuf {
public:
    explicit MemoryBytes(std::string_view bytes)
    {
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }
};

} // namespace

CTextRez& CTextRez::Instance()
{
    if (!g_instance)
        g_instance = std::make_unique<CTextRez>();
    return *g_instance;
}

void CTextRez::ReleaseInstance()
{
    g_instance.reset();
}

int32_t CTextRez::Load(const std::string& path)
{
    // The path is UTF-8 whatever the system's code page. A directory opens on
    // Linux but has no bytes to give.
    const std::filesystem::path native(std::u8string(path.begin(), path.end()));
    std::error_code ignored;
    std::filebuf file;
    if (std::filesystem::is_directory(native, ignored) || !file.open(native, std::ios::in | std::ios::binary))
        return kPalFail;
    return Parse(file);
}

int32_t CTextRez::LoadBytes(std::string_view bytes)
{
    MemoryBytes memory(bytes);
    return Parse(memory);
}

bool CTextRez::Lookup(const std::string& key, std::string& target) const
{
    const auto entry = GetEntries().find(key);
    if (entry == GetEntries().end() || entry->second.empty())
        return false;
    target = entry->second.front();
    return true;
}

const std::string& CTextRez::GetString(const std::string& key)
{
    const auto entry = GetEntries().find(key);
    if (entry != GetEntries().end() && !entry->second.empty())
        return entry->second.front();
    m_missText = key + " not found in text resource file!";
    return m_missText;
}

} // namespace ZVNPal
