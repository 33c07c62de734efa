// A tool tip that follows a position given by the editor. Slot order is contract.
#pragma once

#include "pal/PalTypes.h"

namespace ZVNPal {

class IPalWindow;

class IPalToolTip {
public:
    virtual bool Create(IPalWindow* owner, PalModuleInstance instance, bool balloon) = 0;
    virtual void ShowTip(bool show) = 0;
    virtual void Reserved2() {}
    virtual void SetOffset(std::int32_t dx, std::int32_t dy) = 0;
    // Screen coordinates; the offset is added.
    virtual void SetTipPosition(std::int32_t x, std::int32_t y) = 0;
    virtual void SetText(const char* text) = 0;
    virtual void SetTitle(const char* text) = 0;
    virtual void SetAutoHide(std::uint32_t milliseconds) = 0;
    virtual ~IPalToolTip() = default;
    virtual bool IsShown() = 0;
};

} // namespace ZVNPal
