// The Windows bundle's editor end to end, opened the way a Windows host opens
// it: the library loaded with LoadLibraryW, InitDll and GetPluginFactory, the
// view attached to a window of the test's own as an "HWND", and input sent to
// the panel's window as the system would send it.
#include <gtest/gtest.h>

#include "core/ParameterIds.h"
#include "gui/RecordingHandler.h"
#include "tools/render/EffectSession.h"
#include "tools/render/PluginModule.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace Steinberg;
using testing_support::RecordingHandler;

namespace {

constexpr int kGainX = 205 + 83 / 2;
constexpr int kGainY = 92 + 86 / 2;
constexpr int kOptionsX = 739 + 7;
constexpr int kOptionsY = 12 + 7;
constexpr int kMeterX = 318, kMeterY = 54, kMeterW = 130, kMeterH = 61;

// One effect of the bundle, created through its factory and initialized,
// with its controller and a recording component handler.
struct Effect
{
    explicit Effect(PluginModule& module)
    {
        if (!module.createEffect(component).empty())
            return;
        controller = FUnknownPtr<Vst::IEditController>(component);
        if (controller)
            controller->setComponentHandler(&handler);
    }
    ~Effect()
    {
        if (controller)
            controller->setComponentHandler(nullptr);
        if (component)
            component->terminate();
    }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    bool initialized() const { return component && controller; }

    RecordingHandler handler;
    IPtr<Vst::IComponent> component;
    IPtr<Vst::IEditController> controller;
};

void pump(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    for (int waited = 0; !done(); waited += 10) {
        if (waited > timeoutMs)
            return false;
        pump(10);
    }
    return true;
}

// Presses keys from inside a modal loop of this thread (a menu), once it
// runs; the loop itself reads them, so nothing here may pump messages.
void pressKeysSoon(std::initializer_list<WORD> keys)
{
    static std::vector<INPUT> s_inputs;
    s_inputs.clear();
    for (WORD key : keys)
        for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            s_inputs.push_back(input);
        }
    SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        SendInput(static_cast<UINT>(s_inputs.size()), s_inputs.data(), sizeof(INPUT));
    });
}

int topLevelWindows()
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(), [](HWND, LPARAM counter) -> BOOL { return ++*reinterpret_cast<int*>(counter), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class WindowsEditor : public ::testing::Test
{
protected:
    // One host window for all cases (a top-level window takes the system
    // long to show and to destroy); a message box must never wait for a user.
    static void SetUpTestSuite()
    {
        _putenv("OL7T_MESSAGEBOX=stderr");
        WNDCLASSW hostClass{};
        hostClass.lpfnWndProc = DefWindowProcW;
        hostClass.hInstance = GetModuleHandleW(nullptr);
        hostClass.lpszClassName = L"OL7TTestHost";
        RegisterClassW(&hostClass);
        host = CreateWindowExW(0, L"OL7TTestHost", L"Host", WS_POPUP | WS_VISIBLE, 60, 50, 800, 300, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(host); }


    IPlugView* openEditor(Effect& effect)
    {
        IPlugView* view = effect.controller->createView("editor");
        if (!view)
            return nullptr;
        if (view->isPlatformTypeSupported(kPlatformTypeHWND) != kResultOk ||
            view->attached(host, kPlatformTypeHWND) != kResultOk) {
            view->release();
            return nullptr;
        }
        return view;
    }
    static void closeEditor(IPlugView* view)
    {
        view->removed();
        view->release();
    }

    static HWND panel() { return FindWindowExW(host, nullptr, nullptr, nullptr); }
    void send(UINT message, WPARAM keys, int x, int y) { SendMessageW(panel(), message, keys, MAKELPARAM(x, y)); }
    void click(int x, int y)
    {
        send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        send(WM_LBUTTONUP, 0, x, y);
    }

    // A checksum of what the host window shows in a rectangle.
    uint64_t picture(int x, int y, int width, int height)
    {
        HDC screen = GetDC(host);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        GdiFlush();
        uint64_t sum = 1469598103934665603ull;
        const auto* pixels = static_cast<const uint32_t*>(bits);
        for (int i = 0; i < width * height; ++i)
            sum = (sum ^ (pixels[i] & 0xFFFFFF)) * 1099511628211ull;
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(host, screen);
        return sum;
    }
    uint64_t gainPicture() { return picture(205, 92, 83, 86); }
    uint64_t panelPicture() { return picture(0, 0, 765, 212); }

    void SetUp() override
    {
        ASSERT_EQ(bundle.open(OL7T_BUNDLE_DIR), "");
        ASSERT_NE(host, nullptr);
        SetForegroundWindow(host);
        pump(50);
    }

    PluginModule bundle;
    static HWND host;
};

HWND WindowsEditor::host = nullptr;

TEST_F(WindowsEditor, DragOnTheGainKnobIsOneGestureAndHostChangesMoveIt)
{
    Effect effect(bundle);
    ASSERT_TRUE(effect.initialized());
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(panel(), nullptr);
    pump(200);

    effect.controller->setParamNormalized(PARAM_GAIN, 0.9);
    pump(100);
    const uint64_t at09 = gainPicture();
    effect.controller->setParamNormalized(PARAM_GAIN, 0.2);
    EXPECT_TRUE(pumpUntil([&] { return gainPicture() != at09; })) << "the host moves the knob's picture";

    effect.handler.calls.clear();
    send(WM_LBUTTONDOWN, MK_LBUTTON, kGainX, kGainY);
    for (int dy = 10; dy <= 100; dy += 10)
        send(WM_MOUSEMOVE, MK_LBUTTON, kGainX, kGainY - dy);
    send(WM_LBUTTONUP, 0, kGainX, kGainY - 100);
    pump(100);
    const auto& calls = effect.handler.calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, 'b');
    EXPECT_EQ(calls.back().kind, 'e');
    for (const auto& call : calls)
        EXPECT_EQ(call.id, PARAM_GAIN);
    EXPECT_NEAR(effect.controller->getParamNormalized(PARAM_GAIN), 0.7, 1e-5);
    effect.controller->setParamNormalized(PARAM_GAIN, 0.9);
    EXPECT_TRUE(pumpUntil([&] { return gainPicture() == at09; })) << "the knob follows the host once released";
    closeEditor(view);
}

TEST_F(WindowsEditor, OptionsMenuChoosesFastResetAndOpensTheAboutPanel)
{
    Effect effect(bundle);
    ASSERT_TRUE(effect.initialized());
    effect.controller->setParamNormalized(PARAM_MEMORY, 0.0);
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    pump(200);

    // Into the release-memory sub-menu, down to its second entry.
    pressKeysSoon({VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    click(kOptionsX, kOptionsY);
    pump(100);
    EXPECT_EQ(effect.controller->getParamNormalized(PARAM_MEMORY), 1.0);

    // The last entry opens the about panel, which fades in and stays.
    const uint64_t panelBefore = panelPicture();
    pressKeysSoon({VK_UP, VK_RETURN});
    click(kOptionsX, kOptionsY);
    EXPECT_TRUE(pumpUntil([&] { return panelPicture() != panelBefore; }));
    pump(600);
    const uint64_t about = panelPicture();
    pump(100);
    EXPECT_EQ(panelPicture(), about) << "fully faded in, it stays";
    const double gain = effect.controller->getParamNormalized(PARAM_GAIN);
    click(kGainX, kGainY);
    EXPECT_TRUE(pumpUntil([&] { return panelPicture() == panelBefore; })) << "a click closes it";
    EXPECT_EQ(effect.controller->getParamNormalized(PARAM_GAIN), gain) << "the closing click reaches no control";
    closeEditor(view);
}

TEST_F(WindowsEditor, MeterFollowsAProcessedSignal)
{
    Effect effect(bundle);
    ASSERT_TRUE(effect.initialized());
    effect.controller->setParamNormalized(PARAM_METERSEL, 1.0 / 3.0); // output level
    IPlugView* view = openEditor(effect);
    ASSERT_NE(view, nullptr);
    pump(300);
    const uint64_t rest = picture(kMeterX, kMeterY, kMeterW, kMeterH);

    constexpr int kRate = 44100, kBlock = 512;
    EffectSession session(effect.component);
    ASSERT_EQ(session.start(2, false, kRate, kBlock), "");
    AudioClip tone(kRate, 2, kRate);
    for (size_t i = 0; i < tone.frames(); ++i)
        tone.channels[0][i] = tone.channels[1][i] = 0.8f * static_cast<float>(std::sin(i * 0.0627));
    std::array<double, PARAM_COUNT> values{};
    for (uint32 id = 0; id < PARAM_COUNT; ++id)
        values[id] = effect.controller->getParamNormalized(id);
    AudioClip output;
    session.render(tone, nullptr, values, output, [&](double) { pump(kBlock * 1000 / kRate); });
    EXPECT_NE(picture(kMeterX, kMeterY, kMeterW, kMeterH), rest) << "the needle rose with the signal";
    EXPECT_TRUE(pumpUntil([&] { return picture(kMeterX, kMeterY, kMeterW, kMeterH) == rest; }))
        << "the needle goes back to rest";
    closeEditor(view);
}

TEST_F(WindowsEditor, OpensAndClosesFiftyTimesWithoutLeavingWindowsBehind)
{
    Effect first(bundle);
    Effect second(bundle);
    ASSERT_TRUE(first.initialized() && second.initialized());
    const int windows = topLevelWindows();
    for (int i = 0; i < 50; ++i) {
        IPlugView* view = openEditor(first);
        ASSERT_NE(view, nullptr) << "round " << i;
        pump(1);
        closeEditor(view);
        ASSERT_EQ(panel(), nullptr) << "round " << i;
    }
    for (int i = 0; i < 4; ++i) {
        IPlugView* a = openEditor(first);
        IPlugView* b = openEditor(second);
        ASSERT_TRUE(a && b) << "round " << i;
        pump(1);
        // Close in either order: the shared images and GDI+ stay until the last.
        closeEditor(i % 2 ? a : b);
        pump(1);
        closeEditor(i % 2 ? b : a);
    }
    pump(50);
    EXPECT_EQ(topLevelWindows(), windows) << "tool tips go with their panels";
    IPlugView* last = openEditor(first);
    ASSERT_NE(last, nullptr);
    pump(200);
    EXPECT_NE(panelPicture(), 0u);
    closeEditor(last);
}

} // namespace
