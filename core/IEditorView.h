// What the effect calls on its attached editor, always on the user-interface
// thread. The effect knows the editor only through this interface, so the
// core library links no window code. Changes made on other threads never
// reach the editor this way: the effect marks them (ChangeMask) and the
// editor picks them up on its own tick.
#pragma once

class IEditorView
{
public:
    // Gives the panel its about image, once the effect knows the editor.
    virtual void setUpAbout() = 0;
    virtual ~IEditorView() = default;
};
