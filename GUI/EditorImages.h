// The editor's images, shared by every open editor of the process: loaded in
// a fixed order from the Resources folder when the first editor opens and
// released when the last one closes.
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
    // Loads every image from `folder` (ending in "/"); one that cannot be
    // loaded is reported by the platform layer and stays empty.
    static void load(const std::string& folder);
    // Adds the twice-size pictures ("name@2x.ext") to the loaded images, once;
    // only editors shown at more than one pixel a unit need them.
    static void loadDetailed(const std::string& folder);
    static void release();
    static bool loaded() { return images[0] != nullptr; }
    // The image, or null when it is empty or not loaded.
    static ZVNPal::CPalBitmap* get(EditorImage image);

private:
    static std::array<std::unique_ptr<ZVNPal::CPalBitmap>, kImageCount> images;
    static bool detailedLoaded;
};
