// The receiving side of X drag and drop for one window: it announces the
// window as a drop target, answers a drag's position messages, fetches the
// dropped list of files and tells the source when the drop is done.
#pragma once

#include "pal/PalTypes.h"

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace ZVNPal {

class PalDisplay;

class XdndTarget {
public:
    // The dropped files in client coordinates of the window.
    using DropAction = void (*)(void* user, const PalPoint& screenPoint, const std::vector<std::string>& paths);

    XdndTarget(Window window, DropAction action, void* user);

    // Sets XdndAware on the window, so sources offer it their drags.
    static void Announce(PalDisplay& display, Window window);
    // Local files of a text/uri-list: "file:" addresses decoded; comments,
    // other schemes and files of other hosts left out.
    static std::vector<std::string> PathsOfUriList(const std::string& list);

    // True when the message or selection answer belonged to a drag.
    bool OnClientMessage(const XClientMessageEvent& e);
    bool OnSelectionNotify(const XSelectionEvent& e);

private:
    void Reply(const char* message, long accepted, long action) const;
    bool OffersUriList(const XClientMessageEvent& enter) const;
    void Reset();

    Window m_window;
    DropAction m_action;
    void* m_user;
    Window m_source = 0;
    bool m_usable = false;
    PalPoint m_point{0, 0};
};

} // namespace ZVNPal
