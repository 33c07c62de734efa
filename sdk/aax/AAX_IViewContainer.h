// The host's native window that an effect's editor is placed into.
#pragma once

#include "sdk/aax/AAX.h"

class AAX_IViewContainer
{
public:
    virtual ~AAX_IViewContainer() = default;
    virtual AAX_EViewContainer_Type GetType() const = 0;
    // The native window: an HWND, an NSView or an X11 window ID.
    virtual void* GetPtr() const = 0;
    // Asks the host to give the editor a new size.
    virtual AAX_Result SetViewSize(const AAX_Point& size) = 0;
};
