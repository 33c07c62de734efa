// Synthesised pointer, wheel and key input for the screenshot tool's scripts,
// as the platform's own input would arrive: XTest on Linux
// (InputPlayerX11.cpp), SendInput on Windows (InputPlayerWin32.cpp). Keys and
// buttons still held when the player ends are let go, so the desktop is left
// as found.
#pragma once

#include "tools/shot/InputScript.h"

#include <vector>

class InputPlayer
{
public:
    InputPlayer();
    ~InputPlayer();
    InputPlayer(const InputPlayer&) = delete;
    InputPlayer& operator=(const InputPlayer&) = delete;

    bool ready() const;
    // Plays one step; pointer positions are relative to the screen point of the
    // panel's top-left corner.
    void play(const InputStep& step, int originX, int originY);

private:
    // Sends one key or button change and keeps the list of held ones.
    void press(std::vector<unsigned>& held, unsigned code, bool down);
    void send(bool isKey, unsigned code, bool down);
    void releaseHeld();
    void turnWheel(int notches);

    void* connection = nullptr;
    std::vector<unsigned> heldKeys;
    std::vector<unsigned> heldButtons;
};

// The platform-neutral half, shared by both players.
inline void InputPlayer::press(std::vector<unsigned>& held, unsigned code, bool down)
{
    send(&held == &heldKeys, code, down);
    auto it = held.begin();
    while (it != held.end() && *it != code)
        ++it;
    if (down && it == held.end())
        held.push_back(code);
    else if (!down && it != held.end())
        held.erase(it);
}

inline void InputPlayer::releaseHeld()
{
    for (unsigned key : heldKeys)
        send(true, key, false);
    for (unsigned button : heldButtons)
        send(false, button, false);
}
