// The message box of the Windows build: the system's own, with the requested
// buttons and icon, its owner's top-level window disabled while it is open.
#include "pal/NativeMessageBox.h"

#include <windows.h>

namespace ZVNPal {
namespace {

UINT buttonStyle(int buttons)
{
    switch (buttons) {
    case kMessageBoxOkCancel: return MB_OKCANCEL;
    case kMessageBoxYesNo: return MB_YESNO;
    case kMessageBoxYesNoCancel: return MB_YESNOCANCEL;
    default: return MB_OK;
    }
}

UINT iconStyle(int icon)
{
    switch (icon) {
    case kMessageBoxIconStop: return MB_ICONSTOP;
    case kMessageBoxIconQuestion: return MB_ICONQUESTION;
    case kMessageBoxIconExclamation: return MB_ICONEXCLAMATION;
    case kMessageBoxIconInformation: return MB_ICONINFORMATION;
    default: return 0;
    }
}

UINT flagStyle(int flags)
{
    UINT style = 0;
    if (flags & kMessageBoxSystemModal)
        style |= MB_SYSTEMMODAL;
    if (flags & kMessageBoxForeground)
        style |= MB_SETFOREGROUND;
    if (flags & kMessageBoxHelpButton)
        style |= MB_HELP;
    return style;
}

int translateAnswer(int answer)
{
    switch (answer) {
    case IDOK: return kMessageBoxResultOk;
    case IDCANCEL: return kMessageBoxResultCancel;
    case IDYES: return kMessageBoxResultYes;
    case IDNO: return kMessageBoxResultNo;
    case IDHELP: return kMessageBoxResultHelp;
    case IDCLOSE: return kMessageBoxResultClose;
    default: return kMessageBoxResultOther;
    }
}

HWND windowOf(PalNativeWindow window)
{
    return reinterpret_cast<HWND>(window);
}

// A service, or a process whose window station nobody sees, has no user to
// answer: the box would wait for ever.
bool interactiveDesktop()
{
    USEROBJECTFLAGS flags{};
    HWINSTA station = ::GetProcessWindowStation();
    return station && ::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)
        && (flags.dwFlags & WSF_VISIBLE);
}

} // namespace

bool ShowNativeMessageBox(const MessageBoxRequest& request, const std::u16string& title,
                          const std::u16string& text, int& result)
{
    if (!interactiveDesktop())
        return false;
    const HWND topLevel = windowOf(NativeTopLevelOwner(request.owner));
    if (topLevel)
        ::EnableWindow(topLevel, FALSE);
    const UINT style = buttonStyle(request.buttons) | iconStyle(request.icon) | flagStyle(request.flags);
    const int answer = ::MessageBoxW(topLevel, reinterpret_cast<const wchar_t*>(text.c_str()),
                                     reinterpret_cast<const wchar_t*>(title.c_str()), style);
    if (topLevel)
        ::EnableWindow(topLevel, TRUE);
    if (request.owner)
        ::SetFocus(windowOf(request.owner));
    // No box could be shown: the caller reports on standard error instead.
    if (answer == 0)
        return false;
    result = translateAnswer(answer);
    return true;
}

PalNativeWindow NativeTopLevelOwner(PalNativeWindow window)
{
    const HWND start = window ? windowOf(window) : ::GetActiveWindow();
    return start ? reinterpret_cast<PalNativeWindow>(::GetAncestor(start, GA_ROOTOWNER)) : 0;
}

} // namespace ZVNPal
