// The ".reg" reader behind the configuration: sections of HKEY_LOCAL_MACHINE,
// quoted string values and dword values; everything else is skipped.
#include "pal/CRegistryFile.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/stat.h>

namespace ZVNPal {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = lowerAscii(c);
    return result;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimFront(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// The part of a line after a value that may follow it: blanks and a comment.
bool onlyTrailingComment(std::string_view rest)
{
    rest = trimFront(rest);
    return rest.empty() || rest.front() == ';';
}

// The lookup form of a key path: lower case, no trailing backslash.
std::string normalizeKeyPath(std::string_view path)
{
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return lowerCase(path);
}

// "[HKEY_LOCAL_MACHINE\Software\...]" → "software\...". Sections of other
// hives and deletion sections ("[-...]") give nothing.
std::optional<std::string> machineSubKey(std::string_view section)
{
    for (std::string_view hive : {std::string_view("hkey_local_machine"), std::string_view("hklm")}) {
        const std::string lowered = lowerCase(section.substr(0, hive.size()));
        if (lowered != hive)
            continue;
        std::string_view rest = section.substr(hive.size());
        if (rest.empty())
            return std::string();
        if (rest.front() == '\\')
            return normalizeKeyPath(rest.substr(1));
    }
    return std::nullopt;
}

// Reads a quoted text that starts at `text[0]` == '"', undoing the \\ and \"
// escapes; advances `text` past the closing quote. Nothing without one.
std::optional<std::string> readQuoted(std::string_view& text)
{
    std::string result;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        result.push_back(text[i]);
    }
    return std::nullopt;
}

std::optional<uint32_t> readDword(std::string_view text)
{
    size_t digits = 0;
    uint32_t number = 0;
    for (; digits < text.size(); ++digits) {
        const char c = lowerAscii(text[digits]);
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else
            break;
        if (digits == 8)
            return std::nullopt; // more than 32 bits
        number = (number << 4) | static_cast<uint32_t>(nibble);
    }
    if (digits == 0 || !onlyTrailingComment(text.substr(digits)))
        return std::nullopt;
    return number;
}

// `"Name"="text"`, `"Name"=dword:0000002a`, or `@=` for the unnamed value.
std::optional<std::pair<std::string, RegistryValue>> parseValueLine(std::string_view line)
{
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto quotedName = readQuoted(line);
        if (!quotedName)
            return std::nullopt;
        name = std::move(*quotedName);
    }
    line = trimFront(line);
    if (line.empty() || line.front() != '=')
        return std::nullopt;
    line = trimFront(line.substr(1));

    RegistryValue value;
    if (!line.empty() && line.front() == '"') {
        auto text = readQuoted(line);
        if (!text || !onlyTrailingComment(line))
            return std::nullopt;
        value.type = RegistryValue::kString;
        value.data = std::move(*text);
        value.data.push_back('\0');
    } else {
        constexpr std::string_view kDwordPrefix = "dword:";
        if (lowerCase(line.substr(0, kDwordPrefix.size())) != kDwordPrefix)
            return std::nullopt;
        const auto number = readDword(line.substr(kDwordPrefix.size()));
        if (!number)
            return std::nullopt;
        value.type = RegistryValue::kNumber;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<char>((*number >> shift) & 0xFF));
    }
    return std::make_pair(lowerCase(name), std::move(value));
}

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string environmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

bool RegistryValue::ReadAsFourBytes(uint32_t& number) const
{
    if (data.size() > sizeof number)
        return false;
    unsigned char buffer[sizeof number] = {};
    std::memcpy(buffer, data.data(), data.size());
    number = static_cast<uint32_t>(buffer[0]) | static_cast<uint32_t>(buffer[1]) << 8
        | static_cast<uint32_t>(buffer[2]) << 16 | static_cast<uint32_t>(buffer[3]) << 24;
    return true;
}

void CRegistryFile::Parse(std::string_view text)
{
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    ValueMap* section = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimFront(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            // A broken header must not let the next values land in the previous section.
            section = nullptr;
            const size_t close = line.rfind(']');
            if (close == std::string_view::npos)
                continue;
            if (auto key = machineSubKey(line.substr(1, close - 1)))
                section = &m_keys[*key];
            continue;
        }
        if (!section || (line.front() != '"' && line.front() != '@'))
            continue;
        if (auto value = parseValueLine(line))
            (*section)[value->first] = std::move(value->second);
    }
}

bool CRegistryFile::LoadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Parse(text);
    return true;
}

bool CRegistryFile::HasKey(std::string_view keyPath) const
{
    return m_keys.count(normalizeKeyPath(keyPath)) != 0;
}

const RegistryValue* CRegistryFile::Find(std::string_view keyPath, std::string_view valueName) const
{
    const auto key = m_keys.find(normalizeKeyPath(keyPath));
    if (key == m_keys.end())
        return nullptr;
    const auto value = key->second.find(lowerCase(valueName));
    return value == key->second.end() ? nullptr : &value->second;
}

std::string CRegistryFile::LocateSystemFile()
{
    std::string configHome = environmentText("XDG_CONFIG_HOME");
    if (configHome.empty() && !environmentText("HOME").empty())
        configHome = environmentText("HOME") + "/.config";
    const std::string candidates[] = {
        environmentText("OL7T_REGISTRY_FILE"),
        configHome.empty() ? std::string() : configHome + "/marrowby/registry.reg",
        "/etc/marrowby/registry.reg",
    };
    for (const std::string& candidate : candidates) {
        if (isRegularFile(candidate))
            return candidate;
    }
    return {};
}

CRegistryFile CRegistryFile::LoadSystem()
{
    CRegistryFile store;
    const std::string path = LocateSystemFile();
    if (!path.empty())
        store.LoadFile(path);
    return store;
}

} // namespace ZVNPal
