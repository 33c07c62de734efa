// Version information as a block of zero-terminated texts in an ELF section of
// the library: triples of language/code page, entry name and entry value.
#include "pal/FileVersion.h"


#include <cstring>
#include <elf.h>
#include <fstream>
#include <string_view>
#include <vector>

#ifndef OL7T_FILE_VERSION
#error "OL7T_FILE_VERSION must name the library's version"
#endif

namespace ZVNPal {
namespace {

constexpr char kVersionSectionName[] = ".ol7t_version";
constexpr size_t kMaxVersionBlock = 64 * 1024;
constexpr size_t kMaxEntryLength = 260;

// The block that this library carries. The section keeps it in the library
// file, where GetFileVersion finds it by name.
__attribute__((section(".ol7t_version"), used)) const char kVersionBlock[] =
    "040004e4\0FileVersion\0" OL7T_FILE_VERSION "\0"
    "040004e4\0ProductName\0OL-7T Leveling Amplifier\0"
    "040004e4\0CompanyName\0Marrowby Music Software\0";

bool readAt(std::ifstream& file, uint64_t offset, void* destination, size_t size)
{
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(static_cast<char*>(destination), static_cast<std::streamsize>(size));
    return static_cast<size_t>(file.gcount()) == size && file.good();
}

// The bytes of the named section of a 64-bit ELF file; empty when the file
// is no such file or lacks the section. Every offset is checked by the reads.
std::string readElfSection(const std::string& path, std::string_view sectionName)
{
    std::ifstream file(path, std::ios::binary);
    Elf64_Ehdr header{};
    if (!file || !readAt(file, 0, &header, sizeof header))
        return {};
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64
        || header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
        return {};
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!readAt(file, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr)))
        return {};
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > kMaxVersionBlock * 16)
        return {};
    std::string nameTable(names.sh_size, '\0');
    if (!readAt(file, names.sh_offset, nameTable.data(), nameTable.size()))
        return {};
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= nameTable.size() || nameTable.c_str() + section.sh_name != sectionName)
            continue;
        if (section.sh_type == SHT_NOBITS || section.sh_size > kMaxVersionBlock)
            return {};
        std::string bytes(section.sh_size, '\0');
        return readAt(file, section.sh_offset, bytes.data(), bytes.size()) ? bytes : std::string();
    }
    return {};
}

// The value of `entry` for `languageCodePage` in a version block.
std::string_view queryVersionBlock(std::string_view block, std::string_view languageCodePage, std::string_view entry)
{
    auto nextText = [&block]() {
        const size_t end = block.find('\0');
        const std::string_view text = block.substr(0, end);
        block.remove_prefix(end == std::string_view::npos ? block.size() : end + 1);
        return text;
    };
    while (!block.empty()) {
        const std::string_view language = nextText();
        const std::string_view name = nextText();
        const std::string_view value = nextText();
        if (language == languageCodePage && name == entry)
            return value;
    }
    return {};
}

} // namespace

bool GetFileVersionOfFile(const std::string& path, std::string& result)
{
    result.clear();
    const std::string block = readElfSection(path, kVersionSectionName);
    if (block.empty())
        return false;
    std::string_view version = queryVersionBlock(block, "000004b0", "FileVersion");
    if (version.empty())
        version = queryVersionBlock(block, "040004e4", "FileVersion");
    result.assign(version.substr(0, kMaxEntryLength));
    return !result.empty();
}

} // namespace ZVNPal
