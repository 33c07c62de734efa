// A short script of pointer and key input for the screenshot tool, one
// command a line: "move X Y" (panel coordinates), "down B", "up B" (button 1
// left, 3 right), "key NAME" (an X key name such as Up or End, pressed and
// released), "keydown NAME" and "keyup NAME" (held across the lines between,
// for instance Shift during a drag), "wheel up N" or "wheel down N" (N notches),
// "wait MS". Blank lines and lines starting with '#' are skipped.
#pragma once

#include <string>
#include <vector>

struct InputStep
{
    enum Kind { Move, Down, Up, Key, KeyDown, KeyUp, Wheel, Wait } kind = Wait;
    int a = 0; // x, button, milliseconds, or wheel notches (positive away from the user)
    int b = 0; // y
    std::string key;
};

// Parses the script text; on a bad line returns false with a message naming it.
bool parseInputScript(const std::string& text, std::vector<InputStep>& steps, std::string& error);
