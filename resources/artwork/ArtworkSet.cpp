// Renders the image set; the channel-strip thumbnails are made last because they
// show the compact panel put together from the other images.
#include "ArtworkSet.h"

#include "ControlArtwork.h"
#include "PanelArtwork.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

ArtworkSet::ArtworkSet(double scale) : m_scale(scale)
{
    const Canvas::DetailScope detail(scale);
    using Size = ControlArtwork::Size;
    add("sv_background.bmp", ImageFormat::Bmp24, 1, PanelArtwork::compactBackground());
    add("ol_background.bmp", ImageFormat::Bmp24, 1, PanelArtwork::fullBackground());
    add("sv_meter.png", ImageFormat::Png, MeterScale::kFrames, ControlArtwork::meterStrip(MeterPanel::Compact));
    add("ol_meter.png", ImageFormat::Png, MeterScale::kFrames, ControlArtwork::meterStrip(MeterPanel::Full));
    add("switch.png", ImageFormat::Png, 2, ControlArtwork::switchStrip());
    add("switch_write.png", ImageFormat::Png, 1, ControlArtwork::switchWrite());
    add("switch_focus.png", ImageFormat::Png, 1, ControlArtwork::switchFocus());
    add("sv_knob1.png", ImageFormat::Png, ControlArtwork::kKnobFrames, ControlArtwork::knobStrip(Size::Compact));
    add("sv_knob2.png", ImageFormat::Png, ControlArtwork::kSelectorFrames,
        ControlArtwork::selectorStrip(Size::Compact));
    add("ol_knob1.png", ImageFormat::Png, ControlArtwork::kKnobFrames, ControlArtwork::knobStrip(Size::Full));
    add("ol_knob2.png", ImageFormat::Png, ControlArtwork::kSelectorFrames, ControlArtwork::selectorStrip(Size::Full));
    add("sv_knob_focus.png", ImageFormat::Png, 1, ControlArtwork::knobFocus());
    add("sv_knob_write.png", ImageFormat::Png, 1, ControlArtwork::knobWrite());
    add("screw.png", ImageFormat::Png, ControlArtwork::kKnobFrames, ControlArtwork::screwStrip());
    add("screw_focus.png", ImageFormat::Png, 1, ControlArtwork::screwFocus());
    add("screw_write.png", ImageFormat::Png, 1, ControlArtwork::screwWrite());
    add("ol_about.png", ImageFormat::Png, 1, PanelArtwork::fullAbout());
    add("ol-7t_sv_about.bmp", ImageFormat::Bmp24, 1, PanelArtwork::compactAbout());

    const auto compact =
        PanelArtwork::composePanel(PanelLayout::compact(), [this](const std::string& n) -> const Canvas& { return image(n); });
    add("SV_Thumbnail.bmp", ImageFormat::Bmp24, 1, PanelArtwork::thumbnail(*compact, false));
    add("SV_Inactive.bmp", ImageFormat::Bmp24, 1, PanelArtwork::thumbnail(*compact, true));
}

void ArtworkSet::add(const std::string& fileName, ImageFormat format, int frames, std::unique_ptr<Canvas> canvas)
{
    m_images.push_back({fileName, format, frames, std::move(canvas)});
}

const Canvas& ArtworkSet::image(const std::string& fileName) const
{
    for (const ArtworkImage& entry : m_images)
        if (entry.fileName == fileName)
            return *entry.canvas;
    std::fprintf(stderr, "ArtworkSet: no image \"%s\"\n", fileName.c_str());
    std::abort();
}

std::string ArtworkSet::scaledFileName(const std::string& fileName, double scale)
{
    if (scale == 1.0)
        return fileName;
    const std::size_t dot = fileName.rfind('.');
    const std::string suffix = "@" + std::to_string(static_cast<int>(std::lround(scale))) + "x";
    return dot == std::string::npos ? fileName + suffix : fileName.substr(0, dot) + suffix + fileName.substr(dot);
}

bool ArtworkSet::writeAll(const std::string& folder) const
{
    bool ok = true;
    for (const ArtworkImage& entry : m_images) {
        const std::string path = folder + "/" + scaledFileName(entry.fileName, m_scale);
        const bool written = entry.format == ImageFormat::Png ? entry.canvas->writePng(path)
                                                              : entry.canvas->writeBmp24(path);
        if (!written) {
            std::fprintf(stderr, "ArtworkSet: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}
