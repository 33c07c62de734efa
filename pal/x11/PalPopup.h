// An override-redirect window of the layer's own, for tool tips and menus:
// placed in screen coordinates, painted through a CPalDC, its events handed
// to its owner. Internal to the Linux implementation.
#pragma once

#include "pal/CPalDC.h"
#include "pal/x11/PalDisplay.h"

#include <functional>

namespace ZVNPal {

class PalPopup {
public:
    using Painter = std::function<void(CPalDC&, int width, int height)>;

    PalPopup(PalDisplay& display, Painter painter, PalDisplay::EventHandler onEvent = nullptr);
    ~PalPopup();
    PalPopup(const PalPopup&) = delete;
    PalPopup& operator=(const PalPopup&) = delete;

    Window Handle() const { return m_nWindow; }
    void Place(int x, int y, int width, int height);
    void Show();
    void Hide();
    void Repaint();
    int X() const { return m_nX; }
    int Y() const { return m_nY; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

private:
    PalDisplay* m_pDisplay;
    bool Alive() const { return PalDisplay::Get() == m_pDisplay; }
    Painter m_painter;
    Window m_nWindow = 0;
    Visual* m_pVisual = nullptr;
    int m_nDepth = 0;
    int m_nX = 0;
    int m_nY = 0;
    int m_nWidth = 1;
    int m_nHeight = 1;
    bool m_bShown = false;
};

// Measures UTF-8 text in the font of the layer's pop-ups.
void MeasurePopupText(const char* text, bool bold, int* width, int* height);
// Selects the pop-up font into a context for drawing.
class CPalFont;
CPalFont& PopupFont(bool bold);

} // namespace ZVNPal
