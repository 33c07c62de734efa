// The X11 form of the message box: a small modal dialog with the requested
// buttons, drawn with the core protocol so it needs nothing but a display.
#pragma once

#include "pal/MessageBox.h"

#include <string>

namespace ZVNPal {

// Shows the dialog and stores the answer in `result`; false, without showing
// anything, when no display can be opened.
bool ShowX11MessageDialog(const MessageBoxRequest& request, const std::u16string& title,
                          const std::u16string& text, int& result);

// TopLevelOwner on X11: follows parents up to the child of the root window.
PalNativeWindow X11TopLevelOwner(PalNativeWindow window);

} // namespace ZVNPal
