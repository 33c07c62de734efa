// The modal message box that reports fatal start-up failures and missing
// images before any window of the plug-in exists.
#pragma once

#include "pal/PalTypes.h"

namespace ZVNPal {

enum MessageBoxButtons : int {
    kMessageBoxOk = 1, // also every value not listed
    kMessageBoxOkCancel = 2,
    kMessageBoxYesNo = 3,
    kMessageBoxYesNoCancel = 4,
};

enum MessageBoxIcon : int {
    kMessageBoxIconNone = 0,
    kMessageBoxIconStop = 1,
    kMessageBoxIconQuestion = 2,
    kMessageBoxIconExclamation = 3,
    kMessageBoxIconInformation = 4,
};

// Flags are added together; 1 has no effect.
enum MessageBoxFlags : int {
    kMessageBoxSystemModal = 2,
    kMessageBoxForeground = 4,
    kMessageBoxHelpButton = 8,
};

enum MessageBoxResult : int {
    kMessageBoxResultOk = 1,
    kMessageBoxResultCancel = 2,
    kMessageBoxResultYes = 3,
    kMessageBoxResultNo = 4,
    kMessageBoxResultHelp = 5,
    kMessageBoxResultClose = 6,
    kMessageBoxResultOther = -1,
};

struct MessageBoxRequest {
    PalNativeWindow owner;
    const char* title; // UTF-8
    const char* text;  // UTF-8
    int buttons;
    int icon;
    int flags;
};

// Shows the box modally and returns the answer. Without a display, or with
// OL7T_MESSAGEBOX=stderr, title and text go to standard error and the default
// answer (the first button: OK or Yes) comes back at once.
int MessageBox(PalNativeWindow owner, const char* title, const char* text, int buttons, int icon, int flags);

// The answer that a box with these buttons gives when nobody can be asked.
int DefaultMessageBoxAnswer(int buttons);

// The root owner of a window, or with none the root owner of the window that
// has the input focus; none when neither exists.
PalNativeWindow TopLevelOwner(PalNativeWindow window);

// Receives every box instead of the screen or standard error and returns its
// answer; tests install one to read the messages. Null restores the display.
using MessageBoxSink = int (*)(const MessageBoxRequest& request);
void SetMessageBoxSink(MessageBoxSink sink);

} // namespace ZVNPal
