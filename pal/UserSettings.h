// The user's own settings of the editor (its size), kept in a small text file
// in the user's configuration folder. The file may be missing or damaged at any
// time: readers then get the defaults, never an error.
#pragma once

#include <string>
#include <utility>

namespace ZVNPal {

class UserSettings {
public:
    // $XDG_CONFIG_HOME/marrowby/editor.conf (~/.config when unset); on Windows
    // the user's application-data folder. Empty when no folder is known.
    static std::string DefaultPath();

    explicit UserSettings(std::string path = DefaultPath()) : m_sPath(std::move(path)) {}

    // The editor size in percent; `fallback` when the file does not hold one
    // of the offered sizes.
    int EditorSizePercent(int fallback) const;
    // Writes the size, keeping the file's other lines; false when it cannot.
    bool SetEditorSizePercent(int percent) const;

    static bool IsOfferedSize(int percent) { return percent == 100 || percent == 150 || percent == 200; }

private:
    std::string m_sPath;
};

} // namespace ZVNPal
