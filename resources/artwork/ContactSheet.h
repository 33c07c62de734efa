// One PNG that shows all images at once for review: both panels put together,
// the about pictures, the thumbnails and sample frames of every strip.
#pragma once

#include "ArtworkSet.h"

#include <string>

class ContactSheet
{
public:
    static bool write(const ArtworkSet& set, const std::string& path);
};
