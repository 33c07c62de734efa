// The full-size panel window, 765 x 212.
#pragma once

#include "GUI/guiWindow.h"

class guiVSTWindow : public guiWindow
{
public:
    static constexpr int32_t kWidth = 765;
    static constexpr int32_t kHeight = 212;

    using guiWindow::guiWindow;
};
