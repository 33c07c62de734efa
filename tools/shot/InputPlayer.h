// Synthesised pointer and key input for the screenshot tool's scripts, as the
// platform's own input would arrive: XTest on Linux (InputPlayerX11.cpp),
// SendInput on Windows (InputPlayerWin32.cpp).
#pragma once

#include "tools/shot/InputScript.h"

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
    void* connection = nullptr;
};
