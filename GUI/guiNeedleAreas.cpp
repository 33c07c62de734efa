// The needle's areas, one set per strip picture of the process.
#include "GUI/guiNeedleAreas.h"

#include "pal/CPalBitmap.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace {

// The strips are opaque: their pixels are compared by colour alone.
constexpr uint32_t kColour = 0x00FFFFFFu;

} // namespace

guiNeedleAreas::guiNeedleAreas(int32_t width_, int32_t height_, int32_t frames_)
    : width(width_)
    , height(height_)
    , frames(frames_)
{
}

guiNeedleAreas* guiNeedleAreas::of(const ZVNPal::CPalBitmap& strip, int32_t width, int32_t height, int32_t frames)
{
    // Keyed by the picture's serial, not its address: a picture freed and
    // another loaded in its place must not inherit its areas.
    using Key = std::tuple<uint64_t, int32_t, int32_t, int32_t>;
    static std::mutex registryGuard;
    static std::map<Key, std::unique_ptr<guiNeedleAreas>> registry;
    const std::lock_guard<std::mutex> hold(registryGuard);
    const auto [at, added] = registry.try_emplace(Key(strip.Serial(), width, height, frames));
    if (added) {
        auto areas = std::make_unique<guiNeedleAreas>(width, height, frames);
        // Unknowable areas are remembered as such: the face is sought once.
        if (areas->findFace(strip))
            at->second = std::move(areas);
    }
    return at->second.get();
}

const uint32_t* guiNeedleAreas::framePixels(const ZVNPal::CPalBitmap& strip, int32_t frame, int32_t& stride) const
{
    const uint32_t* pixels = strip.DecodedPixels(stride);
    return pixels ? pixels + size_t(frame) * size_t(height) * size_t(stride) : nullptr;
}

bool guiNeedleAreas::findFace(const ZVNPal::CPalBitmap& strip)
{
    if (!strip.IsOpaque() || frames < 3 || width <= 0 || height <= 0 || strip.Width() < width ||
        int64_t(strip.Height()) < int64_t(height) * frames)
        return false;
    // Read where the decoded strip lies, not drawn and read back: that cost
    // more than the needle's steps of a whole session.
    int32_t stride = 0;
    const uint32_t* first = framePixels(strip, 0, stride);
    if (!first)
        return false;
    const uint32_t* middle = framePixels(strip, frames / 2, stride);
    const uint32_t* last = framePixels(strip, frames - 1, stride);
    // At each pixel, what two of the first, middle and last frames show
    // there. Any face keeps the step areas right (a pixel that differs
    // between two frames differs from the face in one of them); this one
    // keeps them small.
    face.resize(size_t(width) * size_t(height));
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column) {
            const size_t at = size_t(row) * size_t(stride) + size_t(column);
            const uint32_t a = first[at] & kColour, b = middle[at] & kColour;
            face[size_t(row) * size_t(width) + size_t(column)] = a != b && a != (last[at] & kColour) ? b : a;
        }
    areas.assign(size_t(frames), ZVNPal::CPalRect());
    found.assign(size_t(frames), false);
    return true;
}

ZVNPal::CPalRect guiNeedleAreas::differences(const uint32_t* pixels, int32_t stride) const
{
    int32_t left = width, right = -1, top = height, bottom = -1;
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column)
            if ((pixels[size_t(row) * size_t(stride) + size_t(column)] & kColour) !=
                face[size_t(row) * size_t(width) + size_t(column)]) {
                left = std::min(left, column);
                right = std::max(right, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    return right < 0 ? ZVNPal::CPalRect() : ZVNPal::CPalRect(left, top, right - left + 1, bottom - top + 1);
}

bool guiNeedleAreas::area(const ZVNPal::CPalBitmap& strip, int32_t frame, ZVNPal::CPalRect& result)
{
    if (frame < 0 || frame >= frames)
        return false;
    const std::lock_guard<std::mutex> hold(guard);
    if (!found[size_t(frame)]) {
        int32_t stride = 0;
        const uint32_t* pixels = framePixels(strip, frame, stride);
        if (!pixels)
            return false;
        areas[size_t(frame)] = differences(pixels, stride);
        found[size_t(frame)] = true;
    }
    result = areas[size_t(frame)];
    return true;
}
