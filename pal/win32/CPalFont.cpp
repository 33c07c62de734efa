// Fonts as GDI fonts: face, height in device pixels from the screen's
// resolution, weight, quality and character set.
#include "pal/CPalFont.h"

#include "pal/win32/PalWin32.h"

#include <cmath>

namespace ZVNPal {

using namespace Win32;

namespace {

constexpr double kPointsPerInch = 72.0;

DWORD NativeQuality(int quality)
{
    switch (quality) {
    case kPalQualityAliased: return NONANTIALIASED_QUALITY;
    case kPalQualityAntialiased: return ANTIALIASED_QUALITY;
    default: return DEFAULT_QUALITY;
    }
}

DWORD NativeCharSet(int charSet)
{
    constexpr int kDefault = 0, kJapanese = 1;
    switch (charSet) {
    case kDefault: return DEFAULT_CHARSET;
    case kJapanese: return SHIFTJIS_CHARSET;
    default: return ANSI_CHARSET;
    }
}

} // namespace

PalResult CPalFont::CreateDefault(int face) { return Create(face, 0.0f, 0, 0, 0, false, false, false, 0.0f); }

PalResult CPalFont::Create(int face, float sizePoints, int weight, int quality, int charSet, bool italic,
                           bool underline, bool strikeOut, float widthPoints)
{
    DestroyFont();
    // Negative heights ask for the character height without leading.
    const int height = -static_cast<int>(PixelsPerInchY() * sizePoints / kPointsPerInch);
    const int width =
        widthPoints != 0.0f ? -static_cast<int>(std::lround(PixelsPerInchX() * widthPoints / kPointsPerInch)) : 0;
    const std::wstring faceName = Widen(FaceName(face), LF_FACESIZE - 1);
    m_hFont = ::CreateFontW(height, width, 0, 0, NumericWeight(weight), italic, underline, strikeOut,
                            NativeCharSet(charSet), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NativeQuality(quality),
                            DEFAULT_PITCH | FF_DONTCARE, faceName.c_str());
    m_fSize = sizePoints;
    m_fPixelHeight = std::abs(height);
    m_fPixelWidth = std::abs(width);
    m_nQuality = quality;
    m_bUnderline = underline;
    m_bStrikeOut = strikeOut;
    return kPalOk;
}

bool CPalFont::DestroyFont()
{
    if (!m_hFont)
        return false;
    ::DeleteObject(static_cast<HFONT>(m_hFont));
    m_hFont = nullptr;
    return true;
}

CPalFont::~CPalFont() { DestroyFont(); }

} // namespace ZVNPal
