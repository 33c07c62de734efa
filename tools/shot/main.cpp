// ol7t-shot: opens the editor of a bundle in a window of the platform layer
// through IPlugView, plays a signal through the effect so the meter moves,
// optionally replays a script of pointer, wheel and key input, and writes a
// PNG of the editor as it is on screen, with any tool tip or menu over it.
#include "tools/render/DemoProgramme.h"
#include "tools/render/EffectSession.h"
#include "tools/render/PluginModule.h"
#include "tools/shot/HostFrame.h"
#include "tools/shot/InputPlayer.h"
#include "tools/shot/InputScript.h"
#include "tools/shot/ModuleEffect.h"
#include "tools/shot/ScreenCapture.h"

#include "pal/CPalWindow.h"
#include "pal/PalRunLoop.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace Steinberg;

namespace {

constexpr int kSampleRate = 44100;
constexpr int kBlockSize = 512;
constexpr int kWindowX = 40;
constexpr int kWindowY = 40;
// Pause after each scripted input event.
constexpr int kStepMs = 30;
// Time for the editor to draw the last input's effect before the picture.
constexpr int kSettleMs = 150;
// How long a menu left open by the script may keep the editor busy before
// Escape closes it, and how often that is tried.
constexpr int kMenuGraceMs = 300;
constexpr int kMenuEscapes = 5;

struct Options
{
    std::string bundle = OL7T_DEFAULT_BUNDLE;
    std::string output = "ol7t-editor.png";
    std::string script;
    double seconds = 1.5;
    double scale = 0; // 0: the editor chooses
    bool module = false;
    std::array<double, 8> values{};
    std::array<bool, 8> given{};
};

void usage()
{
    std::fprintf(stderr,
                 "usage: ol7t-shot [--bundle DIR] [--out FILE.png] [--signal SECONDS] [--param ID=VALUE]...\n"
                 "                 [--script FILE] [--module] [--scale 1|1.5|2]\n"
                 "Opens the editor of the bundle, plays the demo programme through the effect for the\n"
                 "given time (0 for none), replays the input script and writes a PNG of the window.\n"
                 "--module shows the compact panel of the channel-strip module.\n"
                 "--scale gives the editor the host's scale factor (script positions are screen pixels).\n");
}

bool parseArguments(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--bundle" && hasValue)
            o.bundle = argv[++i];
        else if (arg == "--out" && hasValue)
            o.output = argv[++i];
        else if (arg == "--module")
            o.module = true;
        else if (arg == "--script" && hasValue)
            o.script = argv[++i];
        else if (arg == "--scale" && hasValue) {
            o.scale = std::atof(argv[++i]);
            if (!(o.scale >= 0.5 && o.scale <= 4.0))
                return false;
        }
        else if (arg == "--signal" && hasValue) {
            o.seconds = std::atof(argv[++i]);
            if (!(o.seconds >= 0.0 && o.seconds <= 60.0))
                return false;
        } else if (arg == "--param" && hasValue) {
            unsigned id = 0;
            double value = 0;
            if (std::sscanf(argv[++i], "%u=%lf", &id, &value) != 2 || id >= 8 || !(value >= 0.0 && value <= 1.0))
                return false;
            o.values[id] = value;
            o.given[id] = true;
        } else
            return false;
    }
    return true;
}

// A script may end with a menu open, which holds the editor's thread in its
// own loop: Escape closes it, so the tool can end.
void closeLeftMenu(const std::atomic<bool>& loopEnded)
{
    InputStep escape;
    escape.kind = InputStep::Key;
    escape.key = "Escape";
    for (int attempt = 0; attempt < kMenuEscapes && !loopEnded; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kMenuGraceMs));
        if (!loopEnded) {
            InputPlayer player;
            if (player.ready())
                player.play(escape, 0, 0);
        }
    }
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseArguments(argc, argv, options)) {
        usage();
        return 2;
    }
    std::vector<InputStep> steps;
    if (!options.script.empty()) {
        std::string error;
        if (!parseInputScript(readFile(options.script), steps, error)) {
            std::fprintf(stderr, "ol7t-shot: %s: %s\n", options.script.c_str(), error.c_str());
            return 2;
        }
    }
    if (!ZVNPal::StartGraphicsRuntime()) {
        std::fprintf(stderr, "ol7t-shot: no display (set DISPLAY)\n");
        return 1;
    }

    PluginModule module;
    IPtr<Vst::IComponent> component;
    std::string error;
    if (options.module) {
        error = createModuleEffect(options.bundle, component);
    } else {
        error = module.open(options.bundle);
        if (error.empty())
            error = module.createEffect(component);
    }
    if (!error.empty()) {
        std::fprintf(stderr, "ol7t-shot: %s\n", error.c_str());
        ZVNPal::ShutdownGraphicsRuntime();
        return 1;
    }
    FUnknownPtr<Vst::IEditController> controller(component);
    std::array<double, 8> values{};
    for (uint32 id = 0; id < 8; ++id) {
        if (options.given[id])
            controller->setParamNormalized(id, options.values[id]);
        values[id] = controller->getParamNormalized(id);
    }

    int status = 1;
    {
        IPtr<IPlugView> view = owned(controller->createView("editor"));
        if (FUnknownPtr<IPlugViewContentScaleSupport> scaling(view); scaling && options.scale > 0)
            scaling->setContentScaleFactor(static_cast<float>(options.scale));
        ViewRect size;
        if (!view || view->getSize(&size) != kResultOk) {
            std::fprintf(stderr, "ol7t-shot: the effect offers no editor\n");
        } else {
            ZVNPal::CPalWindow parent;
            parent.Create("OL-7T", ZVNPal::CPalRect(kWindowX, kWindowY, size.getWidth(), size.getHeight()),
                          ZVNPal::kPalWindowPlain, 0, nullptr);
            parent.Show(true);
            IPtr<HostFrame> frame = owned(new HostFrame);
            view->setFrame(frame);
            if (view->attached(reinterpret_cast<void*>(parent.GetHandle()), ZVNPal::PlatformViewType()) != kResultOk) {
                std::fprintf(stderr, "ol7t-shot: the editor did not open\n");
            } else {
                const auto pump = [&](int ms) {
                    frame->run(ms);
                    ZVNPal::RunEventLoop(0);
                };
                pump(200);
                EffectSession session(component);
                if (options.seconds > 0 && session.start(2, false, kSampleRate, kBlockSize).empty()) {
                    AudioClip programme = makeDemoProgramme(kSampleRate, options.seconds);
                    AudioClip output;
                    // Each block is given its real duration, so the meter sees audio in time.
                    const int blockMs = kBlockSize * 1000 / kSampleRate;
                    session.render(programme, nullptr, values, output, [&](double) { pump(blockMs); });
                }
                ZVNPal::PalPoint origin{0, 0};
                parent.ClientToScreen(&origin);
                // The input plays and the picture is taken on a thread of
                // their own, with their own connections, so a menu that the
                // editor runs modally on this thread shows in the picture
                // and can be answered.
                const ScreenArea panel{origin.x, origin.y, size.getWidth(), size.getHeight()};
                std::atomic<bool> shot{false};
                std::atomic<bool> loopEnded{false};
                std::string failure;
                ScreenArea written;
                std::thread input([&] {
                    {
                        InputPlayer player;
                        for (const InputStep& step : steps) {
                            if (player.ready())
                                player.play(step, origin.x, origin.y);
                            std::this_thread::sleep_for(
                                std::chrono::milliseconds(step.kind == InputStep::Wait ? step.a : kStepMs));
                        }
                        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
                        failure = saveScreenArea(&parent, panel, options.output, written);
                    }
                    shot = true;
                    closeLeftMenu(loopEnded);
                });
                while (!shot)
                    pump(kStepMs);
                loopEnded = true;
                input.join();
                if (failure.empty()) {
                    std::printf("ol7t-shot: wrote %s (%d x %d)\n", options.output.c_str(), written.width,
                                written.height);
                    status = 0;
                } else {
                    std::fprintf(stderr, "ol7t-shot: %s\n", failure.c_str());
                }
                view->removed();
            }
            view->setFrame(nullptr);
            parent.Destroy();
        }
    }
    component->terminate();
    component = nullptr;
    ZVNPal::ShutdownGraphicsRuntime();
    return status;
}
