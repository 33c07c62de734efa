// The LV2 bundle's X11 UI as a host opens it: embedded in the host's window,
// driven by the idle interface, moved by port events and writing the user's
// edits to the control inputs.
#include <gtest/gtest.h>

#include "lv2/Lv2Host.h"

#include <lv2/ui/ui.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace testing_support;
using namespace lv2ports;

namespace {

constexpr int kGainKnobX = 246;
constexpr int kGainKnobY = 135;
constexpr uint32_t kGainPort = kFirstParameter + 1;

struct Written
{
    uint32_t port;
    float value;
};

class Lv2UiTest : public ::testing::Test
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

        LilvUIs* uis = lilv_plugin_get_uis(lv2.plugin);
        const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
        char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        library = dlopen(binary, RTLD_NOW | RTLD_LOCAL);
        lilv_free(binary);
        lilv_uis_free(uis);
        ASSERT_NE(library, nullptr);
        auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
    }
    void TearDown() override
    {
        if (handle)
            descriptor->cleanup(handle);
        if (library)
            dlclose(library);
        if (display) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    LV2UI_Handle open()
    {
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature* features[] = {&parentFeature, &resizeFeature, nullptr};
        return descriptor->instantiate(descriptor, kPluginUri, OL7T_LV2_BUNDLE_DIR, write, this, &widget, features);
    }
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
    {
        if (format == 0 && size == sizeof(float))
            static_cast<Lv2UiTest*>(controller)->written.push_back({port, *static_cast<const float*>(buffer)});
    }
    void portEvent(uint32_t port, float value) { descriptor->port_event(handle, port, sizeof value, 0, &value); }
    void run(int ms)
    {
        auto idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        for (int t = 0; t < ms; t += 10) {
            idle->idle(handle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    uint64_t picture(int x, int y, int size)
    {
        XSync(display, False);
        XImage* image = XGetImage(display, parent, x, y, size, size, AllPlanes, ZPixmap);
        uint64_t sum = 1469598103934665603ull;
        for (int row = 0; image && row < size; ++row)
            for (int column = 0; column < size; ++column)
                sum = (sum ^ XGetPixel(image, column, row)) * 1099511628211ull;
        if (image)
            XDestroyImage(image);
        return sum;
    }
    bool runUntil(const std::function<bool()>& done)
    {
        for (int t = 0; t < 3000 && !done(); t += 10)
            run(10);
        return done();
    }
    void pointer(int x, int y)
    {
        XTestFakeMotionEvent(display, -1, x, y, 0);
        XFlush(display);
        run(20);
    }

    Lv2World lv2{OL7T_LV2_BUNDLE_DIR};
    Display* display = nullptr;
    Window parent = 0;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    std::vector<Written> written;
    int requestedWidth = 0, requestedHeight = 0;
    LV2UI_Resize resize{this, [](LV2UI_Feature_Handle h, int width, int height) {
                            static_cast<Lv2UiTest*>(h)->requestedWidth = width;
                            static_cast<Lv2UiTest*>(h)->requestedHeight = height;
                            return 0;
                        }};
};

TEST_F(Lv2UiTest, OpensFollowsPortsWritesEditsAndCloses)
{
    handle = open();
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(widget, nullptr);
    EXPECT_NE(reinterpret_cast<Window>(widget), parent) << "the embedded panel itself";
    EXPECT_EQ(requestedWidth, 765);
    EXPECT_EQ(requestedHeight, 212);
    run(200);

    portEvent(kGainPort, 0.9f);
    run(100);
    const uint64_t at09 = picture(kGainKnobX - 40, kGainKnobY - 40, 80);
    portEvent(kGainPort, 0.2f);
    EXPECT_TRUE(runUntil([&] { return picture(kGainKnobX - 40, kGainKnobY - 40, 80) != at09; }));
    EXPECT_TRUE(written.empty()) << "the host's own changes are not echoed back";

    // The meter readings of the processing instance move the needle.
    const uint64_t meterAtRest = picture(330, 60, 100);
    portEvent(kGainReduction, -12.f);
    portEvent(kMeterPosition, 0.3f);
    EXPECT_TRUE(runUntil([&] { return picture(330, 60, 100) != meterAtRest; }));

    pointer(kGainKnobX, kGainKnobY);
    XTestFakeButtonEvent(display, 1, True, 0);
    for (int dy = 10; dy <= 60; dy += 10)
        pointer(kGainKnobX, kGainKnobY - dy);
    XTestFakeButtonEvent(display, 1, False, 0);
    run(50);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back().port, kGainPort);
    EXPECT_GT(written.back().value, 0.2f);

    descriptor->cleanup(handle);
    handle = nullptr;
    // A UI without a parent window cannot embed and is refused.
    const LV2_Feature* none[] = {nullptr};
    EXPECT_EQ(descriptor->instantiate(descriptor, kPluginUri, OL7T_LV2_BUNDLE_DIR, write, this, &widget, none), nullptr);
}

} // namespace
