// The panels of an editor built in this process under an X server: both
// region lists, the compact panel of the channel-strip module with its write
// overlays, controls following automation on their tick, focus, wheel and
// key rules, tool tips, the missing-image message and the meter frozen under
// the about panel, and the needle's areas in the meter's strip.
#include "gui/EditorHost.h"

#include "GUI/Editor.h"
#include "GUI/EditorImages.h"
#include "GUI/guiKnob.h"
#include "GUI/guiNeedleAreas.h"
#include "GUI/guiVU.h"
#include "GUI/guiWindow.h"
#include "core/EffectFixture.h"
#include "pal/CPalBitmap.h"
#include "pal/Folders.h"
#include "pal/MessageBox.h"
#include "pal/PalFunctions.h"
#include "pal/TextStrings.h"

#include <X11/keysym.h>

using namespace Steinberg;
using testing_support::Effect;

namespace {

class PanelOnScreen : public testing_support::EditorHost
{
protected:
    void SetUp() override
    {
        EditorHost::SetUp();
        if (IsSkipped())
            return;
        ZVNPal::SetResourcesFolder(std::string(OL7T_RESOURCES_DIR) + "/");
        ZVNPal::LoadTextResources();
    }
    void TearDown() override
    {
        if (editor) {
            editor->removed();
            editor->setFrame(nullptr);
            editor->release();
        }
        EditorHost::TearDown();
    }

    void open(bool module)
    {
        effect->moduleMode = module;
        editor = new Editor(&*effect);
        editor->setFrame(frame);
        ASSERT_EQ(editor->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID), kResultOk);
        pump(200);
    }
    guiWindow& window() { return *editor->getWindow(); }

    Effect effect;
    Editor* editor = nullptr;
};

TEST_F(PanelOnScreen, RegionListsOfBothPanels)
{
    struct Case
    {
        bool module;
        size_t regions;
        size_t meterIndex;
        int32_t width, height;
    } cases[] = {{false, 9, 7, 765, 212}, {true, 8, 6, 198, 249}};
    for (const Case& c : cases) {
        open(c.module);
        EXPECT_EQ(window().regionCount(), c.regions);
        ASSERT_NE(window().regionAt(c.meterIndex), nullptr);
        EXPECT_EQ(window().regionAt(c.meterIndex)->m_nID, 10);
        ViewRect size;
        editor->getSize(&size);
        EXPECT_EQ(size.getWidth(), c.width);
        EXPECT_EQ(size.getHeight(), c.height);
        EXPECT_EQ(static_cast<IEditorView*>(effect->editor), static_cast<IEditorView*>(editor));
        ASSERT_EQ(editor->removed(), kResultOk);
        EXPECT_EQ(static_cast<IEditorView*>(effect->editor), nullptr);
        editor->setFrame(nullptr);
        editor->release();
        editor = nullptr;
    }
}

TEST_F(PanelOnScreen, CompactPanelShowsWriteOverlaysAndFocus)
{
    open(true);
    const auto gain = [&] { return picture(16, 163, 58, 59); };
    const uint64_t plain = gain();
    // The strip host's write marks show on the panel's next tick; pictures
    // change once the window has repainted: wait for them.
    constexpr int32_t kStripWriteState = 5007;
    effect->moduleVendorSpecific(kStripWriteState, PARAM_GAIN, nullptr, 1.f);
    EXPECT_TRUE(pumpUntil([&] { return gain() != plain; })) << "write overlay shown";
    effect->moduleVendorSpecific(kStripWriteState, PARAM_GAIN, nullptr, 0.f);
    EXPECT_TRUE(pumpUntil([&] { return gain() == plain; })) << "write overlay gone";

    // A click gives the knob the focus overlay; a click on empty panel space takes it away.
    click(16 + 29, 163 + 5);
    EXPECT_TRUE(pumpUntil([&] { return gain() != plain; })) << "focus shown";
    click(5, 240);
    EXPECT_TRUE(pumpUntil([&] { return gain() == plain; })) << "focus gone";

    // The wheel goes to the host in the compact panel.
    EXPECT_EQ(window().onMouseWheel(45, 190, 0, 120), ZVNPal::kPalPassOn);
}

TEST_F(PanelOnScreen, FullPanelWheelTurnsTheFocusedKnobWherever)
{
    open(false);
    effect->editParameter(PARAM_PEAKRED, 0.5f);
    click(498 + 41, 92 + 43);
    const float before = effect->getParamValue(PARAM_PEAKRED);
    EXPECT_EQ(window().onMouseWheel(20, 20, 0, 120), 1);
    EXPECT_NEAR(effect->getParamValue(PARAM_PEAKRED), before + 0.05f, 1e-6f);
}

TEST_F(PanelOnScreen, ToolTipFollowsAHoverAfterItsDelay)
{
    open(false);
    effect->editParameter(PARAM_GAIN, 0.4f);
    moveTo(230, 120);
    moveTo(231, 121);
    ZVNPal::CPalToolTip* tip = window().toolTip();
    ASSERT_NE(tip, nullptr);
    pump(400);
    EXPECT_FALSE(tip->IsShown()) << "not before 700 ms";
    ASSERT_TRUE(pumpUntil([&] { return tip->IsShown(); }, 1500));
    pump(150);
    EXPECT_EQ(tip->Text(), ZVNPal::TextString("IDS_PARAM_GAIN") + ": 40.0%");
    moveTo(5, 5);
    EXPECT_FALSE(tip->IsShown()) << "moving off every control hides it at once";
}

TEST_F(PanelOnScreen, ControlsFollowAutomationOnTheNextTickButNotInTheUsersHand)
{
    open(false);
    testing_support::Host host(*effect, 64);
    guiRegion* knob = editor->controlOf(PARAM_GAIN);
    const auto automate = [&](double value) {
        host.change(PARAM_GAIN, value);
        host.block(testing_support::silence());
    };
    const auto tick = [&] { window().onTimer(guiWindow::kFollowEffectTimer); };

    automate(0.9);
    EXPECT_NE(knob->m_fValue, 0.9f) << "processing never touches the panel";
    tick();
    EXPECT_FLOAT_EQ(knob->m_fValue, 0.9f);

    // Held, the knob keeps the user's value; let go, it takes the latest one.
    window().onMouseDown(205 + 41, 92 + 43, ZVNPal::kPalModLeftButton);
    automate(0.1);
    tick();
    EXPECT_FLOAT_EQ(knob->m_fValue, 0.9f);
    window().onMouseUp(205 + 41, 92 + 43, 0);
    tick();
    EXPECT_FLOAT_EQ(knob->m_fValue, 0.1f);
}

TEST_F(PanelOnScreen, KeysThePanelLeavesReachTheHostAndTheKeypadTurnsTheKnob)
{
    open(false);
    XSelectInput(display, parent, KeyPressMask | KeyReleaseMask);
    click(205 + 41, 92 + 43);
    guiRegion* knob = editor->controlOf(PARAM_GAIN);
    const auto tap = [&](KeySym key) {
        const KeyCode code = XKeysymToKeycode(display, key);
        XTestFakeKeyEvent(display, code, True, 0);
        XTestFakeKeyEvent(display, code, False, 0);
        XFlush(display);
        pump(30);
    };
    // Presses and releases of `key` that reached the host's window.
    const auto hostHeard = [&](KeySym key) {
        int count = 0;
        XEvent event;
        XSync(display, False);
        while (XCheckWindowEvent(display, parent, KeyPressMask | KeyReleaseMask, &event))
            count += event.xkey.keycode == XKeysymToKeycode(display, key);
        return count;
    };

    const float before = knob->m_fValue;
    tap(XK_KP_Up);
    EXPECT_NEAR(knob->m_fValue, before + 0.01f, 1e-6f) << "NumLock off: the keypad's Up";
    EXPECT_EQ(hostHeard(XK_KP_Up), 0) << "a key the panel uses stays with it";
    tap(XK_space);
    EXPECT_EQ(hostHeard(XK_space), 2) << "press and release reach the host";
    EXPECT_EQ(editor->onKeyDown(u' ', 0, 0), kResultFalse) << "nor does the view keep keys a host offers";

    // NumLock on: the keypad types digits, which the panel leaves to the host.
    tap(XK_Num_Lock);
    tap(XK_KP_Up);
    tap(XK_Num_Lock);
    EXPECT_NEAR(knob->m_fValue, before + 0.01f, 1e-6f);
    EXPECT_EQ(hostHeard(XK_KP_Up), 2);
}

TEST(MissingImage, MessageBoxShowsTitleAndText)
{
    static std::vector<std::pair<std::string, std::string>> boxes;
    boxes.clear();
    ZVNPal::SetResourcesFolder(std::string(OL7T_RESOURCES_DIR) + "/");
    ASSERT_TRUE(ZVNPal::LoadTextResources());
    ZVNPal::SetMessageBoxSink([](const ZVNPal::MessageBoxRequest& r) {
        boxes.emplace_back(r.title, r.text);
        return 1;
    });
    EditorImages::setFolder("/nonexistent/");
    EXPECT_EQ(EditorImages::get(kImageSwitch), nullptr);
    ZVNPal::SetMessageBoxSink(nullptr);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].first, ZVNPal::TextString("IDS_BITMAP_NOT_FOUND_TITLE"));
    EXPECT_EQ(boxes[0].second, ZVNPal::TextString("IDS_BITMAP_NOT_FOUND_MESSAGE"));
    EXPECT_FALSE(boxes[0].first.empty() || boxes[0].second.empty());
}

TEST_F(PanelOnScreen, AboutPanelFreezesTheMeter)
{
    open(false);
    effect->active = true;
    auto* meter = static_cast<guiVU*>(window().regionAt(7));
    window().openAbout();
    const float needle = meter->m_fValue;
    const int32_t stale = meter->staleTicks();
    EXPECT_TRUE(pumpUntil([&] { return window().aboutOpacity() == 1.f; }));
    pump(100);
    EXPECT_EQ(meter->m_fValue, needle);
    EXPECT_EQ(meter->staleTicks(), stale);
    window().closeAbout();
    EXPECT_TRUE(pumpUntil([&] { return meter->staleTicks() > stale; }));
}

} // namespace

// Between any two frames of the meter's strip, every pixel that changes lies
// in one of their areas; one set of areas serves each picture of the process,
// and a picture loaded again is not taken for the one it replaced.
TEST(NeedleAreas, CoverEveryChangedPixelAndBelongToOnePicture)
{
    constexpr int32_t kWidth = 130, kHeight = 61, kFrames = 84;
    const std::string path = std::string(OL7T_RESOURCES_DIR) + "/ol_meter.png";
    ZVNPal::CPalBitmap strip;
    ASSERT_EQ(strip.Load(path.c_str(), false), ZVNPal::kPalOk);
    guiNeedleAreas* areas = guiNeedleAreas::of(strip, kWidth, kHeight, kFrames);
    ASSERT_NE(areas, nullptr);
    EXPECT_EQ(guiNeedleAreas::of(strip, kWidth, kHeight, kFrames), areas);

    int32_t stride = 0;
    const uint32_t* pixels = strip.DecodedPixels(stride);
    const auto at = [&](int32_t frame, int32_t x, int32_t y) {
        return pixels[size_t(frame * kHeight + y) * size_t(stride) + size_t(x)] & 0xFFFFFFu;
    };
    const std::pair<int32_t, int32_t> steps[] = {{0, 1}, {0, kFrames - 1}, {41, 42}, {53, 60}, {82, 83}};
    for (const auto& [from, to] : steps) {
        ZVNPal::CPalRect a, b;
        ASSERT_TRUE(areas->area(strip, from, a));
        ASSERT_TRUE(areas->area(strip, to, b));
        int32_t changed = 0;
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x)
                if (at(from, x, y) != at(to, x, y)) {
                    ++changed;
                    EXPECT_TRUE(a.Contains(x, y) || b.Contains(x, y)) << from << "->" << to << " at " << x << "," << y;
                }
        EXPECT_GT(changed, 0) << from << "->" << to;
    }
    ZVNPal::CPalRect none;
    EXPECT_FALSE(areas->area(strip, kFrames, none));
    EXPECT_FALSE(areas->area(strip, -1, none));

    ASSERT_EQ(strip.Load(path.c_str(), false), ZVNPal::kPalOk);
    EXPECT_NE(guiNeedleAreas::of(strip, kWidth, kHeight, kFrames), areas);
    const uint32_t translucent[] = {0x80FFFFFFu, 0x80FFFFFFu, 0x80FFFFFFu};
    ZVNPal::CPalBitmap seeThrough;
    ASSERT_EQ(seeThrough.CreateFromPixels(translucent, 1, 3), ZVNPal::kPalOk);
    EXPECT_EQ(guiNeedleAreas::of(seeThrough, 1, 1, 3), nullptr);
}
