// The shared image set of the editors.
#include "GUI/EditorImages.h"

#include "pal/MessageBox.h"
#include "pal/TextStrings.h"

std::array<std::unique_ptr<ZVNPal::CPalBitmap>, kImageCount> EditorImages::images;
bool EditorImages::detailedLoaded = false;

namespace {

constexpr const char* kFileNames[kImageCount] = {
    "sv_background.bmp", "ol_background.bmp", "sv_meter.png",      "ol_meter.png",      "switch.png",
    "switch_write.png",  "switch_focus.png",  "sv_knob1.png",      "sv_knob2.png",      "ol_knob1.png",
    "ol_knob2.png",      "sv_knob_focus.png", "sv_knob_write.png", "screw.png",         "screw_focus.png",
    "screw_write.png",   "ol_about.png",      "ol-7t_sv_about.bmp",
};

// The platform layer names the title and text of a missing image by their
// text keys.
void showLoadMessage(const char* titleKey, const char* textKey)
{
    ZVNPal::MessageBox(0, ZVNPal::TextString(titleKey).c_str(), ZVNPal::TextString(textKey).c_str(),
                       ZVNPal::kMessageBoxOk, ZVNPal::kMessageBoxIconStop, 0);
}

// The twice-size picture lies beside the image: "name@2x.ext".
std::string detailedPath(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return path.substr(0, dot) + "@2x" + path.substr(dot);
}

} // namespace

const char* EditorImages::fileName(EditorImage image)
{
    return image >= 0 && image < kImageCount ? kFileNames[image] : "";
}

void EditorImages::load(const std::string& folder)
{
    ZVNPal::CPalBitmap::SetLoadMessageHook(showLoadMessage);
    for (int i = 0; i < kImageCount; ++i) {
        images[i] = std::make_unique<ZVNPal::CPalBitmap>();
        const std::string path = folder + kFileNames[i];
        if (path.size() <= kMaxPath)
            images[i]->Load(path.c_str(), true);
    }
}

void EditorImages::loadDetailed(const std::string& folder)
{
    if (detailedLoaded || !loaded())
        return;
    detailedLoaded = true;
    for (int i = 0; i < kImageCount; ++i) {
        const std::string path = detailedPath(folder + kFileNames[i]);
        if (images[i] && path.size() <= kMaxPath)
            images[i]->LoadDetailed(path.c_str());
    }
}

void EditorImages::release()
{
    detailedLoaded = false;
    for (auto& image : images)
        image.reset();
}

ZVNPal::CPalBitmap* EditorImages::get(EditorImage image)
{
    if (image < 0 || image >= kImageCount || !images[image] || images[image]->Width() <= 0)
        return nullptr;
    return images[image].get();
}
