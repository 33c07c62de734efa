// Where each frame of a meter's strip differs from the meter's face: what a
// step of the needle between two frames repaints. Found from the strip's
// decoded pixels the first time any meter of the process reaches the frame,
// and kept for the life of the process, as the images are.
#pragma once

#include "pal/CPalRect.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace ZVNPal {
class CPalBitmap;
}

class guiNeedleAreas
{
public:
    // The areas of a strip of `frames` frames of width × height, shared by
    // every meter showing that picture; null when they cannot be known: a
    // strip that is not opaque, of fewer than three frames or too small for
    // them, or whose pixels the platform does not hand out.
    static guiNeedleAreas* of(const ZVNPal::CPalBitmap& strip, int32_t width, int32_t height, int32_t frames);

    // Where the frame differs from the face, in the frame's coordinates, empty
    // where it does not; false for a frame out of range. `strip` is the picture
    // the areas were made for.
    bool area(const ZVNPal::CPalBitmap& strip, int32_t frame, ZVNPal::CPalRect& result);

    guiNeedleAreas(int32_t width, int32_t height, int32_t frames);

private:
    bool findFace(const ZVNPal::CPalBitmap& strip);
    // A frame's first pixel, its rows `stride` words apart; null where the
    // platform does not hand the pixels out.
    const uint32_t* framePixels(const ZVNPal::CPalBitmap& strip, int32_t frame, int32_t& stride) const;
    ZVNPal::CPalRect differences(const uint32_t* pixels, int32_t stride) const;

    const int32_t width;
    const int32_t height;
    const int32_t frames;
    // The face's colours, rows top-down.
    std::vector<uint32_t> face;
    std::vector<ZVNPal::CPalRect> areas;
    std::vector<bool> found;
    // Editors of several effects may run on more than one thread.
    std::mutex guard;
};
