// The shared image set of the editors.
#include "GUI/EditorImages.h"

#include "pal/MessageBox.h"
#include "pal/TextStrings.h"

std::string EditorImages::folder;
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

void EditorImages::setFolder(const std::string& from)
{
    // Images belong to the folder they came from; in a plug-in it never changes.
    if (from == folder)
        return;
    folder = from;
    detailedLoaded = false;
    for (auto& image : images)
        image.reset();
}

ZVNPal::CPalBitmap* EditorImages::get(EditorImage image)
{
    if (image < 0 || image >= kImageCount)
        return nullptr;
    std::unique_ptr<ZVNPal::CPalBitmap>& slot = images[image];
    if (!slot) {
        // One attempt per process: a missing file is reported once, not at
        // every opening.
        ZVNPal::CPalBitmap::SetLoadMessageHook(showLoadMessage);
        slot = std::make_unique<ZVNPal::CPalBitmap>();
        const std::string path = folder + kFileNames[image];
        if (!folder.empty() && path.size() <= kMaxPath)
            slot->Load(path.c_str(), true);
    }
    return slot->Width() > 0 ? slot.get() : nullptr;
}

void EditorImages::loadDetailed()
{
    if (detailedLoaded)
        return;
    detailedLoaded = true;
    for (int i = 0; i < kImageCount; ++i) {
        ZVNPal::CPalBitmap* bitmap = get(static_cast<EditorImage>(i));
        const std::string path = detailedPath(folder + kFileNames[i]);
        if (bitmap && path.size() <= kMaxPath)
            bitmap->LoadDetailed(path.c_str());
    }
}
