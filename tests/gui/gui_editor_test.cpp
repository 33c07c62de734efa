// The bundle's editor end to end under an X server: a drag on the gain knob
// reaches the host as one gesture, host changes move the knob, the options
// menu sets the release memory, the meter follows a processed signal, the
// about panel opens and closes, and editors open and close many times.
#include "gui/EditorHost.h"

#include "core/ParameterIds.h"
#include "tools/render/EffectSession.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <X11/keysym.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace Steinberg;
using testing_support::BundleEffect;

namespace {

// The full panel's controls, panel coordinates.
constexpr int kGainX = 205 + 83 / 2;
constexpr int kGainY = 92 + 86 / 2;
constexpr int kOptionsX = 739 + 7;
constexpr int kOptionsY = 12 + 7;
constexpr int kMeterX = 318, kMeterY = 54, kMeterW = 130, kMeterH = 61;

// Input for a modal menu, sent from another thread while the editor's
// thread waits inside the menu.
class DelayedInput
{
public:
    explicit DelayedInput(std::function<void(Display*)> script)
        : worker([script] {
            Display* display = XOpenDisplay(nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            script(display);
            XSync(display, False);
            XCloseDisplay(display);
        })
    {
    }
    ~DelayedInput() { worker.join(); }

private:
    std::thread worker;
};

void tap(Display* display, KeySym key)
{
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, 0);
    XTestFakeKeyEvent(display, code, False, 0);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

class EditorEndToEnd : public testing_support::EditorHost
{
protected:
    uint64_t gainPicture() { return picture(205, 92, 83, 86); }
    uint64_t meterPicture() { return picture(kMeterX, kMeterY, kMeterW, kMeterH); }
    uint64_t panelPicture() { return picture(0, 0, 765, 212); }
};

TEST_F(EditorEndToEnd, DragOnTheGainKnobIsOneGestureAndHostChangesMoveIt)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(frame->eventHandlerCount(), 1u);
    // The loop wakes for the connection and for the meter's 20 ms tick only.
    EXPECT_EQ(frame->timerPeriods(), std::vector<long>{20});
    pump(200);

    // The host moves the knob's picture.
    effect.controller->setParamNormalized(PARAM_GAIN, 0.9);
    pump(100);
    const uint64_t at09 = gainPicture();
    effect.controller->setParamNormalized(PARAM_GAIN, 0.2);
    EXPECT_TRUE(pumpUntil([&] { return gainPicture() != at09; }));

    moveTo(kGainX, kGainY);
    effect.handler.calls.clear();
    button(Button1, true);
    for (int dy = 10; dy <= 100; dy += 10)
        moveTo(kGainX, kGainY - dy);
    button(Button1, false);
    pump(100);

    const auto& calls = effect.handler.calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, 'b');
    EXPECT_EQ(calls.back().kind, 'e');
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].id, PARAM_GAIN);
        if (i > 0 && i + 1 < calls.size()) {
            EXPECT_EQ(calls[i].kind, 'p');
        }
    }
    EXPECT_NEAR(calls[calls.size() - 2].value, 0.7, 1e-5);
    EXPECT_NEAR(effect.controller->getParamNormalized(PARAM_GAIN), 0.7, 1e-5);
    EXPECT_NE(gainPicture(), at09);
    effect.controller->setParamNormalized(PARAM_GAIN, 0.9);
    EXPECT_TRUE(pumpUntil([&] { return gainPicture() == at09; })) << "the knob follows the host once released";

    closeEditor(view);
    EXPECT_EQ(frame->eventHandlerCount(), 0u);
    EXPECT_EQ(frame->timerCount(), 0u);
}

TEST_F(EditorEndToEnd, OptionsMenuChoosesFastReset)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    effect.controller->setParamNormalized(PARAM_MEMORY, 0.0);
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    pump(200);
    {
        // Into the release-memory sub-menu, down to its second entry.
        DelayedInput keys([](Display* d) {
            for (KeySym key : {XK_Down, XK_Right, XK_Down, XK_Return})
                tap(d, key);
        });
        click(kOptionsX, kOptionsY);
        pump(300);
    }
    pump(100);
    EXPECT_EQ(effect.controller->getParamNormalized(PARAM_MEMORY), 1.0);
    closeEditor(view);
}

TEST_F(EditorEndToEnd, AboutPanelFadesInAndAClickClosesIt)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    pump(300);
    const uint64_t panel = panelPicture();
    {
        // The last entry of the menu opens the about panel.
        DelayedInput keys([](Display* d) {
            for (KeySym key : {XK_Up, XK_Return})
                tap(d, key);
        });
        click(kOptionsX, kOptionsY);
        pump(300);
    }
    EXPECT_TRUE(pumpUntil([&] { return panelPicture() != panel; }));
    pump(500);
    const uint64_t about = panelPicture();
    pump(100);
    EXPECT_EQ(panelPicture(), about) << "fully faded in, it stays";

    const double gain = effect.controller->getParamNormalized(PARAM_GAIN);
    click(kGainX, kGainY);
    EXPECT_TRUE(pumpUntil([&] { return panelPicture() == panel; }));
    EXPECT_EQ(effect.controller->getParamNormalized(PARAM_GAIN), gain) << "the closing click reaches no control";
    closeEditor(view);
}

TEST_F(EditorEndToEnd, MeterFollowsAProcessedSignal)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    effect.controller->setParamNormalized(PARAM_METERSEL, 1.0 / 3.0); // output level
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    pump(300);
    const uint64_t rest = meterPicture();

    constexpr int kRate = 44100, kBlock = 512;
    EffectSession session(IPtr<Vst::IComponent>(effect.component));
    ASSERT_EQ(session.start(2, false, kRate, kBlock), "");
    AudioClip tone(kRate, 2, kRate);
    for (size_t i = 0; i < tone.frames(); ++i)
        tone.channels[0][i] = tone.channels[1][i] = 0.8f * static_cast<float>(std::sin(i * 0.0627));
    std::array<double, PARAM_COUNT> values{};
    for (uint32 id = 0; id < PARAM_COUNT; ++id)
        values[id] = effect.controller->getParamNormalized(id);
    AudioClip output;
    session.render(tone, nullptr, values, output, [&](double) { pump(kBlock * 1000 / kRate); });
    EXPECT_NE(meterPicture(), rest) << "the needle rose with the signal";

    // Half a second after the last block the needle goes back to rest.
    EXPECT_TRUE(pumpUntil([&] { return meterPicture() == rest; }));
    closeEditor(view);
}

TEST_F(EditorEndToEnd, OpensAndClosesManyTimesOnOneAndTwoEffects)
{
    BundleEffect first(bundle);
    BundleEffect second(bundle);
    ASSERT_TRUE(first.initialized && second.initialized);
    const int descriptors = openDescriptors();
    for (int i = 0; i < 100; ++i) {
        IPlugView* view = openEditor(first);
        ASSERT_NE(view, nullptr) << "round " << i;
        pump(1);
        closeEditor(view);
    }
    for (int i = 0; i < 100; ++i) {
        IPlugView* a = openEditor(first);
        IPlugView* b = openEditor(second);
        ASSERT_TRUE(a && b) << "round " << i;
        EXPECT_EQ(frame->timerCount(), 2u);
        pump(1);
        // Close in either order.
        closeEditor(i % 2 ? a : b);
        pump(1);
        closeEditor(i % 2 ? b : a);
    }
    EXPECT_EQ(frame->eventHandlerCount(), 0u);
    EXPECT_EQ(frame->timerCount(), 0u);
    EXPECT_EQ(openDescriptors(), descriptors) << "the display connection closes with the last editor";
}

TEST_F(EditorEndToEnd, ASecondViewOfTheSameEffectShowsNothing)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    IPlugView* first = openEditor(effect);
    ASSERT_NE(first, nullptr);
    IPlugView* second = effect.controller->createView("editor");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(frame->timerCount(), 1u);
    EXPECT_EQ(second->removed(), kInternalError);
    second->release();
    EXPECT_EQ(first->attached(reinterpret_cast<void*>(parent), "HWND"), kInvalidArgument);
    closeEditor(first);
    EXPECT_EQ(effect.controller->createView("Editor"), nullptr);
}

} // namespace

namespace {

// A host that records the sizes the view asks for before granting them.
class ResizeRecordingFrame : public HostFrame
{
public:
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override
    {
        if (newSize)
            requests.push_back(*newSize);
        return HostFrame::resizeView(view, newSize);
    }
    std::vector<ViewRect> requests;
};

class EditorScaling : public testing_support::EditorHost
{
protected:
    void SetUp() override
    {
        EditorHost::SetUp();
        if (!display)
            return;
        frame->release();
        frame = recording = new ResizeRecordingFrame;
        XResizeWindow(display, parent, 1600, 500);
        std::filesystem::remove_all(configHome());
    }
    void TearDown() override
    {
        std::filesystem::remove_all(configHome());
        EditorHost::TearDown();
    }

    // The size of the panel window the view made inside the host's window.
    std::pair<int, int> panelWindowSize()
    {
        XSync(display, False);
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        std::pair<int, int> size{0, 0};
        if (XQueryTree(display, parent, &root, &up, &children, &count) && count > 0) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[count - 1], &attributes))
                size = {attributes.width, attributes.height};
        }
        if (children)
            XFree(children);
        return size;
    }

    static std::pair<int, int> sizeOf(IPlugView* view)
    {
        ViewRect rect;
        view->getSize(&rect);
        return {rect.getWidth(), rect.getHeight()};
    }

    ResizeRecordingFrame* recording = nullptr;
};

} // namespace

TEST_F(EditorScaling, HostFactorSizesTheViewAsksForTheResizeAndScalesPointerInput)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    IPlugView* view = effect.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
    ASSERT_TRUE(scaling);
    EXPECT_EQ(sizeOf(view), std::make_pair(765, 212));

    // Before attachment the factor only sets the size the host will ask for.
    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
    EXPECT_EQ(sizeOf(view), std::make_pair(1148, 318));
    EXPECT_EQ(scaling->setContentScaleFactor(std::nanf("")), kInvalidArgument);
    EXPECT_EQ(scaling->setContentScaleFactor(0.f), kInvalidArgument);
    EXPECT_EQ(sizeOf(view), std::make_pair(1148, 318));

    view->setFrame(frame);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID), kResultOk);
    pump(100);
    EXPECT_EQ(panelWindowSize(), std::make_pair(1148, 318));

    EXPECT_EQ(scaling->setContentScaleFactor(2.f), kResultTrue);
    ASSERT_EQ(recording->requests.size(), 1u);
    EXPECT_EQ(recording->requests[0].getWidth(), 1530);
    EXPECT_EQ(recording->requests[0].getHeight(), 424);
    EXPECT_EQ(sizeOf(view), std::make_pair(1530, 424));
    ViewRect offered(10, 20, 110, 120);
    EXPECT_EQ(view->checkSizeConstraint(&offered), kResultTrue);
    EXPECT_EQ(std::make_pair(offered.right, offered.bottom), std::make_pair(1540, 444));
    pump(100);
    EXPECT_EQ(panelWindowSize(), std::make_pair(1530, 424));

    // The gain knob sits at twice its panel position; 80 screen pixels of
    // drag are the 40 panel pixels that take it from 0.5 to 0.7.
    effect.controller->setParamNormalized(PARAM_GAIN, 0.5);
    pump(50);
    moveTo(2 * kGainX, 2 * kGainY);
    effect.handler.calls.clear();
    button(Button1, true);
    for (int dy = 8; dy <= 80; dy += 8)
        moveTo(2 * kGainX, 2 * kGainY - dy);
    button(Button1, false);
    pump(100);
    ASSERT_FALSE(effect.handler.calls.empty());
    for (const auto& call : effect.handler.calls)
        EXPECT_EQ(call.id, PARAM_GAIN);
    EXPECT_NEAR(effect.controller->getParamNormalized(PARAM_GAIN), 0.7, 1e-5);

    view->removed();
    view->setFrame(nullptr);
    view->release();
}

TEST_F(EditorScaling, TheRememberedSizeIsTheStartingSizeAndADamagedFileIsIgnored)
{
    BundleEffect effect(bundle);
    ASSERT_TRUE(effect.initialized);
    const struct {
        const char* text;
        std::pair<int, int> size;
    } cases[] = {
        {"EditorSize=150\n", {1148, 318}},
        {"Other=1\nEditorSize=200\n", {1530, 424}},
        {"EditorSize=175\n", {765, 212}},
        {"EditorSize=banana\n\x01\xff", {765, 212}},
    };
    std::filesystem::create_directories(configHome() + "/marrowby");
    for (const auto& c : cases) {
        std::ofstream(configHome() + "/marrowby/editor.conf", std::ios::trunc) << c.text;
        IPlugView* view = effect.controller->createView("editor");
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(sizeOf(view), c.size) << c.text;
        view->release();
    }
}
