// The free operations of the layer on X11: cursor, key and modifier tables,
// byte widening, documents through xdg-open, window screenshots and the
// absent help viewer.
#include "pal/PalFunctions.h"

#include "pal/IPalWindow.h"
#include "pal/x11/PalDisplay.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

extern char** environ;

namespace ZVNPal {

namespace {

int g_nCursorKind = kPalCursorArrow;

bool IsCursorKind(int kind) { return (kind >= kPalCursorArrow && kind <= kPalCursorCross) || kind == 7 || kind == 8; }

// The keys of the table that are neither digits, letters nor function keys.
// The keypad's navigation keys (NumLock off) are their plain twins.
constexpr std::array<std::pair<KeySym, std::int32_t>, 42> kKeys{{
    {XK_BackSpace, 1},    {XK_Return, 2},      {XK_KP_Enter, 2},     {XK_Shift_L, 3},      {XK_Shift_R, 3},
    {XK_Control_L, 4},    {XK_Control_R, 4},   {XK_Alt_L, 5},        {XK_Alt_R, 5},        {XK_Super_L, 6},
    {XK_Super_R, 6},      {XK_Escape, 7},      {XK_space, 8},        {XK_End, 9},          {XK_Home, 10},
    {XK_Delete, 11},      {XK_Prior, 12},      {XK_Next, 13},        {XK_Help, 14},        {XK_Up, 15},
    {XK_Down, 16},        {XK_Left, 17},       {XK_Right, 18},       {XK_Tab, 19},         {XK_KP_Multiply, 35},
    {XK_KP_Divide, 36},   {XK_KP_Add, 37},     {XK_KP_Subtract, 38}, {XK_bracketleft, 91}, {XK_bracketright, 93},
    {XK_ISO_Left_Tab, 19}, {XK_ISO_Level3_Shift, 5}, {XK_Meta_L, 5},
    {XK_KP_End, 9},       {XK_KP_Home, 10},    {XK_KP_Delete, 11},   {XK_KP_Prior, 12},    {XK_KP_Next, 13},
    {XK_KP_Up, 15},       {XK_KP_Down, 16},    {XK_KP_Left, 17},     {XK_KP_Right, 18},
}};

// Starts xdg-open on the path, detached: an intermediate shell puts it in
// the background and ends at once, so no child is left to reap.
bool StartOpener(const char* path)
{
    if (!path || !*path)
        return false;
    const char* argv[] = {"/bin/sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "ol7t-open", path, nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

void SetCursorKind(int kind)
{
    if (!IsCursorKind(kind) || kind == g_nCursorKind)
        return;
    g_nCursorKind = kind;
    if (PalDisplay* display = PalDisplay::Get())
        display->ApplyCursorEverywhere();
}

int GetCursorKind() { return g_nCursorKind; }

bool GetCursorPosition(std::int32_t* x, std::int32_t* y)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || !x || !y)
        return false;
    Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    unsigned mask = 0;
    return XQueryPointer(display->Dpy(), display->Root(), &root, &child, x, y, &windowX, &windowY, &mask);
}

std::int32_t TranslateKey(std::uint32_t nativeKey)
{
    const KeySym key = nativeKey;
    if (key >= XK_0 && key <= XK_9)
        return static_cast<std::int32_t>('0' + (key - XK_0));
    if (key >= XK_A && key <= XK_Z)
        return static_cast<std::int32_t>('A' + (key - XK_A));
    if (key >= XK_a && key <= XK_z)
        return static_cast<std::int32_t>('A' + (key - XK_a));
    if (key >= XK_F1 && key <= XK_F6)
        return static_cast<std::int32_t>(20 + (key - XK_F1));
    if (key == XK_F7 || key == XK_F8)
        return 26;
    if (key >= XK_F9 && key <= XK_F13)
        return static_cast<std::int32_t>(27 + (key - XK_F9));
    for (const auto& [sym, code] : kKeys)
        if (sym == key)
            return code;
    return 0;
}

std::uint32_t TranslateModifiers(std::uint32_t nativeFlags)
{
    static constexpr std::pair<std::uint32_t, std::uint32_t> kBits[] = {
        {Button1Mask, kPalModLeftButton}, {Button2Mask, kPalModMiddleButton}, {Button3Mask, kPalModRightButton},
        {ControlMask, kPalModControl},    {Mod1Mask, kPalModAlt},             {Mod4Mask, kPalModWindows},
        {ShiftMask, kPalModShift},
    };
    std::uint32_t modifiers = 0;
    for (const auto& [native, bit] : kBits)
        if (nativeFlags & native)
            modifiers |= bit;
    return modifiers;
}

bool OpenDocument(const char* path) { return StartOpener(path); }

bool OpenDocumentNormal(const char* path) { return StartOpener(path); }

bool SaveWindowImage(IPalWindow* window, const char* path)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || !window || window->GetHandle() == 0 || !path)
        return false;
    XWindowAttributes attributes;
    XImage* image = nullptr;
    const bool read = display->Trapped([&] {
        if (XGetWindowAttributes(display->Dpy(), window->GetHandle(), &attributes))
            image = XGetImage(display->Dpy(), window->GetHandle(), 0, 0, attributes.width, attributes.height,
                              AllPlanes, ZPixmap);
    });
    if (!read || !image)
        return false;
    const bool trueColour = image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image->width, image->height);
    bool written = false;
    if (trueColour && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < image->height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
            for (int x = 0; x < image->width; ++x)
                row[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        }
        cairo_surface_mark_dirty(surface);
        written = cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_destroy(surface);
    XDestroyImage(image);
    return written;
}

PalResult ShowHelp(IPalWindow*, const char*, std::uint32_t, std::uintptr_t) { return kPalOk; }

namespace {

constexpr double kReferenceDpi = 96.0;

// A positive, finite number that is all of `text`; 0 otherwise.
double PositiveNumber(const char* text)
{
    if (!text || !*text)
        return 0.0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return *end == '\0' && std::isfinite(value) && value > 0.0 ? value : 0.0;
}

// The "Xft.dpi" entry of the X resource database text, over 96; 0 when absent.
double ScaleOfResources(const char* resources)
{
    static constexpr char kName[] = "Xft.dpi:";
    for (const char* line = resources; line && *line;) {
        const char* end = std::strchr(line, '\n');
        const std::string text(line, end ? end : line + std::strlen(line));
        if (text.compare(0, sizeof kName - 1, kName) == 0) {
            const std::size_t first = text.find_first_not_of(" \t", sizeof kName - 1);
            if (first != std::string::npos)
                return PositiveNumber(text.c_str() + first) / kReferenceDpi;
        }
        line = end ? end + 1 : nullptr;
    }
    return 0.0;
}

// Asked once a process: hosts make views often, and the answer is the same.
double ScaleOfDisplay()
{
    static const double scale = [] {
        if (PalDisplay* display = PalDisplay::Get())
            return ScaleOfResources(XResourceManagerString(display->Dpy()));
        // Before the graphics runtime starts (a host asks the size first).
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return 0.0;
        const double found = ScaleOfResources(XResourceManagerString(dpy));
        XCloseDisplay(dpy);
        return found;
    }();
    return scale;
}

} // namespace

float GetDesktopScale()
{
    for (const char* name : {"GDK_SCALE", "QT_SCALE_FACTOR"})
        if (const double scale = PositiveNumber(std::getenv(name)); scale > 0.0)
            return static_cast<float>(scale);
    const double scale = ScaleOfDisplay();
    return scale > 0.0 ? static_cast<float>(scale) : 1.f;
}

} // namespace ZVNPal
