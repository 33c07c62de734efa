// X drag and drop (protocol version 5), target side: XdndEnter, XdndPosition,
// XdndLeave and XdndDrop in, XdndStatus and XdndFinished out; the files come
// as a text/uri-list through the XdndSelection selection.
#include "pal/x11/XdndTarget.h"

#include "pal/x11/PalDisplay.h"

#include <X11/Xatom.h>

#include <cctype>
#include <cstring>

namespace ZVNPal {

namespace {

constexpr long kXdndVersion = 5;
constexpr char kUriList[] = "text/uri-list";
// Larger lists are not read: no one drops a megabyte of file names.
constexpr long kMaxListLongs = 256 * 1024;
constexpr int kMaxInlineTypes = 3;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "%20" and the like; an incomplete escape is kept as it stands.
std::string PercentDecoded(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string PathOfUri(const std::string& uri)
{
    static constexpr char kScheme[] = "file:";
    if (uri.compare(0, sizeof kScheme - 1, kScheme) != 0)
        return {};
    std::string rest = uri.substr(sizeof kScheme - 1);
    if (rest.compare(0, 2, "//") == 0) {
        // file://host/path: only this machine's files.
        const std::size_t slash = rest.find('/', 2);
        const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        if (slash == std::string::npos || (!host.empty() && host != "localhost"))
            return {};
        rest = rest.substr(slash);
    }
    const std::string path = PercentDecoded(rest);
    // A path with a zero byte in it names no file.
    return path.empty() || path[0] != '/' || path.find('\0') != std::string::npos ? std::string() : path;
}

} // namespace

XdndTarget::XdndTarget(Window window, DropAction action, void* user) : m_window(window), m_action(action), m_user(user)
{
}

void XdndTarget::Announce(PalDisplay& display, Window window)
{
    const long version = kXdndVersion;
    XChangeProperty(display.Dpy(), window, display.Intern("XdndAware"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
}

std::vector<std::string> XdndTarget::PathsOfUriList(const std::string& list)
{
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::string path = PathOfUri(line);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

bool XdndTarget::OffersUriList(const XClientMessageEvent& enter) const
{
    PalDisplay* display = PalDisplay::Get();
    const Atom uriList = display->Intern(kUriList);
    constexpr long kMoreTypes = 1;
    if (!(enter.data.l[1] & kMoreTypes)) {
        for (int i = 0; i < kMaxInlineTypes; ++i)
            if (static_cast<Atom>(enter.data.l[2 + i]) == uriList)
                return true;
        return false;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool found = false;
    display->Trapped([&] {
        if (XGetWindowProperty(display->Dpy(), m_source, display->Intern("XdndTypeList"), 0, kMaxListLongs, False,
                               XA_ATOM, &type, &format, &count, &remaining, &data) == Success &&
            data && format == 32) {
            const auto* types = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count && !found; ++i)
                found = types[i] == uriList;
        }
    });
    if (data)
        XFree(data);
    return found;
}

void XdndTarget::Reply(const char* message, long accepted, long action) const
{
    PalDisplay* display = PalDisplay::Get();
    XEvent reply{};
    reply.xclient.type = ClientMessage;
    reply.xclient.display = display->Dpy();
    reply.xclient.window = m_source;
    reply.xclient.message_type = display->Intern(message);
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = static_cast<long>(m_window);
    reply.xclient.data.l[1] = accepted;
    reply.xclient.data.l[2] = std::strcmp(message, "XdndFinished") == 0 ? action : 0;
    reply.xclient.data.l[4] = std::strcmp(message, "XdndStatus") == 0 ? action : 0;
    display->Trapped([&] { XSendEvent(display->Dpy(), m_source, False, NoEventMask, &reply); });
    XFlush(display->Dpy());
}

void XdndTarget::Reset()
{
    m_source = 0;
    m_usable = false;
}

bool XdndTarget::OnClientMessage(const XClientMessageEvent& e)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || e.format != 32)
        return false;
    const Atom type = e.message_type;
    const auto source = static_cast<Window>(e.data.l[0]);
    const long copy = static_cast<long>(display->Intern("XdndActionCopy"));
    if (type == display->Intern("XdndEnter")) {
        m_source = source;
        m_usable = OffersUriList(e);
        return true;
    }
    if (source == 0 || source != m_source)
        return type == display->Intern("XdndPosition") || type == display->Intern("XdndDrop") ||
               type == display->Intern("XdndLeave");
    if (type == display->Intern("XdndPosition")) {
        const long packed = e.data.l[2];
        m_point = PalPoint{static_cast<std::int32_t>((packed >> 16) & 0xFFFF),
                           static_cast<std::int32_t>(packed & 0xFFFF)};
        constexpr long kAccepts = 1;
        Reply("XdndStatus", m_usable ? kAccepts : 0, m_usable ? copy : 0);
        return true;
    }
    if (type == display->Intern("XdndLeave")) {
        Reset();
        return true;
    }
    if (type == display->Intern("XdndDrop")) {
        if (!m_usable) {
            Reply("XdndFinished", 0, 0);
            Reset();
            return true;
        }
        const Atom selection = display->Intern("XdndSelection");
        XConvertSelection(display->Dpy(), selection, display->Intern(kUriList), selection, m_window,
                          static_cast<Time>(e.data.l[2]));
        XFlush(display->Dpy());
        return true;
    }
    return false;
}

bool XdndTarget::OnSelectionNotify(const XSelectionEvent& e)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || m_source == 0 || e.selection != display->Intern("XdndSelection"))
        return false;
    std::vector<std::string> paths;
    if (e.property != None) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display->Dpy(), m_window, e.property, 0, kMaxListLongs, True, AnyPropertyType, &type,
                               &format, &count, &remaining, &data) == Success &&
            data && format == 8)
            paths = PathsOfUriList(std::string(reinterpret_cast<const char*>(data), count));
        if (data)
            XFree(data);
    }
    const long copy = static_cast<long>(display->Intern("XdndActionCopy"));
    constexpr long kAccepted = 1;
    Reply("XdndFinished", paths.empty() ? 0 : kAccepted, paths.empty() ? 0 : copy);
    const PalPoint point = m_point;
    Reset();
    if (!paths.empty())
        m_action(m_user, point, paths);
    return true;
}

} // namespace ZVNPal
