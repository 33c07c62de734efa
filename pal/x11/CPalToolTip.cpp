// Tool tips as pop-up windows of the layer: a plain box or a balloon with a
// title, placed at a tracked position plus an offset.
#include "pal/CPalToolTip.h"

#include "pal/CPalColor.h"
#include "pal/CPalFont.h"
#include "pal/x11/PalPopup.h"
#include "pal/x11/PalText.h"

namespace ZVNPal {

namespace {

constexpr int kPadding = 4;
constexpr std::uint32_t kTipBackground = 0xFFFFFFE1u;
constexpr std::uint32_t kTipBorder = 0xFF767676u;
constexpr std::uint32_t kTipText = 0xFF000000u;
// The title of a balloon is limited like its text.
constexpr std::size_t kMaxTitleUnits = 99;

} // namespace

bool CPalToolTip::Create(IPalWindow* owner, PalModuleInstance instance, bool balloon)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display)
        return false;
    m_pOwner = owner;
    m_hInstance = instance;
    m_bBalloon = balloon;
    m_pPopup = std::make_unique<PalPopup>(*display, [this](CPalDC& dc, int width, int height) {
        Paint(dc, width, height);
    });
    m_bCreated = true;
    Layout();
    return true;
}

CPalToolTip::CPalToolTip() = default;

PalNativeWindow CPalToolTip::GetTipWindow() const { return m_pPopup ? m_pPopup->Handle() : 0; }

void CPalToolTip::Layout()
{
    if (!m_pPopup)
        return;
    int textWidth = 0, textHeight = 0;
    MeasurePopupText(m_sText.c_str(), false, &textWidth, &textHeight);
    int width = textWidth, height = textHeight;
    if (m_bBalloon && !m_sTitle.empty()) {
        int titleWidth = 0, titleHeight = 0;
        MeasurePopupText(m_sTitle.c_str(), true, &titleWidth, &titleHeight);
        width = std::max(width, titleWidth);
        height += titleHeight + kPadding;
    }
    m_nWidth = width + 2 * kPadding;
    m_nHeight = height + 2 * kPadding;
    m_pPopup->Place(m_nX, m_nY, m_nWidth, m_nHeight);
}

void CPalToolTip::Paint(CPalDC& dc, int width, int height)
{
    dc.FillRect(0, 0, width, height, CPalColor(kTipBackground));
    dc.DrawRect(0, 0, width - 1, height - 1, CPalColor(kTipBorder));
    const CPalColor text(kTipText);
    int y = kPadding;
    if (m_bBalloon && !m_sTitle.empty()) {
        dc.SelectFont(&PopupFont(true));
        dc.DrawTextUtf8(kPadding, y, m_sTitle.c_str(), nullptr, &text);
        int titleWidth = 0, titleHeight = 0;
        dc.MeasureText(&titleWidth, &titleHeight, m_sTitle.c_str());
        y += titleHeight + kPadding;
    }
    dc.SelectFont(&PopupFont(false));
    dc.DrawTextUtf8(kPadding, y, m_sText.c_str(), nullptr, &text);
}

void CPalToolTip::ShowTip(bool show)
{
    PalDisplay* display = PalDisplay::Get();
    if (!m_bCreated || !display)
        return;
    // A tip with nothing to say shows no box at all.
    if (!show || !HasContent()) {
        m_pPopup->Hide();
        m_bShown = false;
        if (m_bBalloon)
            StopBalloonWatch();
        return;
    }
    Layout();
    m_pPopup->Show();
    m_bShown = true;
    if (m_bBalloon) {
        // A balloon goes after its time, or at the next button press.
        display->StartTimer(m_pPopup->Handle(), kAutoHideTimerId, m_nAutoHide, [this] { ShowTip(false); });
        display->m_fnOnAnyPress = [this] { ShowTip(false); };
    }
}

void CPalToolTip::StopBalloonWatch()
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || !m_pPopup)
        return;
    display->StopTimer(m_pPopup->Handle(), kAutoHideTimerId);
    display->m_fnOnAnyPress = nullptr;
}

void CPalToolTip::SetOffset(std::int32_t dx, std::int32_t dy)
{
    m_nOffsetX = dx;
    m_nOffsetY = dy;
}

void CPalToolTip::SetTipPosition(std::int32_t x, std::int32_t y)
{
    m_nX = x + m_nOffsetX;
    m_nY = y + m_nOffsetY;
    if (m_pPopup)
        m_pPopup->Place(m_nX, m_nY, m_nWidth, m_nHeight);
}

void CPalToolTip::SetText(const char* text)
{
    m_sText = PalText::Utf8Limited(text, kMaxTextUnits);
    if (m_bShown && !HasContent())
        ShowTip(false);
    else if (m_bShown)
        Layout();
}

void CPalToolTip::SetTitle(const char* text)
{
    if (!m_bBalloon)
        return;
    m_sTitle = PalText::Utf8Limited(text, kMaxTitleUnits);
    if (m_bShown)
        Layout();
}

CPalToolTip::~CPalToolTip()
{
    if (m_bBalloon && m_bShown)
        StopBalloonWatch();
}

} // namespace ZVNPal
