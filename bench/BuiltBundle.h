// The configuration an installed bundle would give the benchmarks: a
// registry file naming the built bundle's Contents folder, and messages on
// standard error rather than in a box.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

inline void useBuiltBundle()
{
    static const bool done = [] {
        const auto file = std::filesystem::temp_directory_path() / ("ol7t-bench-" + std::to_string(getpid()) + ".reg");
        std::ofstream(file) << "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0]\n"
                               "\"AppData Path\"=\"" OL7T_BUNDLE_DIR "/Contents/\"\n";
        setenv("OL7T_REGISTRY_FILE", file.c_str(), 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        return true;
    }();
    (void)done;
}
