// Every image of the Resources folder, rendered in memory under its file name,
// in the order the editor loads them, and written out as PNG or 24-bit BMP.
#pragma once

#include "Canvas.h"

#include <memory>
#include <string>
#include <vector>

enum class ImageFormat { Png, Bmp24 };

struct ArtworkImage
{
    std::string fileName;
    ImageFormat format;
    int frames;
    std::unique_ptr<Canvas> canvas;
};

class ArtworkSet
{
public:
    ArtworkSet();

    const std::vector<ArtworkImage>& images() const { return m_images; }
    // The image of that file name; a missing name is a programming error and aborts.
    const Canvas& image(const std::string& fileName) const;
    // Writes every image into `folder`; false when any file could not be written.
    bool writeAll(const std::string& folder) const;

private:
    void add(const std::string& fileName, ImageFormat format, int frames, std::unique_ptr<Canvas> canvas);

    std::vector<ArtworkImage> m_images;
};
