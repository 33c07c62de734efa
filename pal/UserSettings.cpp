// The settings file: "Name=value" lines; lines it does not know are kept.
#include "pal/UserSettings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace ZVNPal {

namespace {

constexpr char kSizeKey[] = "EditorSize=";
constexpr std::size_t kMaxFileBytes = 64 * 1024;

std::string environmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    std::size_t bytes = 0;
    while (file && std::getline(file, line) && (bytes += line.size() + 1) <= kMaxFileBytes)
        lines.push_back(line);
    return lines;
}

bool isSizeLine(const std::string& line) { return line.rfind(kSizeKey, 0) == 0; }

} // namespace

std::string UserSettings::DefaultPath()
{
#ifdef _WIN32
    const std::string folder = environmentText("APPDATA");
    return folder.empty() ? std::string() : folder + "\\Marrowby\\editor.conf";
#else
    std::string configHome = environmentText("XDG_CONFIG_HOME");
    if (configHome.empty() && !environmentText("HOME").empty())
        configHome = environmentText("HOME") + "/.config";
    return configHome.empty() ? std::string() : configHome + "/marrowby/editor.conf";
#endif
}

int UserSettings::EditorSizePercent(int fallback) const
{
    if (m_sPath.empty())
        return fallback;
    for (const std::string& line : readLines(m_sPath)) {
        if (!isSizeLine(line))
            continue;
        const std::string value = line.substr(sizeof kSizeKey - 1);
        char* end = nullptr;
        const long percent = std::strtol(value.c_str(), &end, 10);
        if (!value.empty() && *end == '\0' && IsOfferedSize(static_cast<int>(percent)))
            return static_cast<int>(percent);
    }
    return fallback;
}

bool UserSettings::SetEditorSizePercent(int percent) const
{
    if (m_sPath.empty() || !IsOfferedSize(percent))
        return false;
    std::ostringstream text;
    for (const std::string& line : readLines(m_sPath))
        if (!isSizeLine(line))
            text << line << '\n';
    text << kSizeKey << percent << '\n';

    // Written beside the file and renamed over it, so a reader never sees half a file.
    const std::filesystem::path path(m_sPath);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const std::filesystem::path temporary = path.string() + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        if (!(file << text.str()) || !file.flush())
            return false;
    }
    std::filesystem::rename(temporary, path, error);
    if (!error)
        return true;
    std::filesystem::remove(temporary, error);
    return false;
}

} // namespace ZVNPal
