// A font by face, size, weight and quality, resolved by the platform's font
// matching (fontconfig through cairo on Linux, the font mapper on Windows).
#pragma once

#include "pal/IPalFont.h"

namespace ZVNPal {

class CPalFont : public IPalFont {
public:
    CPalFont() = default;
    CPalFont(const CPalFont&) = delete;
    CPalFont& operator=(const CPalFont&) = delete;

    PalResult CreateDefault(int face) override;
    PalResult Create(int face, float sizePoints, int weight, int quality, int charSet, bool italic, bool underline,
                     bool strikeOut, float widthPoints) override;
    bool DestroyFont() override;
    PalNativeFont GetHandle() override { return m_hFont; }
    float GetSize() override { return m_fSize; }
    bool IsCreated() override { return m_hFont != nullptr; }
    ~CPalFont() override;

    // What Create derived, for the drawing code and tests.
    double PixelHeight() const { return m_fPixelHeight; }
    double PixelWidth() const { return m_fPixelWidth; }
    int Quality() const { return m_nQuality; }
    bool Underline() const { return m_bUnderline; }
    bool StrikeOut() const { return m_bStrikeOut; }

    // The face names of Create.
    static const char* FaceName(int face)
    {
        switch (face) {
        case kPalFaceArial: return "Arial";
        case kPalFaceSymbol: return "Symbol";
        default: return "Tahoma";
        }
    }
    // The numeric weight (300 ... 700) of a weight index.
    static int NumericWeight(int weight)
    {
        switch (weight) {
        case kPalWeightLight: return 300;
        case kPalWeightMedium: return 500;
        case kPalWeightSemiBold: return 600;
        case kPalWeightBold: return 700;
        default: return 400;
        }
    }

private:
    PalNativeFont m_hFont = nullptr;
    float m_fSize = 0.0f;
    double m_fPixelHeight = 0.0;
    double m_fPixelWidth = 0.0;
    int m_nQuality = -1;
    bool m_bUnderline = false;
    bool m_bStrikeOut = false;
};

} // namespace ZVNPal
