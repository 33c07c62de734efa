// A tool tip, plain or balloon-shaped, positioned by the editor: a window of
// the layer's own on X11, the common controls' tool tip on Windows.
#pragma once

#include "pal/IPalToolTip.h"

#include <memory>
#include <string>

namespace ZVNPal {

class PalPopup;

class CPalToolTip : public IPalToolTip {
public:
    // The longest text shown, in UTF-16 units.
    static constexpr int kMaxTextUnits = 99;
    static constexpr std::uint32_t kAutoHideTimerId = 5997;

    CPalToolTip();
    CPalToolTip(const CPalToolTip&) = delete;
    CPalToolTip& operator=(const CPalToolTip&) = delete;

    bool Create(IPalWindow* owner, PalModuleInstance instance, bool balloon) override;
    void ShowTip(bool show) override;
    void SetOffset(std::int32_t dx, std::int32_t dy) override;
    void SetTipPosition(std::int32_t x, std::int32_t y) override;
    void SetText(const char* text) override;
    void SetTitle(const char* text) override;
    void SetAutoHide(std::uint32_t milliseconds) override { m_nAutoHide = milliseconds; }
    ~CPalToolTip() override;
    bool IsShown() override { return m_bShown; }

    const std::string& Text() const { return m_sText; }
    // The tip's own native window (0 before Create).
    PalNativeWindow GetTipWindow() const;

private:
    // Some text to show: an empty text (and, on a balloon, no title) shows no tip.
    bool HasContent() const;
#ifdef _WIN32
    // Hands the tool description, with its current text, to the tip window.
    void UpdateTool();
#else
    void Layout();
    void Paint(class CPalDC& dc, int width, int height);
#endif
    void StopBalloonWatch();

    bool m_bCreated = false;
    bool m_bBalloon = false;
    std::int32_t m_nOffsetX = 0;
    std::int32_t m_nOffsetY = 0;
    std::uint32_t m_nAutoHide = 5000;
    bool m_bShown = false;
    IPalWindow* m_pOwner = nullptr;
    PalModuleInstance m_hInstance = nullptr;
    std::string m_sText = "Text";
    std::string m_sTitle;
#ifdef _WIN32
    PalNativeWindow m_hTip = 0; // the "tooltips_class32" window
#else
    std::unique_ptr<PalPopup> m_pPopup;
    std::int32_t m_nX = 0;
    std::int32_t m_nY = 0;
    std::int32_t m_nWidth = 1;
    std::int32_t m_nHeight = 1;
#endif
};

} // namespace ZVNPal
