// The compact panel of the channel-strip module, 198 x 249: the wheel goes to
// the host, focus is dropped when the window loses it, help opens a file.
#pragma once

#include "GUI/guiVSTWindow.h"

class guiSVModuleWindow : public guiVSTWindow
{
public:
    static constexpr int32_t kWidth = 198;
    static constexpr int32_t kHeight = 249;

    using guiVSTWindow::guiVSTWindow;

    int onMouseWheel(int32_t x, int32_t y, uint32_t flags, int32_t delta) override;
    int onFocusLost() override;
    int onHelp() override;
    bool showsCopyright() const override { return false; }
};
