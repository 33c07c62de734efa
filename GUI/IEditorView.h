// What the effect calls on its attached editor. The effect knows the editor
// only through this interface, so the core library links no window code.
#pragma once

#include <cstdint>

class IEditorView
{
public:
    // Any thread: moves the control of a parameter.
    virtual void onParameterChanged(uint32_t id, float value) = 0;
    // The channel-strip host's automation-write mark of a parameter.
    virtual void onWriteStateChanged(uint32_t id, bool shown) = 0;
    // Gives the panel its about image, once the effect knows the editor.
    virtual void setUpAbout() = 0;
    virtual ~IEditorView() = default;
};
