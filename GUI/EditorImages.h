// The editor's images, shared by every editor of the process: each one is
// decoded from the Resources folder when a panel first needs it and kept for
// the life of the process (the library is never unloaded), so opening an
// editor again, or another effect's, decodes nothing.
#pragma once

#include "pal/CPalBitmap.h"

#include <array>
#include <memory>
#include <string>

enum EditorImage : int {
    kImageCompactBackground,
    kImageFullBackground,
    kImageCompactMeter,
    kImageFullMeter,
    kImageSwitch,
    kImageSwitchWrite,
    kImageSwitchFocus,
    kImageCompactKnob,
    kImageCompactSelector,
    kImageFullKnob,
    kImageFullSelector,
    kImageCompactKnobFocus,
    kImageCompactKnobWrite,
    kImageScrew,
    kImageScrewFocus,
    kImageScrewWrite,
    kImageFullAbout,
    kImageCompactAbout,
    kImageCount
};

class EditorImages
{
public:
    // The longest folder or image path, in bytes.
    static constexpr size_t kMaxPath = 259;

    static const char* fileName(EditorImage image);
    // Where the images come from (ending in "/"): the Resources folder,
    // shared by every effect of the library. Another folder forgets the
    // images loaded so far.
    static void setFolder(const std::string& folder);
    // The image, loaded on first use; null when it cannot be loaded, which
    // the platform layer reports once.
    static ZVNPal::CPalBitmap* get(EditorImage image);
    // Adds the twice-size pictures ("name@2x.ext") to the images, once; only
    // editors shown at more than one pixel a unit need them.
    static void loadDetailed();

private:
    static std::string folder;
    static std::array<std::unique_ptr<ZVNPal::CPalBitmap>, kImageCount> images;
    static bool detailedLoaded;
};
