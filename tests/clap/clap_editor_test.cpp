// The CLAP plug-in's editor in a window of the test's own, driven by the
// host's timer: it opens, follows the host's changes, sends the user's edits
// to the host and closes.
#include <gtest/gtest.h>

#include "clap/ClapHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

using namespace testing_support;

namespace {

constexpr int kGainKnobX = 246;
constexpr int kGainKnobY = 135;

class ClapEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        display = XOpenDisplay(nullptr);
        if (!display)
            GTEST_SKIP() << "no X display (set DISPLAY)";
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        parent = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 800, 300, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(display, parent);
        XSync(display, False);
        ASSERT_NE(library.factory, nullptr);
        plugin = library.factory->create_plugin(library.factory, &host.host,
                                                library.factory->get_plugin_descriptor(library.factory, 0)->id);
        ASSERT_TRUE(plugin && plugin->init(plugin));
        gui = clapExtension<clap_plugin_gui_t>(plugin, CLAP_EXT_GUI);
        timer = clapExtension<clap_plugin_timer_support_t>(plugin, CLAP_EXT_TIMER_SUPPORT);
        params = clapExtension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
    }
    void TearDown() override
    {
        if (plugin)
            plugin->destroy(plugin);
        if (display) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    // The host's timer firing for `ms` milliseconds.
    void run(int ms)
    {
        for (int t = 0; t < ms; t += 10) {
            timer->on_timer(plugin, 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool runUntil(const std::function<bool()>& done)
    {
        for (int t = 0; t < 3000; t += 10) {
            if (done())
                return true;
            run(10);
        }
        return false;
    }
    uint64_t gainPicture()
    {
        XSync(display, False);
        XImage* image = XGetImage(display, parent, kGainKnobX - 40, kGainKnobY - 40, 80, 80, AllPlanes, ZPixmap);
        uint64_t sum = 1469598103934665603ull;
        for (int y = 0; image && y < 80; ++y)
            for (int x = 0; x < 80; ++x)
                sum = (sum ^ XGetPixel(image, x, y)) * 1099511628211ull;
        if (image)
            XDestroyImage(image);
        return sum;
    }
    void setGain(double value)
    {
        ClapEvents events;
        events.add(1, value);
        params->flush(plugin, &events.in, &events.out);
    }
    void pointer(int x, int y)
    {
        XTestFakeMotionEvent(display, -1, x, y, 0);
        XFlush(display);
        run(20);
    }

    ClapLibrary library{OL7T_CLAP_FILE};
    ClapTestHost host;
    Display* display = nullptr;
    Window parent = 0;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_timer_support_t* timer = nullptr;
    const clap_plugin_params_t* params = nullptr;
};

TEST_F(ClapEditorTest, OpensFollowsTheHostSendsEditsAndCloses)
{
    EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, true)) << "embedded only";
    EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_WAYLAND, false));
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 765u);
    EXPECT_EQ(height, 212u);
    EXPECT_FALSE(gui->can_resize(plugin));

    clap_window_t window{CLAP_WINDOW_API_X11, {}};
    window.x11 = parent;
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_EQ(host.timerPeriods.size(), 1u);
    EXPECT_LE(host.timerPeriods[0], 20u);
    run(200);

    setGain(0.9);
    run(100);
    const uint64_t at09 = gainPicture();
    setGain(0.2);
    EXPECT_TRUE(runUntil([&] { return gainPicture() != at09; })) << "the knob follows the host";

    // A drag upwards on the knob reaches the host as parameter events.
    pointer(kGainKnobX, kGainKnobY);
    XTestFakeButtonEvent(display, 1, True, 0);
    for (int dy = 10; dy <= 60; dy += 10)
        pointer(kGainKnobX, kGainKnobY - dy);
    XTestFakeButtonEvent(display, 1, False, 0);
    run(50);
    EXPECT_GT(host.flushRequests, 0);
    ClapEvents events;
    params->flush(plugin, &events.in, &events.out);
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent.back().param_id, 1u);
    double value = 0;
    params->get_value(plugin, 1, &value);
    EXPECT_GT(value, 0.2);
    EXPECT_DOUBLE_EQ(events.sent.back().value, value);

    gui->destroy(plugin);
    EXPECT_EQ(host.timersStopped, 1);
    // Open again after closing.
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    run(50);
}

} // namespace
