// The X11 message dialog: one window with the text, an icon mark and a row of
// buttons, run in its own event loop on its own display connection until the
// user answers.
#include "pal/NativeMessageBox.h"

#include "pal/Utf8ToUtf16.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace ZVNPal {
namespace {

constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kButtonMinWidth = 75;
constexpr int kButtonHeight = 24;
constexpr int kButtonTextPadding = 20;
constexpr int kButtonGap = 8;
constexpr int kMinDialogWidth = 240;
constexpr int kMaxParentWalk = 64;
const char kUnicodeFont[] = "-misc-fixed-medium-r-normal--13-*-*-*-*-*-iso10646-1";
const char kFallbackFont[] = "fixed";

struct Button {
    const char* label;
    int result;
    int x = 0, y = 0, width = 0;
};

std::vector<Button> buttonsFor(int buttons, int flags)
{
    std::vector<Button> row;
    switch (buttons) {
    case kMessageBoxOkCancel:
        row = {{"OK", kMessageBoxResultOk}, {"Cancel", kMessageBoxResultCancel}};
        break;
    case kMessageBoxYesNo:
        row = {{"Yes", kMessageBoxResultYes}, {"No", kMessageBoxResultNo}};
        break;
    case kMessageBoxYesNoCancel:
        row = {{"Yes", kMessageBoxResultYes}, {"No", kMessageBoxResultNo}, {"Cancel", kMessageBoxResultCancel}};
        break;
    default:
        row = {{"OK", kMessageBoxResultOk}};
        break;
    }
    if (flags & kMessageBoxHelpButton)
        row.push_back({"Help", kMessageBoxResultHelp});
    return row;
}

// The answer of Escape and of the window's close button: Cancel where there
// is one, OK for a lone OK; a Yes/No question has to be answered.
int dismissAnswer(const std::vector<Button>& row)
{
    for (const Button& button : row) {
        if (button.result == kMessageBoxResultCancel)
            return kMessageBoxResultCancel;
    }
    return row.front().result == kMessageBoxResultOk ? kMessageBoxResultOk : kMessageBoxResultOther;
}

int ignoreXError(Display*, XErrorEvent*) { return 0; }

// An owner id from the caller may be stale; its errors must not end the host.
class ScopedErrorHandler {
public:
    ScopedErrorHandler() : m_previous(XSetErrorHandler(ignoreXError)) {}
    ~ScopedErrorHandler() { XSetErrorHandler(m_previous); }
    ScopedErrorHandler(const ScopedErrorHandler&) = delete;
    ScopedErrorHandler& operator=(const ScopedErrorHandler&) = delete;

private:
    int (*m_previous)(Display*, XErrorEvent*);
};

Window rootOwner(Display* display, Window window)
{
    for (int step = 0; window && step < kMaxParentWalk; ++step) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (window == root)
            return 0;
        if (parent == root || parent == 0)
            return window;
        window = parent;
    }
    return 0;
}

Window focusedOrGiven(Display* display, Window window)
{
    if (window)
        return window;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return (focus == None || focus == PointerRoot) ? 0 : focus;
}

std::u16string widenAscii(const char* text)
{
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

class Dialog {
public:
    Dialog(Display* display, const MessageBoxRequest& request, const std::u16string& text)
        : m_display(display), m_screen(DefaultScreen(display)), m_icon(request.icon),
          m_buttons(buttonsFor(request.buttons, request.flags))
    {
        m_font = XLoadQueryFont(display, kUnicodeFont);
        if (!m_font)
            m_font = XLoadQueryFont(display, kFallbackFont);
        splitLines(text);
    }

    ~Dialog()
    {
        if (m_gc)
            XFreeGC(m_display, m_gc);
        if (m_window)
            XDestroyWindow(m_display, m_window);
        if (m_font)
            XFreeFont(m_display, m_font);
    }

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    bool usable() const { return m_font != nullptr; }

    int run(const MessageBoxRequest& request, const std::u16string& title, Window owner)
    {
        layout();
        createWindow(request, title, owner);
        return eventLoop();
    }

private:
    void splitLines(const std::u16string& text)
    {
        std::u16string line;
        for (char16_t unit : text) {
            if (unit == u'\n') {
                m_lines.push_back(line);
                line.clear();
            } else if (unit != u'\r') {
                line.push_back(unit);
            }
        }
        m_lines.push_back(line);
    }

    std::vector<XChar2b> glyphs(const std::u16string& text) const
    {
        // A font of one byte row shows only the first 256 code points.
        const bool singleRow = m_font->max_byte1 == 0;
        std::vector<XChar2b> result;
        for (char16_t unit : text) {
            const char16_t shown = (singleRow && unit > 0xFF) ? u'?' : unit;
            result.push_back({static_cast<unsigned char>(shown >> 8), static_cast<unsigned char>(shown & 0xFF)});
        }
        return result;
    }

    int textWidth(const std::u16string& text) const
    {
        const auto chars = glyphs(text);
        return XTextWidth16(m_font, chars.data(), static_cast<int>(chars.size()));
    }

    int lineHeight() const { return m_font->ascent + m_font->descent + 2; }

    void layout()
    {
        int textBlockWidth = 0;
        for (const auto& line : m_lines)
            textBlockWidth = std::max(textBlockWidth, textWidth(line));
        const int textLeft = kMargin + (m_icon ? kIconSize + kMargin : 0);
        const int textHeight = std::max(static_cast<int>(m_lines.size()) * lineHeight(), m_icon ? kIconSize : 0);
        int rowWidth = 0;
        for (Button& button : m_buttons) {
            button.width = std::max(kButtonMinWidth, textWidth(widenAscii(button.label)) + kButtonTextPadding);
            rowWidth += button.width + kButtonGap;
        }
        rowWidth -= kButtonGap;
        m_width = std::max({kMinDialogWidth, textLeft + textBlockWidth + kMargin, rowWidth + 2 * kMargin});
        m_height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;
        m_textLeft = textLeft;
        int x = m_width - kMargin - rowWidth;
        for (Button& button : m_buttons) {
            button.x = x;
            button.y = m_height - kMargin - kButtonHeight;
            x += button.width + kButtonGap;
        }
    }

    unsigned long colour(unsigned rgb) const
    {
        XColor c{};
        c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
        c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
        c.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
        if (XAllocColor(m_display, DefaultColormap(m_display, m_screen), &c))
            return c.pixel;
        return (rgb & 0x808080) ? WhitePixel(m_display, m_screen) : BlackPixel(m_display, m_screen);
    }

    void setAtomProperty(const char* property, std::vector<const char*> names)
    {
        std::vector<Atom> atoms;
        for (const char* name : names)
            atoms.push_back(XInternAtom(m_display, name, False));
        XChangeProperty(m_display, m_window, XInternAtom(m_display, property, False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
    }

    void createWindow(const MessageBoxRequest& request, const std::u16string& title, Window owner)
    {
        const Window root = RootWindow(m_display, m_screen);
        const int x = std::max(0, (DisplayWidth(m_display, m_screen) - m_width) / 2);
        const int y = std::max(0, (DisplayHeight(m_display, m_screen) - m_height) / 2);
        m_window = XCreateSimpleWindow(m_display, root, x, y, static_cast<unsigned>(m_width),
                                       static_cast<unsigned>(m_height), 1, BlackPixel(m_display, m_screen),
                                       colour(0xECECEC));
        XSelectInput(m_display, m_window, ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask);

        const std::string titleBytes = Utf16ToUtf8(title.c_str(), title.size());
        XStoreName(m_display, m_window, titleBytes.c_str());
        XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_NAME", False),
                        XInternAtom(m_display, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(titleBytes.data()), static_cast<int>(titleBytes.size()));
        m_closeAtom = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(m_display, m_window, &m_closeAtom, 1);
        setAtomProperty("_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_DIALOG"});
        if (request.flags & (kMessageBoxSystemModal | kMessageBoxForeground))
            setAtomProperty("_NET_WM_STATE", {"_NET_WM_STATE_MODAL", "_NET_WM_STATE_ABOVE"});
        else
            setAtomProperty("_NET_WM_STATE", {"_NET_WM_STATE_MODAL"});
        // X has no disabled windows: a modal dialog transient for the owner's
        // top-level window asks the window manager to keep the owner blocked.
        if (owner)
            XSetTransientForHint(m_display, m_window, owner);

        XSizeHints hints{};
        hints.flags = PPosition | PMinSize | PMaxSize;
        hints.x = x;
        hints.y = y;
        hints.min_width = hints.max_width = m_width;
        hints.min_height = hints.max_height = m_height;
        XSetWMNormalHints(m_display, m_window, &hints);

        m_gc = XCreateGC(m_display, m_window, 0, nullptr);
        XSetFont(m_display, m_gc, m_font->fid);
        XMapRaised(m_display, m_window);
    }

    void drawText(int x, int baseline, const std::u16string& text)
    {
        const auto chars = glyphs(text);
        XDrawString16(m_display, m_window, m_gc, x, baseline, chars.data(), static_cast<int>(chars.size()));
    }

    void drawIcon()
    {
        static const struct { unsigned colour; char16_t mark; } kIcons[] = {
            {0, 0}, {0xC62828, u'X'}, {0x1565C0, u'?'}, {0xF9A825, u'!'}, {0x1565C0, u'i'},
        };
        if (m_icon <= kMessageBoxIconNone || m_icon > kMessageBoxIconInformation)
            return;
        XSetForeground(m_display, m_gc, colour(kIcons[m_icon].colour));
        XFillArc(m_display, m_window, m_gc, kMargin, kMargin, kIconSize, kIconSize, 0, 360 * 64);
        XSetForeground(m_display, m_gc, colour(0xFFFFFF));
        const std::u16string mark(1, kIcons[m_icon].mark);
        drawText(kMargin + (kIconSize - textWidth(mark)) / 2, kMargin + (kIconSize + m_font->ascent) / 2, mark);
    }

    void draw()
    {
        drawIcon();
        XSetForeground(m_display, m_gc, colour(0x000000));
        int baseline = kMargin + m_font->ascent;
        for (const auto& line : m_lines) {
            drawText(m_textLeft, baseline, line);
            baseline += lineHeight();
        }
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            const Button& button = m_buttons[i];
            XSetForeground(m_display, m_gc, colour(0xFAFAFA));
            const auto width = static_cast<unsigned>(button.width);
            XFillRectangle(m_display, m_window, m_gc, button.x, button.y, width, kButtonHeight);
            XSetForeground(m_display, m_gc, colour(i == 0 ? 0x1565C0 : 0x808080));
            XDrawRectangle(m_display, m_window, m_gc, button.x, button.y, width, kButtonHeight);
            XSetForeground(m_display, m_gc, colour(0x000000));
            const std::u16string label = widenAscii(button.label);
            drawText(button.x + (button.width - textWidth(label)) / 2,
                     button.y + (kButtonHeight + m_font->ascent - m_font->descent) / 2, label);
        }
    }

    const Button* hit(int x, int y) const
    {
        for (const Button& button : m_buttons) {
            if (x >= button.x && x < button.x + button.width && y >= button.y && y < button.y + kButtonHeight)
                return &button;
        }
        return nullptr;
    }

    int eventLoop()
    {
        const Button* pressed = nullptr;
        for (;;) {
            XEvent event;
            XNextEvent(m_display, &event);
            switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0)
                    draw();
                break;
            case ButtonPress:
                if (event.xbutton.button == Button1)
                    pressed = hit(event.xbutton.x, event.xbutton.y);
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 && pressed && pressed == hit(event.xbutton.x, event.xbutton.y))
                    return pressed->result;
                pressed = nullptr;
                break;
            case KeyPress: {
                const KeySym key = XLookupKeysym(&event.xkey, 0);
                if (key == XK_Return || key == XK_KP_Enter || key == XK_space)
                    return m_buttons.front().result;
                if (key == XK_Escape && dismissAnswer(m_buttons) != kMessageBoxResultOther)
                    return dismissAnswer(m_buttons);
                break;
            }
            case ClientMessage:
                if (static_cast<Atom>(event.xclient.data.l[0]) == m_closeAtom
                    && dismissAnswer(m_buttons) != kMessageBoxResultOther)
                    return dismissAnswer(m_buttons);
                break;
            default:
                break;
            }
        }
    }

    Display* m_display;
    int m_screen;
    int m_icon;
    std::vector<Button> m_buttons;
    std::vector<std::u16string> m_lines;
    XFontStruct* m_font = nullptr;
    Window m_window = 0;
    GC m_gc = nullptr;
    Atom m_closeAtom = 0;
    int m_width = 0, m_height = 0, m_textLeft = 0;
};

} // namespace

bool ShowNativeMessageBox(const MessageBoxRequest& request, const std::u16string& title,
                          const std::u16string& text, int& result)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    bool shown = false;
    {
        ScopedErrorHandler errors;
        const Window owner = request.owner ? rootOwner(display, request.owner) : 0;
        {
            Dialog dialog(display, request, text);
            if (dialog.usable()) {
                result = dialog.run(request, title, owner);
                shown = true;
            }
        }
        // The owner gets the focus back once the dialog is gone.
        if (request.owner)
            XSetInputFocus(display, request.owner, RevertToParent, CurrentTime);
        XSync(display, False);
    }
    XCloseDisplay(display);
    return shown;
}

// Follows parents up to the child of the root window.
PalNativeWindow NativeTopLevelOwner(PalNativeWindow window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    PalNativeWindow owner = 0;
    {
        ScopedErrorHandler errors;
        owner = rootOwner(display, focusedOrGiven(display, window));
        XSync(display, False);
    }
    XCloseDisplay(display);
    return owner;
}

} // namespace ZVNPal
