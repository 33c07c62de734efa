// Override-redirect pop-up windows for tool tips and menus.
#include "pal/x11/PalPopup.h"

#include "pal/CPalFont.h"
#include "pal/CPalOffScreenDC.h"

#include <X11/Xutil.h>

namespace ZVNPal {

PalPopup::PalPopup(PalDisplay& display, Painter painter, PalDisplay::EventHandler onEvent)
    : m_pDisplay(&display), m_painter(std::move(painter))
{
    Display* dpy = display.Dpy();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    m_nWindow = XCreateWindow(dpy, display.Root(), 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
    XClassHint classHint{const_cast<char*>("ol7t"), const_cast<char*>("PAL_popup")};
    XSetClassHint(dpy, m_nWindow, &classHint);
    XWindowAttributes created;
    XGetWindowAttributes(dpy, m_nWindow, &created);
    m_pVisual = created.visual;
    m_nDepth = created.depth;
    display.AddWindow(
        m_nWindow,
        [this, onEvent](XEvent& event) {
            if (event.type == Expose && event.xexpose.count == 0)
                Repaint();
            if (onEvent)
                onEvent(event);
        },
        nullptr);
}

PalPopup::~PalPopup()
{
    // After the connection closed, its windows are gone with it.
    if (!Alive())
        return;
    m_pDisplay->RemoveWindow(m_nWindow);
    XDestroyWindow(m_pDisplay->Dpy(), m_nWindow);
    XFlush(m_pDisplay->Dpy());
}

void PalPopup::Place(int x, int y, int width, int height)
{
    if (!Alive())
        return;
    m_nX = x, m_nY = y;
    m_nWidth = width > 0 ? width : 1;
    m_nHeight = height > 0 ? height : 1;
    XMoveResizeWindow(m_pDisplay->Dpy(), m_nWindow, m_nX, m_nY, m_nWidth, m_nHeight);
    if (m_bShown)
        Repaint();
}

void PalPopup::Show()
{
    if (!Alive())
        return;
    m_bShown = true;
    XMapRaised(m_pDisplay->Dpy(), m_nWindow);
    Repaint();
}

void PalPopup::Hide()
{
    if (!Alive())
        return;
    m_bShown = false;
    XUnmapWindow(m_pDisplay->Dpy(), m_nWindow);
    XFlush(m_pDisplay->Dpy());
}

void PalPopup::Repaint()
{
    if (!m_bShown || !Alive())
        return;
    CPalOffScreenDC image(static_cast<IPalDC*>(nullptr), m_nWidth, m_nHeight);
    if (!image.GetHandle())
        return;
    m_painter(image, m_nWidth, m_nHeight);
    m_pDisplay->Present(m_nWindow, m_pVisual, m_nDepth, cairo_get_target(static_cast<cairo_t*>(image.GetHandle())), 0, 0,
                        m_nWidth, m_nHeight);
}

CPalFont& PopupFont(bool bold)
{
    // The classic small user-interface font: 8 points, normal or bold.
    static CPalFont normal, heavy;
    CPalFont& font = bold ? heavy : normal;
    if (!font.IsCreated())
        font.Create(kPalFaceTahoma, 8.0f, bold ? kPalWeightBold : kPalWeightNormal, kPalQualityAntialiased, 0, false,
                    false, false, 0.0f);
    return font;
}

void MeasurePopupText(const char* text, bool bold, int* width, int* height)
{
    CPalOffScreenDC scratch(static_cast<IPalDC*>(nullptr), 1, 1);
    scratch.SelectFont(&PopupFont(bold));
    if (scratch.MeasureText(width, height, text) != kPalOk)
        *width = *height = 0;
}

} // namespace ZVNPal
