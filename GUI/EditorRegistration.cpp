// Part of the plug-in library only: gives the effect its editor view, so the
// core library itself stays free of windows and drawing.
#include "GUI/Editor.h"
#include "core/ol7t.h"

#include <new>

namespace {

IPlugView* makeEditor(ol7t* effect)
{
    return new (std::nothrow) Editor(effect);
}

const bool registered = (ol7t::editorFactory = makeEditor, true);

} // namespace
