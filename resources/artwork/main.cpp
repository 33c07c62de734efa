// The artwork generator: renders every image of the Resources folder, the user
// manual of the Documentation folder and a contact sheet for review.
//
// ol7t_artwork RESOURCES_DIR DOCUMENTATION_DIR MANUAL_SOURCE CONTACT_SHEET_PNG
#include "ArtworkSet.h"
#include "ContactSheet.h"
#include "ManualWriter.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s RESOURCES_DIR DOCUMENTATION_DIR MANUAL_SOURCE CONTACT_SHEET_PNG\n", argv[0]);
        return 2;
    }
    const std::string resources = argv[1], documentation = argv[2], manualSource = argv[3], sheet = argv[4];
    std::error_code error;
    std::filesystem::create_directories(resources, error);
    std::filesystem::create_directories(documentation, error);

    bool ok = true;
    {
        const ArtworkSet artwork;
        ok = artwork.writeAll(resources) && ok;
        // The editor's pictures for screens of two pixels a unit, drawn at that size.
        constexpr double kDetailedScale = 2.0;
        ok = ArtworkSet(kDetailedScale).writeAll(resources) && ok;
        if (!ManualWriter(artwork).write(manualSource, documentation + "/OL-7TLevelingAmplifier_EN.pdf")) {
            std::fprintf(stderr, "ol7t_artwork: cannot make the manual from %s\n", manualSource.c_str());
            ok = false;
        }
        if (!ContactSheet::write(artwork, sheet)) {
            std::fprintf(stderr, "ol7t_artwork: cannot write %s\n", sheet.c_str());
            ok = false;
        }
    }
    // Font caches live for the whole process; freeing them keeps leak checks meaningful.
    cairo_debug_reset_static_data();
    FcFini();
    return ok ? 0 : 1;
}
