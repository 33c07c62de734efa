// The options button: the switch's release, then the options menu.
#include "GUI/guiOptionsButton.h"

#include "GUI/Editor.h"

guiOptionsButton::guiOptionsButton(int32_t number, int32_t x_, int32_t y_, int32_t width_, int32_t height_)
    : guiOnOff(number, x_, y_, width_, height_, 2, nullptr, nullptr, nullptr)
{
}

void guiOptionsButton::onMouseUp(int32_t px, int32_t py, uint32_t flags)
{
    guiOnOff::onMouseUp(px, py, flags);
    if (editor)
        editor->runOptionsMenu(*this);
}
