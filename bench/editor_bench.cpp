// An open editor as a host pays for it: the time from createView to the
// first painted pixel (the first editor of the process, the same effect's
// editor opened again, another effect's editor while one is open), and the
// run loop's wakeups and the user-interface thread's CPU time with the
// editor open, the needle resting and moving. Needs an X display.
#include "integration/BundleHost.h"
#include "sdk/HostProcessData.h"
#include "tools/shot/HostFrame.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>

using namespace Steinberg;
using namespace Steinberg::Vst;
using testing_support::queryInterface;

namespace {

constexpr int kPanelRow = 100; // a row across the panel, which paints it anything but black
constexpr int kPanelWidth = 198;  // the narrower panel's width

struct Effect
{
    explicit Effect(const testing_support::BundleHost& host)
        : component(host.createComponent())
        , controller(queryInterface<IEditController>(component))
        , processor(queryInterface<IAudioProcessor>(component))
    {
        ready = controller && processor && component->initialize(&context) == kResultOk;
    }
    ~Effect()
    {
        if (processor)
            processor->release();
        if (controller)
            controller->release();
        if (component) {
            component->terminate();
            component->release();
        }
    }
    HostApplication context;
    IComponent* component;
    IEditController* controller;
    IAudioProcessor* processor;
    bool ready = false;
};

// The host's side: its own X connection, a parent window per editor and a
// run loop.
struct Host
{
    Host()
        : bundle(OL7T_BUNDLE_DIR)
        , display(XOpenDisplay(nullptr))
        , frame(new HostFrame)
    {
    }
    ~Host()
    {
        frame->release();
        if (display)
            XCloseDisplay(display);
    }

    Window makeParent()
    {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
        const Window parent = XCreateWindow(display, DefaultRootWindow(display), 0, 320 * (parents++ % 3), 800, 300, 0, CopyFromParent,
                                            InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(display, parent);
        XSync(display, False);
        return parent;
    }

    // Opens the effect's editor and runs the loop until the panel shows;
    // returns the milliseconds that took.
    double openAndWaitForPaint(Effect& effect, Window parent, IPlugView*& view)
    {
        const auto start = std::chrono::steady_clock::now();
        view = effect.controller->createView("editor");
        view->setFrame(frame);
        view->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID);
        while (!painted(parent) && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
            frame->run(1);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }

    bool painted(Window parent)
    {
        XImage* row = XGetImage(display, parent, 0, kPanelRow, kPanelWidth, 1, AllPlanes, ZPixmap);
        if (!row)
            return false;
        bool shown = false;
        for (int x = 0; x < kPanelWidth && !shown; ++x)
            shown = XGetPixel(row, x, 0) != BlackPixel(display, DefaultScreen(display));
        XDestroyImage(row);
        return shown;
    }

    static void close(IPlugView* view)
    {
        view->removed();
        view->setFrame(nullptr);
        view->release();
    }

    testing_support::BundleHost bundle;
    Display* display;
    HostFrame* frame;
    int parents = 0; // parent windows one below the other on the screen, the newest raised
};

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// Milliseconds to the first paint: of the process's first editor, of the same
// effect's editor opened again, and of another effect's editor while the
// first is open. One iteration: first paints happen once per process.
// One host for the process, as a DAW is.
Host& theHost()
{
    static Host* host = [] {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        return new Host;
    }();
    return *host;
}

void BM_FirstPaint(benchmark::State& state)
{
    Host& host = theHost();
    if (!host.display || !host.bundle.loaded()) {
        state.SkipWithError("no X display or no bundle");
        return;
    }
    Effect first(host.bundle), second(host.bundle);
    const Window parentA = host.makeParent(), parentB = host.makeParent();
    for (auto _ : state) {
        IPlugView* view = nullptr;
        IPlugView* other = nullptr;
        state.counters["first_ms"] = host.openAndWaitForPaint(first, parentA, view);
        Host::close(view);
        XClearWindow(host.display, parentA);
        state.counters["reopened_ms"] = host.openAndWaitForPaint(first, parentA, view);
        state.counters["another_effect_ms"] = host.openAndWaitForPaint(second, parentB, other);
        Host::close(other);
        Host::close(view);
    }
}

// Run-loop timer wakeups per second and the CPU share of the user-interface
// thread with one editor open for `seconds`: argument 0 with no audio (the
// needle at rest), 1 with audio processed between the loop's turns, so the
// needle moves.
void BM_OpenEditor(benchmark::State& state)
{
    Host& host = theHost();
    if (!host.display || !host.bundle.loaded()) {
        state.SkipWithError("no X display or no bundle");
        return;
    }
    Effect effect(host.bundle);
    const bool moving = state.range(0) != 0;
    HostProcessData data;
    ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
    effect.processor->setupProcessing(setup);
    effect.component->setActive(true);
    data.prepare(*effect.component, *effect.processor, 512);
    const Window parent = host.makeParent();
    IPlugView* view = nullptr;
    host.openAndWaitForPaint(effect, parent, view);
    host.frame->run(300);

    constexpr int kSeconds = 3;
    const size_t firesBefore = host.frame->timerFires();
    const double handlersBefore = host.frame->handlerCpuMs();
    double cpu = 0;
    long blocks = 0;
    for (auto _ : state) {
        const double start = threadCpuMs();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kSeconds);
        while (std::chrono::steady_clock::now() < end) {
            if (moving) {
                // An audio block every 10.7 ms: processed outside the measured
                // user-interface time, with a level that swells and falls.
                const double level = 0.5 + 0.45 * std::sin(double(blocks++) * 0.05);
                for (int32 i = 0; i < 512; ++i)
                    data.input(0, 0)[i] = data.input(0, 1)[i] = float(level * std::sin(0.06 * i));
                const double before = threadCpuMs();
                effect.processor->process(data);
                cpu -= threadCpuMs() - before;
            }
            host.frame->run(moving ? 10 : 100);
        }
        cpu += threadCpuMs() - start;
    }
    const double seconds = double(kSeconds) * double(state.iterations());
    state.counters["timer_wakeups_per_s"] = double(host.frame->timerFires() - firesBefore) / seconds;
    state.counters["ui_thread_core_percent"] = cpu / (seconds * 1000.0) * 100.0;
    state.counters["editor_code_core_percent"] = (host.frame->handlerCpuMs() - handlersBefore) / (seconds * 1000.0) * 100.0;
    Host::close(view);
}

BENCHMARK(BM_FirstPaint)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEditor)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
