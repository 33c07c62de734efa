// What the display tests share: the layer's runtime, a "host" connection of
// their own with a foreign top-level window to embed into, input synthesised
// through the X test extension, and a pump that waits for a condition.
#pragma once

// GoogleTest first: the X headers define macros (None) that clash with it.
#include <gtest/gtest.h>

#include "pal/CPalWindow.h"
#include "pal/PalRunLoop.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <functional>

namespace ZVNPal::Testing {

class X11Harness : public ::testing::Test {
protected:
    static constexpr int kParentX = 100;
    static constexpr int kParentY = 80;

    void SetUp() override
    {
        host = OpenHostDisplay();
        if (!host || !StartGraphicsRuntime())
            GTEST_SKIP() << "no X display (set DISPLAY)";
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(host, &event, &error, &major, &minor));
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True; // placed exactly, with or without a window manager
        attributes.background_pixel = BlackPixel(host, DefaultScreen(host));
        attributes.event_mask = ButtonPressMask;
        parent = XCreateWindow(host, DefaultRootWindow(host), kParentX, kParentY, 400, 300, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask,
                               &attributes);
        XMapRaised(host, parent);
        XSync(host, False);
    }

    void TearDown() override
    {
        if (parent)
            XDestroyWindow(host, parent);
        if (host)
            XCloseDisplay(host);
        if (IsGraphicsRuntimeStarted())
            ShutdownGraphicsRuntime();
    }

public:
    // A loaded server may refuse a connection for a moment.
    static Display* OpenHostDisplay()
    {
        Display* display = XOpenDisplay(nullptr);
        for (int i = 0; !display && i < 20 && std::getenv("DISPLAY"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            display = XOpenDisplay(nullptr);
        }
        return display;
    }

protected:
    // Pumps the layer until the condition holds or a generous time passed.
    static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            RunEventLoop(5);
        }
        return true;
    }

    void MoveTo(int screenX, int screenY)
    {
        XTestFakeMotionEvent(host, DefaultScreen(host), screenX, screenY, CurrentTime);
        XSync(host, False);
    }
    void Button(unsigned button, bool down)
    {
        XTestFakeButtonEvent(host, button, down, CurrentTime);
        XSync(host, False);
    }
    void Click(unsigned button)
    {
        Button(button, true);
        Button(button, false);
    }
    void Key(unsigned long keysym, bool down)
    {
        XTestFakeKeyEvent(host, XKeysymToKeycode(host, keysym), down, CurrentTime);
        XSync(host, False);
    }
    void Tap(unsigned long keysym)
    {
        Key(keysym, true);
        Key(keysym, false);
    }

    // Wraps the host window and creates a child of the layer inside it at
    // (x, y) of the given size, shown.
    void Embed(CPalWindow& wrapper, CPalWindow& child, int x, int y, int width, int height)
    {
        ASSERT_EQ(wrapper.Attach(parent), kPalOk);
        ASSERT_EQ(child.Create("External VST Window", CPalRect(x, y, width, height), kPalWindowChild,
                               kPalStyleAcceptFiles, &wrapper),
                  kPalOk);
        child.Show(true);
        ASSERT_TRUE(PumpUntil([&] { return child.IsVisible(); }));
    }

    Display* host = nullptr;
    Window parent = 0;
};

} // namespace ZVNPal::Testing
