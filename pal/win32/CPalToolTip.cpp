// Tool tips of the common controls ("tooltips_class32"): one tracking tool
// placed at absolute screen positions, plain or as a balloon that hides
// itself after a time or at the next mouse button press.
#include "pal/CPalToolTip.h"

#include "pal/IPalWindow.h"
#include "pal/win32/PalWin32.h"

#include <commctrl.h>

namespace ZVNPal {

using namespace Win32;

namespace {

// The tool tip that a window's timer or the mouse hook belongs to.
constexpr wchar_t kTipProperty[] = L"OL7T.CPalToolTip";
// The title of a balloon is limited like its text.
constexpr int kMaxTitleUnits = 99;

// The balloon shown now and its mouse hook: one for the process.
CPalToolTip* g_pHooked = nullptr;
HHOOK g_hHook = nullptr;

// The tool description as every version of the common controls accepts it.
TOOLINFOW ToolFor(PalNativeWindow owner, PalModuleInstance instance, const wchar_t* text)
{
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = Hwnd(owner);
    tool.uId = static_cast<UINT_PTR>(owner);
    tool.hinst = static_cast<HINSTANCE>(instance);
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

CPalToolTip* TipOf(HWND tip) { return static_cast<CPalToolTip*>(::GetPropW(tip, kTipProperty)); }

void CALLBACK AutoHide(HWND tip, UINT, UINT_PTR, DWORD)
{
    if (CPalToolTip* owner = TipOf(tip))
        owner->ShowTip(false);
}

LRESULT CALLBACK WatchPresses(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT next = ::CallNextHookEx(g_hHook, code, wParam, lParam);
    if (code != HC_ACTION || !g_pHooked)
        return next;
    switch (wParam) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: g_pHooked->ShowTip(false); break;
    default: break;
    }
    return next;
}

} // namespace

CPalToolTip::CPalToolTip() = default;

PalNativeWindow CPalToolTip::GetTipWindow() const { return m_hTip; }

bool CPalToolTip::Create(IPalWindow* owner, PalModuleInstance instance, bool balloon)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    if (!::InitCommonControlsEx(&controls))
        return false;
    if (m_hTip)
        ::DestroyWindow(Hwnd(m_hTip));
    m_pOwner = owner;
    m_hInstance = instance ? instance : ModuleInstance();
    m_bBalloon = balloon;
    const DWORD style = WS_POPUP | TTS_NOPREFIX | (balloon ? TTS_BALLOON | TTS_CLOSE : TTS_ALWAYSTIP);
    const HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, owner ? Hwnd(owner->GetHandle()) : nullptr,
                                       nullptr, static_cast<HINSTANCE>(m_hInstance), nullptr);
    if (!tip)
        return false;
    ::SetPropW(tip, kTipProperty, this);
    m_hTip = Native(tip);
    m_sText = "Text";
    const std::wstring text = Widen(m_sText.c_str(), kMaxTextUnits);
    TOOLINFOW tool = ToolFor(owner ? owner->GetHandle() : 0, m_hInstance, text.c_str());
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_bCreated = true;
    return true;
}

void CPalToolTip::UpdateTool()
{
    const std::wstring text = Widen(m_sText.c_str(), kMaxTextUnits);
    TOOLINFOW tool = ToolFor(m_pOwner ? m_pOwner->GetHandle() : 0, m_hInstance, text.c_str());
    ::SendMessageW(Hwnd(m_hTip), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CPalToolTip::ShowTip(bool show)
{
    if (!m_bCreated)
        return;
    const HWND tip = Hwnd(m_hTip);
    TOOLINFOW tool = ToolFor(m_pOwner ? m_pOwner->GetHandle() : 0, m_hInstance, nullptr);
    // A tip with nothing to say shows no box at all.
    if (!show || !HasContent()) {
        ::SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        m_bShown = false;
        if (m_bBalloon)
            StopBalloonWatch();
        return;
    }
    constexpr LPARAM kNoWidthLimit = 32767;
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kNoWidthLimit);
    ::SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_UPDATE, 0, 0);
    m_bShown = true;
    if (m_bBalloon) {
        // A balloon goes after its time, or at the next button press; a
        // second balloon takes the hook over.
        ::SetTimer(tip, kAutoHideTimerId, m_nAutoHide, AutoHide);
        if (g_pHooked && g_pHooked != this)
            g_pHooked->StopBalloonWatch();
        if (!g_hHook)
            g_hHook = ::SetWindowsHookExW(WH_MOUSE, WatchPresses, nullptr, ::GetCurrentThreadId());
        g_pHooked = this;
    }
}

void CPalToolTip::StopBalloonWatch()
{
    if (m_hTip)
        ::KillTimer(Hwnd(m_hTip), kAutoHideTimerId);
    if (g_pHooked != this)
        return;
    if (g_hHook)
        ::UnhookWindowsHookEx(g_hHook);
    g_hHook = nullptr;
    g_pHooked = nullptr;
}

void CPalToolTip::SetOffset(std::int32_t dx, std::int32_t dy)
{
    m_nOffsetX = dx;
    m_nOffsetY = dy;
}

void CPalToolTip::SetTipPosition(std::int32_t x, std::int32_t y)
{
    if (m_hTip)
        ::SendMessageW(Hwnd(m_hTip), TTM_TRACKPOSITION, 0, MAKELPARAM(x + m_nOffsetX, y + m_nOffsetY));
}

void CPalToolTip::SetText(const char* text)
{
    m_sText = Narrow(Widen(text, kMaxTextUnits).c_str());
    if (m_hTip)
        UpdateTool();
    if (m_bShown && !HasContent())
        ShowTip(false);
}

void CPalToolTip::SetTitle(const char* text)
{
    if (!m_bBalloon)
        return;
    m_sTitle = Narrow(Widen(text, kMaxTitleUnits).c_str());
    if (m_hTip)
        ::SendMessageW(Hwnd(m_hTip), TTM_SETTITLEW, TTI_INFO,
                       reinterpret_cast<LPARAM>(Widen(m_sTitle.c_str(), kMaxTitleUnits).c_str()));
}

CPalToolTip::~CPalToolTip()
{
    if (m_bBalloon)
        StopBalloonWatch();
    // Gone already when its owner went first.
    if (m_hTip && ::IsWindow(Hwnd(m_hTip))) {
        ::RemovePropW(Hwnd(m_hTip), kTipProperty);
        ::DestroyWindow(Hwnd(m_hTip));
    }
}

} // namespace ZVNPal
