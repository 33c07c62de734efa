// The invisible button that opens the editor's options menu when released.
#pragma once

#include "GUI/guiOnOff.h"

class Editor;

class guiOptionsButton : public guiOnOff
{
public:
    guiOptionsButton(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height);

    void setEditor(Editor* owner) { editor = owner; }
    void onMouseUp(int32_t x, int32_t y, uint32_t flags) override;

private:
    Editor* editor = nullptr;
};
