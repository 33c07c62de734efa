// Test support: the built bundle's editor opened the way a Linux host opens
// it, in a window of the test's own X connection, with a run loop, a
// recording component handler and input synthesised through the X test
// extension.
#pragma once

// GoogleTest first: the X headers define macros (None) that clash with it.
#include <gtest/gtest.h>

#include "gui/RecordingHandler.h"
#include "integration/BundleHost.h"
#include "tools/shot/HostFrame.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/gui/iplugview.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <unistd.h>

namespace testing_support {

// One initialised effect of the bundle with its controller and handler.
struct BundleEffect
{
    explicit BundleEffect(const BundleHost& host)
        : component(host.createComponent())
        , controller(queryInterface<Steinberg::Vst::IEditController>(component))
    {
        if (component)
            initialized = component->initialize(&context) == Steinberg::kResultOk;
        if (controller)
            controller->setComponentHandler(&handler);
    }
    ~BundleEffect()
    {
        if (controller) {
            controller->setComponentHandler(nullptr);
            controller->release();
        }
        if (component) {
            component->terminate();
            component->release();
        }
    }
    BundleEffect(const BundleEffect&) = delete;
    BundleEffect& operator=(const BundleEffect&) = delete;

    Steinberg::Vst::HostApplication context;
    RecordingHandler handler;
    Steinberg::Vst::IComponent* component;
    Steinberg::Vst::IEditController* controller;
    bool initialized = false;
};

class EditorHost : public ::testing::Test
{
protected:
    static constexpr int kParentX = 60;
    static constexpr int kParentY = 50;

    static void SetUpTestSuite()
    {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        // The editor's size: no user's settings and no desktop scale of the machine.
        setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
        unsetenv("GDK_SCALE");
        unsetenv("QT_SCALE_FACTOR");
    }

    static std::string configHome()
    {
        return (std::filesystem::temp_directory_path() / ("ol7t-editor-test-" + std::to_string(getpid()))).string();
    }

    void SetUp() override
    {
        // A loaded server may refuse a connection for a moment.
        display = XOpenDisplay(nullptr);
        for (int i = 0; !display && i < 40 && std::getenv("DISPLAY"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            display = XOpenDisplay(nullptr);
        }
        if (!display)
            GTEST_SKIP() << "no X display (set DISPLAY)";
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
        parent = XCreateWindow(display, DefaultRootWindow(display), kParentX, kParentY, 800, 300, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(display, parent);
        XSync(display, False);
        frame = new HostFrame;
    }

    void TearDown() override
    {
        if (frame)
            frame->release();
        if (parent)
            XDestroyWindow(display, parent);
        if (display)
            XCloseDisplay(display);
    }

    Steinberg::IPlugView* openEditor(BundleEffect& effect)
    {
        Steinberg::IPlugView* view = effect.controller->createView("editor");
        if (!view)
            return nullptr;
        view->setFrame(frame);
        if (view->attached(reinterpret_cast<void*>(parent), Steinberg::kPlatformTypeX11EmbedWindowID) !=
            Steinberg::kResultOk) {
            view->release();
            return nullptr;
        }
        return view;
    }

    static void closeEditor(Steinberg::IPlugView* view)
    {
        view->removed();
        view->setFrame(nullptr);
        view->release();
    }

    void pump(int ms) { frame->run(ms); }

    bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
    {
        for (int waited = 0; !done(); waited += 10) {
            if (waited > timeoutMs)
                return false;
            pump(10);
        }
        return true;
    }

    // Pointer input in panel coordinates.
    void moveTo(int x, int y)
    {
        XTestFakeMotionEvent(display, -1, kParentX + x, kParentY + y, 0);
        XFlush(display);
        pump(15);
    }
    void button(unsigned which, bool down)
    {
        XTestFakeButtonEvent(display, which, down, 0);
        XFlush(display);
        pump(15);
    }
    void click(int x, int y)
    {
        moveTo(x, y);
        button(Button1, true);
        button(Button1, false);
    }

    // A checksum of what the panel shows in a rectangle.
    uint64_t picture(int x, int y, int width, int height)
    {
        XSync(display, False);
        XImage* image = XGetImage(display, parent, x, y, width, height, AllPlanes, ZPixmap);
        if (!image)
            return 0;
        uint64_t sum = 1469598103934665603ull;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                sum = (sum ^ XGetPixel(image, column, row)) * 1099511628211ull;
        XDestroyImage(image);
        return sum;
    }

    // Descriptors open in this process: display connections among them.
    static int openDescriptors()
    {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            (void)entry;
            ++count;
        }
        return count;
    }

    BundleHost bundle{OL7T_BUNDLE_DIR};
    Display* display = nullptr;
    Window parent = 0;
    HostFrame* frame = nullptr;
};

} // namespace testing_support
