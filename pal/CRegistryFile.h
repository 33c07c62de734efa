// The read-only configuration store of the Linux build: a registry file in the
// ".reg" text format, whose string and number values keep their types.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace ZVNPal {

// One value as the registry holds it: its type and its raw data bytes (a
// string's text followed by one zero byte; a number's four bytes, lowest
// first).
struct RegistryValue {
    enum Type : uint32_t { kString = 1, kNumber = 4 }; // REG_SZ, REG_DWORD
    Type type = kString;
    std::string data;

    // Reads the data into a 32-bit number through a buffer of exactly four
    // bytes, whatever the type: false when the data does not fit. The text "0"
    // so reads as 48, and an empty text as 0.
    bool ReadAsFourBytes(uint32_t& number) const;
};

class CRegistryFile {
public:
    // Adds the sections and values of a ".reg" text. Lines that do not parse
    // are skipped; a later value of the same name replaces an earlier one.
    void Parse(std::string_view text);

    // Parses the file at `path`; false when it cannot be read.
    bool LoadFile(const std::string& path);

    // Key paths are below HKEY_LOCAL_MACHINE ("Software\\Maker\\Product"),
    // compared without regard to case or a trailing backslash, as the
    // registry does.
    bool HasKey(std::string_view keyPath) const;
    const RegistryValue* Find(std::string_view keyPath, std::string_view valueName) const;

    // The file the plug-in reads: the first existing of $OL7T_REGISTRY_FILE,
    // $XDG_CONFIG_HOME/marrowby/registry.reg (~/.config when unset) and
    // /etc/marrowby/registry.reg; empty when there is none.
    static std::string LocateSystemFile();

    // The store as it is on disk now: the located file parsed, or empty.
    static CRegistryFile LoadSystem();

private:
    using ValueMap = std::map<std::string, RegistryValue>; // lower-case name → value
    std::map<std::string, ValueMap> m_keys;                 // lower-case key path → values
};

} // namespace ZVNPal
