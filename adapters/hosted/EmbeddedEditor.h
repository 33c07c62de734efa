// The effect's editor placed into a host's X11 window by a format whose host
// knows no VST 3 view: it plays the view's frame, offers the view a run loop
// that the host's own call-backs poll, and passes size requests on.
#pragma once

#include "adapters/hosted/PolledRunLoop.h"

#include "pluginterfaces/gui/iplugview.h"

#include <cstdint>

class HostedEffect;

class EmbeddedEditor : public Steinberg::IPlugFrame
{
public:
    // The view asks for a new size; true when the host's window follows.
    using ResizeRequest = bool (*)(void* context, int32_t width, int32_t height);

    EmbeddedEditor(HostedEffect& effect, ResizeRequest request, void* context);
    ~EmbeddedEditor();
    EmbeddedEditor(const EmbeddedEditor&) = delete;
    EmbeddedEditor& operator=(const EmbeddedEditor&) = delete;

    // Makes the view; false when the effect offers none for X11.
    bool create();
    // Opens the editor inside the X11 window `parent`.
    bool attach(uintptr_t parent);
    // Closes the editor; the view stays for another attach.
    void detach();
    bool size(int32_t& width, int32_t& height) const;
    bool setSize(int32_t width, int32_t height);
    // The host's periodic call-back on its UI thread.
    void idle() { runLoop.poll(); }
    Steinberg::Linux::TimerInterval timerInterval() const { return runLoop.shortestInterval(); }

    // IPlugFrame
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    HostedEffect& effect;
    ResizeRequest request;
    void* context;
    Steinberg::IPlugView* view = nullptr;
    bool attached = false;
    PolledRunLoop runLoop;
};
