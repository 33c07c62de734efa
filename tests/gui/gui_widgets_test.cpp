// The editor's regions and widgets without a display: values and frames,
// drags, keys, switches, stepping, the meter's ballistics, reports reaching
// the host through the editor, tool-tip texts and the options commands.
#include "GUI/Editor.h"
#include "GUI/guiGroup.h"
#include "GUI/guiKnob.h"
#include "GUI/guiOnOff.h"
#include "GUI/guiVU.h"
#include "GUI/guiWindow.h"
#include "core/EffectFixture.h"
#include "gui/RecordingHandler.h"
#include "pal/PalFunctions.h"
#include "pal/PalRunLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Steinberg;
using testing_support::Effect;
using testing_support::RecordingHandler;

namespace {

constexpr uint32_t kLeft = ZVNPal::kPalModLeftButton;
constexpr uint32_t kRight = ZVNPal::kPalModRightButton;
constexpr uint32_t kShift = ZVNPal::kPalModShift;

// A panel without a native window: the regions join a window whose reports
// reach a real editor and effect, and the host's handler records the edits.
class Panel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor = new Editor(&*effect);
        effect->editor = editor;
        effect->setComponentHandler(&host);
        window.setEditor(editor);
    }
    void TearDown() override
    {
        effect->editor = nullptr;
        effect->setComponentHandler(nullptr);
        editor->release();
    }

    template <typename R>
    R* add(R* region)
    {
        window.addRegion(region);
        return region;
    }
    guiKnob* gainKnob(int32_t frames = 151)
    {
        return add(new guiKnob(PARAM_GAIN, 205, 92, 83, 86, frames, nullptr, nullptr, nullptr));
    }
    guiOnOff* limitSwitch() { return add(new guiOnOff(PARAM_LIMITMODE, 76, 129, 38, 47, 2, nullptr, nullptr, nullptr)); }

    Effect effect;
    Editor* editor = nullptr;
    RecordingHandler host;
    guiWindow window{9, 0, 0, 765, 212, nullptr, 0, 0};
};

TEST_F(Panel, FramesFollowTheValue)
{
    struct Case
    {
        int32_t frames;
        bool knob;
        float value;
        int32_t frame;
    } cases[] = {
        {151, true, 0.5f, 75}, {151, true, 1.0f, 150}, {151, true, 0.999f, 149}, {151, true, 1.7f, 150},
        {4, true, 0.5f, 1},    {4, false, 0.5f, 2},    {4, false, 1.0f, 3},      {84, false, -1.f, 0},
    };
    for (const Case& c : cases) {
        guiRegion* r = c.knob ? static_cast<guiRegion*>(gainKnob(c.frames))
                              : add(new guiAnimation(10, 0, 0, 10, 10, c.frames, nullptr, nullptr));
        EXPECT_EQ(r->setValue(c.value), c.frame) << c.frames << " frames at " << c.value;
    }
}

TEST_F(Panel, DraggingTheGainKnobTellsTheHostOneGesture)
{
    struct Case
    {
        float start;
        int32_t fromY, toY;
        uint32_t modifiers;
        float expected;
    } cases[] = {
        {0.2f, 150, 50, 0, 0.7f},      // 100 pixels up
        {0.2f, 150, 50, kShift, 0.25f}, // fine with Shift
        {0.5f, 100, 400, 0, 0.f},      // 300 down, clamped
        {0.2f, 100, 0, 0, 0.7f},       // above the knob: positions wrap and come back negative
    };
    guiKnob* knob = gainKnob();
    for (const Case& c : cases) {
        knob->setValue(c.start);
        host.calls.clear();
        window.onMouseMove(240, c.fromY, 0);
        window.onMouseDown(240, c.fromY, kLeft | c.modifiers);
        window.onMouseMove(240, (c.fromY + c.toY) / 2, kLeft | c.modifiers);
        window.onMouseMove(240, c.toY, kLeft | c.modifiers);
        window.onMouseUp(240, c.toY, c.modifiers);
        EXPECT_NEAR(knob->m_fValue, c.expected, 1e-5f);
        EXPECT_NEAR(effect->getParamNormalized(PARAM_GAIN), c.expected, 1e-5);
        const std::string kinds = host.kinds();
        ASSERT_GE(kinds.size(), 3u);
        EXPECT_EQ(kinds.front(), 'b');
        EXPECT_EQ(kinds.back(), 'e');
        EXPECT_EQ(kinds.find_first_not_of('p', 1), kinds.size() - 1) << kinds;
        for (const auto& call : host.calls)
            EXPECT_EQ(call.id, PARAM_GAIN);
        EXPECT_FALSE(knob->isCaptured());
    }
}

TEST_F(Panel, AKnobInTheUsersHandIgnoresValuesFromOutside)
{
    guiKnob* knob = gainKnob();
    knob->setValue(0.2f);
    window.onMouseDown(240, 150, kLeft);
    effect->setParamNormalized(PARAM_GAIN, 0.9);
    effect->applyParameter(PARAM_GAIN, 0.9f);
    EXPECT_FLOAT_EQ(knob->m_fValue, 0.2f);
    EXPECT_EQ(knob->m_nFrame, 30);
    window.onMouseUp(240, 150, 0);
    EXPECT_EQ(knob->setValue(0.9f), 135);
}

TEST_F(Panel, KnobKeysAndWheel)
{
    struct Case
    {
        float start;
        int32_t key;
        float expected;
        int32_t handled;
    } cases[] = {
        {0.98f, kKeyEnd, 1.f, 0},     {0.98f, kKeyPageUp, 1.f, 0},   {0.98f, kKeyHome, 0.f, 0},
        {0.f, kKeyLeft, 0.f, 0},      {0.5f, kKeyRight, 0.501f, 0},  {0.5f, kKeyDown, 0.49f, 0},
        {0.5f, kKeyPageDown, 0.45f, 0}, {0.5f, 65, 0.5f, 1},
    };
    guiKnob* knob = gainKnob();
    for (const Case& c : cases) {
        knob->setValue(c.start);
        EXPECT_EQ(knob->onKeyDown(c.key, 0), c.handled);
        knob->onKeyUp(c.key, 0);
        EXPECT_NEAR(knob->m_fValue, c.expected, 1e-6f) << "key " << c.key << " at " << c.start;
    }
    knob->setValue(0.5f);
    host.calls.clear();
    knob->onMouseWheel(0, 0, 0, 120);
    knob->onMouseWheel(0, 0, kShift, -120);
    EXPECT_NEAR(knob->m_fValue, 0.54f, 1e-6f);
    EXPECT_FALSE(knob->isInGesture());
    EXPECT_EQ(host.kinds(), "bpebpe") << "every wheel step is a whole edit";
}

TEST_F(Panel, DoubleClickResetsTheKnobToItsDefault)
{
    guiKnob* knob = gainKnob();
    knob->setDefaultValue(0.5f);
    knob->setValue(0.9f);
    window.onDoubleClick(240, 150, kLeft);
    EXPECT_FLOAT_EQ(knob->m_fValue, 0.5f);
    EXPECT_EQ(knob->m_nFrame, 75);
    EXPECT_EQ(host.kinds(), "bpe");
    EXPECT_EQ(host.calls[1].value, 0.5);
}

TEST_F(Panel, SwitchesToggleAndSnap)
{
    struct Case
    {
        float outside;
        float afterPress;
    } cases[] = {{1.0f, 0.f}, {0.7f, 0.f}, {0.5f, 1.f}, {0.f, 1.f}};
    guiOnOff* sw = limitSwitch();
    for (const Case& c : cases) {
        sw->setValue(c.outside);
        window.onMouseDown(90, 150, kLeft);
        window.onMouseUp(90, 150, 0);
        EXPECT_EQ(sw->m_fValue, c.afterPress) << c.outside;
        EXPECT_EQ(effect->getParamNormalized(PARAM_LIMITMODE), c.afterPress);
    }
    host.calls.clear();
    window.onMouseDown(90, 150, kRight);
    EXPECT_TRUE(host.calls.empty()) << "the right button only asks for a context menu";
}

TEST_F(Panel, MomentarySwitchIsOnOnlyWhilePressed)
{
    guiOnOff* sw = limitSwitch();
    sw->momentary = true;
    window.onMouseDown(90, 150, kLeft);
    EXPECT_EQ(sw->m_fValue, 1.f);
    window.onMouseUp(90, 150, 0);
    EXPECT_EQ(sw->m_fValue, 0.f);
    // Press: begin, on; release: end, back off.
    EXPECT_EQ(host.kinds(), "bpep");
    EXPECT_EQ(host.calls.back().value, 0.0);
}

TEST_F(Panel, AnimationStepsWrapAround)
{
    auto* a = add(new guiAnimation(10, 0, 0, 10, 10, 4, nullptr, nullptr));
    a->setValue(1.f);
    a->stepForward(0, 0, 0);
    EXPECT_EQ(a->m_nFrame, 0);
    a->stepBack(0, 0, 0);
    EXPECT_EQ(a->m_nFrame, 3);
    EXPECT_FLOAT_EQ(a->m_fValue, 1.f);
    a->wrap = false;
    a->stepForward(0, 0, 0);
    EXPECT_EQ(a->m_nFrame, 3);
    EXPECT_TRUE(host.calls.empty()) << "region 10 names no parameter";
}

TEST_F(Panel, RegionBasics)
{
    auto* r = add(new guiAnimation(3, 0, 0, 10, 10, 2, nullptr, nullptr));
    r->setLevel(11, 0.5f);
    r->setLevel(10, 0.5f);
    EXPECT_EQ(r->levels[10], 127);
    r->setAlpha(1.5f);
    EXPECT_EQ(r->alpha, 255);
    r->setDefaultValue(-0.2f);
    EXPECT_EQ(r->m_fDefault, 0.f);

    r->endGesture();
    EXPECT_TRUE(host.calls.empty()) << "no gesture, no end";
    r->beginGesture();
    r->m_fValue = 1.f;
    r->report();
    r->endGesture();
    EXPECT_EQ(host.kinds(), "bpe");

    guiKnob loose(1, 0, 0, 10, 10, 151, nullptr, nullptr, nullptr);
    loose.capturePointer(true);
    EXPECT_FALSE(loose.isCaptured());
}

TEST_F(Panel, GroupMembersAppearWithTheGroup)
{
    auto* group = add(new guiGroup(493, 93, 451, 88, nullptr));
    group->show();
    EXPECT_FALSE(group->isVisible()) << "a group without members stays hidden";
    guiKnob* knob = new guiKnob(PARAM_GAIN, 205, 92, 83, 86, 151, nullptr, nullptr, nullptr);
    group->addMember(knob);
    EXPECT_FALSE(knob->isVisible());
    EXPECT_EQ(window.regionCount(), 2u);
    group->show();
    EXPECT_TRUE(knob->isVisible());
    EXPECT_TRUE(group->isVisible());
    group->hide();
    EXPECT_FALSE(knob->isVisible());
}

TEST_F(Panel, MeterBallistics)
{
    auto* vu = add(new guiVU(10, 318, 54, 130, 61, 84, nullptr, nullptr, &*effect));
    effect->active = true;

    // Output mode, full scale every tick.
    effect->meterMode = 1;
    const float positions[] = {0.4f, 0.64f, 0.784f};
    const int32_t frames[] = {33, 53, 65};
    for (int i = 0; i < 3; ++i) {
        effect->meterPeak = 10.f;
        effect->meterFresh = true;
        vu->onTimer(0);
        EXPECT_NEAR(vu->m_fValue, positions[i], 1e-5f);
        EXPECT_EQ(vu->m_nFrame, frames[i]);
    }

    // Gain-reduction mode without audio settles on the rest mark.
    struct Rest
    {
        bool module;
        int32_t frame;
    } rests[] = {{false, 53}, {true, 52}};
    effect->meterMode = 0;
    for (const Rest& r : rests) {
        effect->moduleMode = r.module;
        for (int i = 0; i < 200; ++i)
            vu->onTimer(0);
        EXPECT_EQ(vu->m_nFrame, r.frame);
    }
    effect->moduleMode = false;

    // Inactive: falls towards 0 by 0.6 of the distance per tick.
    effect->active = false;
    const float before = vu->m_fValue;
    vu->onTimer(0);
    EXPECT_NEAR(vu->m_fValue, before * 0.4f, 1e-5f);

    // Frozen without an attached editor, and not polling while hidden.
    effect->active = true;
    effect->editor = nullptr;
    const float frozen = vu->m_fValue;
    vu->onTimer(0);
    EXPECT_EQ(vu->m_fValue, frozen);
    effect->editor = editor;
    vu->hide();
    effect->meterFresh = true;
    vu->onTimer(0);
    EXPECT_TRUE(effect->meterFresh);
}

TEST_F(Panel, ToolTipTexts)
{
    // The text strings are not loaded here: every key reads as empty, so the
    // texts show their structure and values.
    struct Case
    {
        uint32_t id;
        float value;
        const char* text;
    } cases[] = {
        {PARAM_GAIN, 0.4f, ": 40.0%"},   {PARAM_PEAKRED, 0.125f, ": 12.5%"}, {PARAM_R37, 1.f, ": 100.0%"},
        {PARAM_ENABLE, 1.f, ": "},       {PARAM_LIMITMODE, 0.5f, ": "},      {PARAM_METERSEL, 1.f, ": "},
        {PARAM_MEMORY, 1.f, ""},         {10, 0.f, ""},
    };
    for (const Case& c : cases) {
        effect->editParameter(c.id, c.value);
        EXPECT_EQ(editor->toolTipText(static_cast<int32_t>(c.id)), c.text) << c.id;
    }
    EXPECT_EQ(effect->meterMode, 3);
}

TEST_F(Panel, OptionsMenuCommands)
{
    editor->applyMenuCommand(Editor::kMenuMemoryFastReset);
    EXPECT_EQ(effect->getParamNormalized(PARAM_MEMORY), 1.0);
    EXPECT_EQ(host.kinds(), "bpe");
    editor->applyMenuCommand(Editor::kMenuMemoryClassic);
    EXPECT_EQ(effect->getParamNormalized(PARAM_MEMORY), 0.0);
    effect->editParameter(PARAM_SIDECH, 0.6f);
    editor->applyMenuCommand(Editor::kMenuSideChain);
    EXPECT_NEAR(effect->getParamNormalized(PARAM_SIDECH), 0.4, 1e-6);
    host.calls.clear();
    editor->applyMenuCommand(0);
    editor->applyMenuCommand(99);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Panel, ContextClicksReachTheChannelStripOnlyInModuleMode)
{
    static std::vector<std::pair<const IMBVst2StrivelPlugin*, uint32_t>> requests;
    requests.clear();
    ol7t::hostContextMenuHandler = [](const IMBVst2StrivelPlugin* instance, uint32_t id) {
        requests.emplace_back(instance, id);
    };
    editor->onControlChanged(PARAM_GAIN, 0.f, kReportContext, 10, 10);
    EXPECT_TRUE(requests.empty()) << "the full panel has no host menu";
    effect->moduleMode = true;
    editor->onControlChanged(PARAM_R37, 0.f, kReportContext, 10, 10);
    editor->onControlChanged(10, 0.f, kReportContext, 10, 10);
    ASSERT_EQ(requests.size(), 1u) << "the meter names no parameter";
    EXPECT_EQ(requests[0].first, static_cast<const IMBVst2StrivelPlugin*>(&*effect));
    EXPECT_EQ(requests[0].second, PARAM_R37);
    effect->moduleMode = false;
    ol7t::hostContextMenuHandler = nullptr;
}

TEST_F(Panel, ViewContract)
{
    // This platform's own view type, and the other platform's.
    const std::string own = ZVNPal::PlatformViewType();
    const std::string longer = own + "s";
    const char* other = own == "HWND" ? "X11EmbedWindowID" : "HWND";
    struct Case
    {
        const char* type;
        tresult result;
    } cases[] = {{own.c_str(), kResultOk}, {longer.c_str(), kInvalidArgument}, {"X11", kInvalidArgument},
                 {other, kInvalidArgument}, {"", kInvalidArgument},            {nullptr, kInvalidArgument}};
    for (const Case& c : cases)
        EXPECT_EQ(editor->isPlatformTypeSupported(c.type), c.result) << (c.type ? c.type : "null");
    EXPECT_EQ(editor->removed(), kInternalError) << "never attached";

    effect->moduleMode = true;
    Editor* compact = new Editor(&*effect);
    ViewRect size;
    ASSERT_EQ(compact->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 198);
    EXPECT_EQ(size.getHeight(), 249);
    compact->release();
    effect->moduleMode = false;
}

} // namespace
