// Script input through SendInput: pointer moves in absolute screen
// coordinates, buttons 1 to 3, and keys by their X names (the script's
// vocabulary) translated to virtual keys.
#include "tools/shot/InputPlayer.h"

#include <windows.h>

#include <string_view>

namespace {

struct NamedKey {
    std::string_view name;
    WORD key;
};

constexpr NamedKey kNamedKeys[] = {
    {"Up", VK_UP},         {"Down", VK_DOWN},     {"Left", VK_LEFT},       {"Right", VK_RIGHT},
    {"Home", VK_HOME},     {"End", VK_END},       {"Prior", VK_PRIOR},     {"Next", VK_NEXT},
    {"Page_Up", VK_PRIOR}, {"Page_Down", VK_NEXT}, {"Return", VK_RETURN},  {"Escape", VK_ESCAPE},
    {"Tab", VK_TAB},       {"space", VK_SPACE},   {"BackSpace", VK_BACK},  {"Delete", VK_DELETE},
    {"Shift", VK_SHIFT},   {"Shift_L", VK_SHIFT}, {"Control", VK_CONTROL}, {"Control_L", VK_CONTROL},
    {"Alt", VK_MENU},      {"Alt_L", VK_MENU},
};

// 0 for a name outside the table that is not a single character either.
WORD virtualKey(const std::string& name)
{
    for (const NamedKey& k : kNamedKeys) {
        if (k.name == name)
            return k.key;
    }
    const SHORT scan = name.size() == 1 ? ::VkKeyScanA(name[0]) : -1;
    return scan == -1 ? 0 : LOBYTE(scan);
}

DWORD buttonFlag(int button, bool down)
{
    switch (button) {
    case 1: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case 2: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    case 3: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    default: return 0;
    }
}

void sendMouse(DWORD flags, LONG x = 0, LONG y = 0, DWORD data = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.mouseData = data;
    ::SendInput(1, &input, sizeof input);
}

void sendKey(WORD key, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof input);
}

// Absolute pointer positions span 0 to 65535 over the primary screen.
LONG normalised(int position, int screenSize)
{
    return screenSize > 1 ? static_cast<LONG>((position * 65535LL) / (screenSize - 1)) : 0;
}

} // namespace

InputPlayer::InputPlayer() = default;

InputPlayer::~InputPlayer()
{
    releaseHeld();
}

bool InputPlayer::ready() const
{
    return true;
}

void InputPlayer::send(bool isKey, unsigned code, bool down)
{
    if (isKey)
        sendKey(static_cast<WORD>(code), down);
    else if (const DWORD flag = buttonFlag(static_cast<int>(code), down))
        sendMouse(flag);
}

void InputPlayer::turnWheel(int notches)
{
    sendMouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(notches * WHEEL_DELTA));
}

void InputPlayer::play(const InputStep& step, int originX, int originY)
{
    switch (step.kind) {
    case InputStep::Move:
        sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                  normalised(originX + step.a, ::GetSystemMetrics(SM_CXSCREEN)),
                  normalised(originY + step.b, ::GetSystemMetrics(SM_CYSCREEN)));
        break;
    case InputStep::Down:
    case InputStep::Up:
        press(heldButtons, static_cast<unsigned>(step.a), step.kind == InputStep::Down);
        break;
    case InputStep::Key:
        if (const WORD key = virtualKey(step.key)) {
            sendKey(key, true);
            sendKey(key, false);
        }
        break;
    case InputStep::KeyDown:
    case InputStep::KeyUp:
        if (const WORD key = virtualKey(step.key))
            press(heldKeys, key, step.kind == InputStep::KeyDown);
        break;
    case InputStep::Wheel:
        turnWheel(step.a);
        break;
    case InputStep::Wait:
        break;
    }
}
