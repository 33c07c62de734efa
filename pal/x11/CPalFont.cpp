// Fonts by face name through cairo's font matching (fontconfig).
#include "pal/CPalFont.h"

#include <cairo.h>

#include <cmath>

namespace ZVNPal {

namespace {

// Text is laid out for a 96-pixels-per-inch screen, the desktop convention.
constexpr double kPixelsPerInch = 96.0;
constexpr double kPointsPerInch = 72.0;

} // namespace

PalResult CPalFont::CreateDefault(int face) { return Create(face, 0.0f, 0, 0, 0, false, false, false, 0.0f); }

PalResult CPalFont::Create(int face, float sizePoints, int weight, int quality, int, bool italic, bool underline,
                           bool strikeOut, float widthPoints)
{
    DestroyFont();
    // Cairo's simple font selection knows two weights; semi-bold and above are bold.
    constexpr int kBoldFrom = 600;
    m_hFont = cairo_toy_font_face_create(FaceName(face), italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                         NumericWeight(weight) >= kBoldFrom ? CAIRO_FONT_WEIGHT_BOLD
                                                                            : CAIRO_FONT_WEIGHT_NORMAL);
    m_fSize = sizePoints;
    // The classic height is negative (the character height without leading),
    // truncated; a size of 0 asks for the platform's default size.
    constexpr double kDefaultPixels = 12.0;
    const double height = std::trunc(kPixelsPerInch * sizePoints / kPointsPerInch);
    m_fPixelHeight = height != 0.0 ? std::abs(height) : kDefaultPixels;
    m_fPixelWidth = widthPoints != 0.0f ? std::abs(std::round(kPixelsPerInch * widthPoints / kPointsPerInch)) : 0.0;
    m_nQuality = quality;
    m_bUnderline = underline;
    m_bStrikeOut = strikeOut;
    return kPalOk;
}

bool CPalFont::DestroyFont()
{
    if (!m_hFont)
        return false;
    cairo_font_face_destroy(static_cast<cairo_font_face_t*>(m_hFont));
    m_hFont = nullptr;
    return true;
}

CPalFont::~CPalFont() { DestroyFont(); }

} // namespace ZVNPal
