// The platform-neutral part of loading the plug-in's library.
#include "tools/render/SharedLibrary.h"

SharedLibrary::~SharedLibrary()
{
    close();
}

std::filesystem::path SharedLibrary::libraryOf(const std::filesystem::path& bundle)
{
    std::filesystem::path name = bundle.filename();
    if (name.empty())
        name = bundle.parent_path().filename();
    return bundle / "Contents" / kLibraryFolder / name.replace_extension(kLibraryExtension);
}
