// Helpers of the platform-layer tests: temporary folders and files, and
// environment variables set for the length of one test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <random>
#include <string_view>

namespace paltest {

// Sets (or, with nullopt, unsets) a variable and restores it at scope end.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_previous = old;
        apply(value);
    }
    ~ScopedEnvironment() { apply(m_previous); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void apply(const std::optional<std::string>& value)
    {
#ifdef _WIN32
        // An empty value removes the variable on Windows.
        ::_putenv_s(m_name.c_str(), value ? value->c_str() : "");
#else
        if (value)
            ::setenv(m_name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
#endif
    }
    std::string m_name;
    std::optional<std::string> m_previous;
};

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() / ("ol7t-pal-" + std::to_string(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec))
                m_path = candidate.string();
        }
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing separator, the way folder strings are kept.
    std::string path() const { return m_path + static_cast<char>(std::filesystem::path::preferred_separator); }

    // Names are UTF-8, as the plug-in's paths are.
    std::string write(const std::string& name, std::string_view bytes) const
    {
        const std::string file = path() + name;
        const std::filesystem::path native(std::u8string(file.begin(), file.end()));
        std::filesystem::create_directories(native.parent_path());
        std::ofstream(native, std::ios::binary) << bytes;
        return file;
    }

    std::string makeFolder(const std::string& name) const
    {
        std::filesystem::create_directories(path() + name);
        return path() + name;
    }

private:
    std::string m_path;
};

} // namespace paltest
