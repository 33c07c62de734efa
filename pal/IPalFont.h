// A font for text drawing and measuring. Slot order is contract.
#pragma once

#include "pal/PalTypes.h"

namespace ZVNPal {

// Faces of Create.
enum PalFontFace : int { kPalFaceTahoma = 0, kPalFaceArial = 1, kPalFaceSymbol = 2 };
// Weights of Create.
enum PalFontWeight : int {
    kPalWeightLight = 0,
    kPalWeightNormal = 1,
    kPalWeightMedium = 2,
    kPalWeightSemiBold = 3,
    kPalWeightBold = 4,
};
// Qualities of Create; any other value is the platform's default.
enum PalFontQuality : int { kPalQualityAliased = 0, kPalQualityAntialiased = 1 };

class IPalFont {
public:
    virtual PalResult CreateDefault(int face) = 0;
    virtual PalResult Create(int face, float sizePoints, int weight, int quality, int charSet, bool italic,
                             bool underline, bool strikeOut, float widthPoints) = 0;
    virtual bool DestroyFont() = 0;
    virtual PalNativeFont GetHandle() = 0;
    virtual float GetSize() = 0;
    virtual int GetAttribute5() { return 0; }
    virtual int GetAttribute6() { return 0; }
    virtual int GetAttribute7() { return 0; }
    virtual int GetAttribute8() { return 0; }
    virtual int GetAttribute9() { return 0; }
    virtual int GetAttribute10() { return 0; }
    virtual int GetAttribute11() { return 0; }
    virtual bool IsCreated() = 0;
    virtual ~IPalFont() = default;
};

} // namespace ZVNPal
