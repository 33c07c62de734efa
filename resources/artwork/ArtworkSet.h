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
    // The set at `scale` pixels per unit; its files carry "@2x" (for a
    // scale of 2) before the extension, those at 1 none.
    explicit ArtworkSet(double scale = 1.0);

    // "name@2x.png" for "name.png" at a scale of 2.
    static std::string scaledFileName(const std::string& fileName, double scale);

    const std::vector<ArtworkImage>& images() const { return m_images; }
    // The image of that file name; a missing name is a programming error and aborts.
    const Canvas& image(const std::string& fileName) const;
    // Writes every image into `folder`; false when any file could not be written.
    bool writeAll(const std::string& folder) const;

private:
    void add(const std::string& fileName, ImageFormat format, int frames, std::unique_ptr<Canvas> canvas);

    std::vector<ArtworkImage> m_images;
    double m_scale;
};
