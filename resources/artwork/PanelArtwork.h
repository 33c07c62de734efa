// The panel backgrounds with their printed scales and labels, the about pictures,
// and pictures of a whole panel with its controls in place (for the channel-strip
// thumbnails, the contact sheet and the manual).
#pragma once

#include "Canvas.h"
#include "PanelLayout.h"

#include <functional>
#include <memory>
#include <string>

class PanelArtwork
{
public:
    static std::unique_ptr<Canvas> fullBackground();
    static std::unique_ptr<Canvas> compactBackground();
    static std::unique_ptr<Canvas> fullAbout();
    static std::unique_ptr<Canvas> compactAbout();

    // Looks an image up by its file name.
    using ImageLookup = std::function<const Canvas&(const std::string&)>;
    // The panel with every control at its default setting and the needle at rest.
    static std::unique_ptr<Canvas> composePanel(const PanelLayout& layout, const ImageLookup& image);
    // A half-size picture of a panel; `inactive` greys it out.
    static std::unique_ptr<Canvas> thumbnail(const Canvas& panel, bool inactive);
};
