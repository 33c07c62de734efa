// The platform's own message box under MessageBox: an X11 dialog drawn with
// the core protocol on Linux (x11/X11MessageDialog.cpp), the system's message
// box on Windows.
#pragma once

#include "pal/MessageBox.h"

#include <string>

namespace ZVNPal {

// Shows the box modally and stores the answer in `result`; false, without
// showing anything, when no display can be opened.
bool ShowNativeMessageBox(const MessageBoxRequest& request, const std::u16string& title,
                          const std::u16string& text, int& result);

// TopLevelOwner of the platform.
PalNativeWindow NativeTopLevelOwner(PalNativeWindow window);

} // namespace ZVNPal
