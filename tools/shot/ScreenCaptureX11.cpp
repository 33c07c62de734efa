// Reading the screen through the root window: unlike reading the panel's own
// window, this shows whatever lies on top of it, as the user sees it.
#include "tools/shot/ScreenCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

bool overlaps(const ScreenArea& a, const ScreenArea& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

ScreenArea unite(const ScreenArea& a, const ScreenArea& b)
{
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

ScreenArea clipped(const ScreenArea& a, const ScreenArea& screen)
{
    const int left = std::max(a.x, screen.x), top = std::max(a.y, screen.y);
    const int right = std::min(a.x + a.width, screen.width), bottom = std::min(a.y + a.height, screen.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// The panel's area grown by every shown override-redirect window (the
// layer's tool tips and menus) that overlaps it.
ScreenArea withPopups(Display* display, Window root, const ScreenArea& panel)
{
    ScreenArea area = panel;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return area;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, children[i], &a) || !a.override_redirect || a.map_state != IsViewable)
            continue;
        const ScreenArea popup{a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width};
        if (overlaps(popup, panel))
            area = unite(area, popup);
    }
    if (children)
        XFree(children);
    return area;
}

std::string writePng(XImage* image, const std::string& path)
{
    if (image->red_mask != 0xFF0000 || image->green_mask != 0xFF00 || image->blue_mask != 0xFF)
        return "the screen is not a true-colour visual";
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, image->width, image->height), cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return "out of memory for the picture";
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < image->height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
        for (int x = 0; x < image->width; ++x)
            row[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    cairo_surface_mark_dirty(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        return "cannot write " + path;
    return {};
}

} // namespace

std::string saveScreenArea(ZVNPal::IPalWindow*, const ScreenArea& panel, const std::string& path, ScreenArea& written)
{
    std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return "no X display";
    const Window root = DefaultRootWindow(display.get());
    const int screen = DefaultScreen(display.get());
    const ScreenArea whole{0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)};
    written = clipped(withPopups(display.get(), root, panel), whole);
    if (written.width <= 0 || written.height <= 0)
        return "the editor is not on the screen";
    XImage* image =
        XGetImage(display.get(), root, written.x, written.y, static_cast<unsigned>(written.width),
                  static_cast<unsigned>(written.height), AllPlanes, ZPixmap);
    if (!image)
        return "cannot read the screen";
    std::string error = writePng(image, path);
    XDestroyImage(image);
    return error;
}
