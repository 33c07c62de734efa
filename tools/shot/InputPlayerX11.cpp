// Script input through XTest, on the player's own display connection.
#include "tools/shot/InputPlayer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

Display* displayOf(void* connection)
{
    return static_cast<Display*>(connection);
}

} // namespace

InputPlayer::InputPlayer() : connection(XOpenDisplay(nullptr)) {}

InputPlayer::~InputPlayer()
{
    if (connection)
        XCloseDisplay(displayOf(connection));
}

bool InputPlayer::ready() const
{
    return connection != nullptr;
}

void InputPlayer::play(const InputStep& step, int originX, int originY)
{
    Display* display = displayOf(connection);
    switch (step.kind) {
    case InputStep::Move:
        XTestFakeMotionEvent(display, -1, originX + step.a, originY + step.b, 0);
        break;
    case InputStep::Down:
    case InputStep::Up:
        XTestFakeButtonEvent(display, static_cast<unsigned>(step.a), step.kind == InputStep::Down, 0);
        break;
    case InputStep::Key: {
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(step.key.c_str()));
        if (code) {
            XTestFakeKeyEvent(display, code, True, 0);
            XTestFakeKeyEvent(display, code, False, 0);
        }
        break;
    }
    case InputStep::Wait:
        break;
    }
    XFlush(display);
}
