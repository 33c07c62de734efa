// The effect as a module of the maker's channel strip: module mode, the
// strip host's vendor requests and the description it shows.
#include "core/ol7t.h"

#include "pal/Folders.h"
#include "pal/TextStrings.h"

#include <algorithm>
#include <cstring>

namespace {

// The channel-strip host's vendor requests.
enum StripRequest : int32_t {
    kStripAskEnabled = 5001,
    kStripAskFlag = 5002,
    kStripGetBitmap = 5003,
    kStripSetHostValue = 5004,
    kStripWriteState = 5007,
};

constexpr size_t kModuleDescriptionSize = 64;
const char* const kStripBitmapFiles[] = {"SV_Thumbnail.bmp", "SV_Inactive.bmp"};

// Writes `answer` to the host's 32-bit int; 0 (not handled) for a null pointer.
intptr_t answerInt(void* ptr, int32_t answer)
{
    if (!ptr)
        return 0;
    *static_cast<int32_t*>(ptr) = answer;
    return 1;
}

} // namespace

ol7t::ModuleBitmapLoader ol7t::moduleBitmapLoader = nullptr;
ol7t::HostContextMenuHandler ol7t::hostContextMenuHandler = nullptr;

void ol7t::requestHostContextMenu(uint32_t id)
{
    if (hostContextMenuHandler)
        hostContextMenuHandler(this, id);
}

void ol7t::enableModuleMode()
{
    moduleMode = true;
}

intptr_t ol7t::moduleVendorSpecific(int32_t code, intptr_t index, void* ptr, float value)
{
    switch (code) {
    case kStripAskEnabled:
        return answerInt(ptr, 1);
    case kStripAskFlag:
        return answerInt(ptr, 0);
    case kStripGetBitmap: {
        if (!ptr || index < 0 || index > 1)
            return 0;
        const std::string path = ZVNPal::GetResourcesFolder() + kStripBitmapFiles[index];
        // The host owns the bitmap; a missing file hands over a null handle.
        *static_cast<void**>(ptr) = moduleBitmapLoader ? moduleBitmapLoader(path) : nullptr;
        return 1;
    }
    case kStripSetHostValue:
        if (!ptr)
            return 0;
        moduleHostValue = *static_cast<intptr_t*>(ptr);
        return 1;
    case kStripWriteState:
        // Only exactly 1.0 marks a parameter as being written; other indices
        // are acknowledged and change nothing.
        if (index >= 0 && index < PARAM_COUNT) {
            // The host may ask from any thread: the editor shows the mark on its tick.
            writeIndicators[index] = value == 1.0f;
            changedWriteMarks.mark(static_cast<uint32_t>(index));
        }
        return 1;
    default:
        return 0;
    }
}

bool ol7t::getModuleDescription(char* text)
{
    const std::string& description = ZVNPal::TextString("IDS_OL7T_DESC");
    const size_t n = std::min(description.size(), kModuleDescriptionSize - 1);
    std::memcpy(text, description.data(), n);
    text[n] = 0;
    return true;
}
