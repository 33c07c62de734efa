// Typesets the user manual from its plain-text source into a PDF with cairo,
// with pictures of the panels made from the rendered artwork.
//
// Source lines: "# " title, "## " section heading, "- " bullet, "= term: text"
// a term with its explanation, a line indented by four blanks a command line,
// "@figure full|compact caption" a panel picture,
// "@page" a page break; other lines join into paragraphs up to a blank line.
#pragma once

#include "ArtworkSet.h"

#include <string>

class ManualWriter
{
public:
    explicit ManualWriter(const ArtworkSet& artwork) : m_artwork(artwork) {}

    // False when the source cannot be read or the PDF cannot be written.
    bool write(const std::string& sourcePath, const std::string& pdfPath) const;

private:
    const ArtworkSet& m_artwork;
};
