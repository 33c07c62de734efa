// Script input through XTest, on the player's own display connection.
#include "tools/shot/InputPlayer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace {

// X turns the wheel with buttons 4 (away from the user) and 5 (towards).
constexpr unsigned kWheelAway = 4;
constexpr unsigned kWheelTowards = 5;

Display* displayOf(void* connection)
{
    return static_cast<Display*>(connection);
}

// "Shift" or "Control" name no key of their own: their left keys stand in.
KeyCode keyCodeOf(Display* display, const std::string& name)
{
    KeySym symbol = XStringToKeysym(name.c_str());
    if (symbol == NoSymbol)
        symbol = XStringToKeysym((name + "_L").c_str());
    return symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
}

} // namespace

InputPlayer::InputPlayer() : connection(XOpenDisplay(nullptr)) {}

InputPlayer::~InputPlayer()
{
    if (!connection)
        return;
    releaseHeld();
    XCloseDisplay(displayOf(connection));
}

bool InputPlayer::ready() const
{
    return connection != nullptr;
}

void InputPlayer::send(bool isKey, unsigned code, bool down)
{
    if (isKey)
        XTestFakeKeyEvent(displayOf(connection), code, down ? True : False, 0);
    else
        XTestFakeButtonEvent(displayOf(connection), code, down ? True : False, 0);
}

void InputPlayer::turnWheel(int notches)
{
    const unsigned button = notches > 0 ? kWheelAway : kWheelTowards;
    for (int i = 0; i < std::abs(notches); ++i) {
        send(false, button, true);
        send(false, button, false);
    }
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
        press(heldButtons, static_cast<unsigned>(step.a), step.kind == InputStep::Down);
        break;
    case InputStep::Key:
        if (const KeyCode code = keyCodeOf(display, step.key)) {
            send(true, code, true);
            send(true, code, false);
        }
        break;
    case InputStep::KeyDown:
    case InputStep::KeyUp:
        if (const KeyCode code = keyCodeOf(display, step.key))
            press(heldKeys, code, step.kind == InputStep::KeyDown);
        break;
    case InputStep::Wheel:
        turnWheel(step.a);
        break;
    case InputStep::Wait:
        break;
    }
    XFlush(display);
}
