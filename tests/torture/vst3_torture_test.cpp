// A host that does everything at once through the VST 3 entry: an audio
// thread processing blocks of random length with automation of every
// parameter (hostile values among it), and a user-interface thread opening
// and closing editors in a real window, saving and restoring states good and
// spoilt, and changing rate and buses between activations.
#include "torture/TortureSupport.h"

#include "integration/BundleHost.h"
#include "sdk/HostProcessData.h"
#include "sdk/ParameterChanges.h"
#include "tools/shot/HostFrame.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace torture;
using testing_support::BundleHost;
using testing_support::queryInterface;

namespace {

// Accepts whatever the effect tells its host, from any thread.
class QuietHandler : public IComponentHandler
{
public:
    tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API performEdit(ParamID, ParamValue) override { return kResultOk; }
    tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
};

struct Layout
{
    SpeakerArrangement main;
    bool sideChain;
};

class Vst3Torture
{
public:
    Vst3Torture(const BundleHost& bundle, const RunSettings& settings)
        : component(bundle.createComponent())
        , processor(queryInterface<IAudioProcessor>(component))
        , controller(queryInterface<IEditController>(component))
        , uiRng(settings.seed)
        , audioRng(settings.seed ^ 0x9E3779B97F4A7C15ull)
        , end(Clock::now() + settings.length)
    {
        initialized = component && processor && controller && component->initialize(&context) == kResultOk;
        if (initialized)
            controller->setComponentHandler(&handler);
    }
    ~Vst3Torture()
    {
        if (controller) {
            controller->setComponentHandler(nullptr);
            controller->release();
        }
        if (processor)
            processor->release();
        if (component) {
            component->setActive(false);
            component->terminate();
            component->release();
        }
        if (frame)
            frame->release();
    }

    bool ready() const { return initialized; }

    void run()
    {
        runActivations(
            uiRng, end, [&](double newRate) { activate(newRate); },
            [&](const std::atomic<bool>& stop) { processUntil(stop); }, [&] { userInterfaceStep(); });
        closeEditor();
    }

    // After the run: automation, then the host's own calls, each with
    // hostile values last; every parameter must end on its last valid value.
    void settle()
    {
        activate(randomRate(uiRng));
        BlockJudge judge(findings, rate);
        for (int round = 0; round < 3; ++round) {
            for (int id = 0; id < kParameterCount; ++id) {
                int32 index = 0;
                changes.clearQueue();
                const double value = round == 2 ? hostileValue(audioRng) : automationValue(audioRng);
                if (IParamValueQueue* queue = changes.addParameterData(ParamID(id), index))
                    queue->addPoint(0, value, index);
                recordLastPoints();
                processBlock(256, judge);
            }
        }
        checkLedger("after automation");
        for (int id = 0; id < kParameterCount; ++id) {
            for (double value : {automationValue(uiRng), hostileValue(uiRng)}) {
                controller->setParamNormalized(ParamID(id), value);
                ledger.set(id, value);
            }
        }
        checkLedger("after the host's changes");
    }

    Findings findings;

private:
    void activate(double newRate)
    {
        processor->setProcessing(false);
        component->setActive(false);
        if (!arrangeBuses())
            findings.add("setBusArrangements reported a layout it did not take");
        rate = newRate;
        ProcessSetup setup{kRealtime, kSample32, kMaxBlock, rate};
        processor->setupProcessing(setup);
        component->setActive(true);
        processor->setProcessing(true);
        data.prepare(*component, *processor, kMaxBlock);
        data.inputParameterChanges = &changes;
        data.processMode = kRealtime;
        data.symbolicSampleSize = kSample32;
    }

    // Asks for a layout a host might, and checks the answer against what the
    // buses now are.
    bool arrangeBuses()
    {
        static const Layout layouts[] = {{SpeakerArr::kMono, false},   {SpeakerArr::kMono, true},
                                         {SpeakerArr::kStereo, false}, {SpeakerArr::kStereo, true},
                                         {SpeakerArr::k51, false},     {SpeakerArr::k51, true}};
        const Layout& layout = layouts[between(uiRng, 0, int(std::size(layouts)) - 1)];
        SpeakerArrangement inputs[2] = {layout.main, layout.main};
        SpeakerArrangement output = layout.main;
        const int32 inputCount = layout.sideChain ? 2 : 1;
        if (processor->setBusArrangements(inputs, inputCount, &output, 1) != kResultTrue)
            return true;
        for (int32 bus = 0; bus < inputCount; ++bus) {
            SpeakerArrangement now = 0;
            if (processor->getBusArrangement(kInput, bus, now) != kResultOk || now != inputs[bus])
                return false;
        }
        SpeakerArrangement now = 0;
        return processor->getBusArrangement(kOutput, 0, now) == kResultOk && now == output;
    }

    void processUntil(const std::atomic<bool>& stop)
    {
        BlockJudge judge(findings, rate);
        while (!stop) {
            changes.clearQueue();
            for (int n = chance(audioRng, 0.5) ? between(audioRng, 1, 3) : 0; n > 0; --n) {
                const int id = between(audioRng, 0, kParameterCount - 1);
                int32 index = 0;
                IParamValueQueue* queue = changes.addParameterData(ParamID(id), index);
                // A parameter drawn twice gets more points after those it has.
                for (int points = between(audioRng, 1, 2); queue && points > 0; --points)
                    queue->addPoint(queue->getPointCount(), automationValue(audioRng), index);
            }
            recordLastPoints();
            processBlock(blockLength(audioRng), judge);
        }
    }

    // Only the last point of a queue takes effect: a block's changes are
    // recorded as those.
    void recordLastPoints()
    {
        for (int32 q = 0; q < changes.getParameterCount(); ++q) {
            IParamValueQueue* queue = changes.getParameterData(q);
            int32 offset = 0;
            ParamValue value = 0;
            if (queue && queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultTrue)
                ledger.set(int(queue->getParameterId()), value);
        }
    }

    void processBlock(int frames, BlockJudge& judge)
    {
        for (int32 bus = 0; bus < data.numInputs; ++bus)
            programme.fill(data.inputs[bus].channelBuffers32, data.inputs[bus].numChannels, frames);
        data.numSamples = frames;
        processor->process(data);
        if (data.numOutputs > 0)
            judge.judge(data.outputs[0].channelBuffers32, data.outputs[0].numChannels, frames,
                        ledger.expected[kGainId] >= kAudibleGain);
    }

    void userInterfaceStep()
    {
        switch (between(uiRng, 0, 5)) {
        case 0:
            if (view)
                closeEditor();
            else
                openEditor();
            break;
        case 1:
            restore(audible(save()));
            break;
        case 2:
            restore(hostileState(uiRng, save()));
            break;
        case 3: {
            const int id = between(uiRng, 0, kParameterCount - 1);
            controller->setParamNormalized(ParamID(id), audibleValue(uiRng, id));
            break;
        }
        case 4:
            // Editors opened and torn down in quick succession, as hosts do
            // when a user clicks through tracks.
            for (int n = between(uiRng, 1, 4); n > 0 && Clock::now() < end; --n) {
                closeEditor();
                openEditor();
                if (frame)
                    frame->run(between(uiRng, 0, 3));
            }
            break;
        default:
            break;
        }
        if (frame)
            frame->run(between(uiRng, 1, 30));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(between(uiRng, 1, 30)));
    }

    void openEditor()
    {
        if (!window.available())
            return;
        if (!frame)
            frame = new HostFrame;
        view = controller->createView("editor");
        if (!view)
            return;
        view->setFrame(frame);
        if (view->attached(window.handle(), kPlatformTypeX11EmbedWindowID) != kResultOk) {
            findings.add("the editor did not attach to a real window");
            view->setFrame(nullptr);
            view->release();
            view = nullptr;
        }
    }

    void closeEditor()
    {
        if (!view)
            return;
        view->removed();
        view->setFrame(nullptr);
        view->release();
        view = nullptr;
    }

    std::vector<uint8_t> save()
    {
        MemoryStream stream;
        if (component->getState(&stream) != kResultOk) {
            findings.add("getState failed");
            return {};
        }
        std::vector<uint8_t> state(stream.getData(), stream.getData() + stream.getSize());
        if (!holdsValidValues(state))
            findings.add("getState wrote a value a restore cannot take back");
        return state;
    }

    void restore(const std::vector<uint8_t>& state)
    {
        MemoryStream stream(const_cast<uint8_t*>(state.data()), TSize(state.size()));
        component->setState(&stream);
    }

    void checkLedger(const char* when)
    {
        double held[kParameterCount];
        for (int id = 0; id < kParameterCount; ++id)
            held[id] = controller->getParamNormalized(ParamID(id));
        ledger.check(findings, when, held, save());
    }


    HostApplication context;
    QuietHandler handler;
    IComponent* component;
    IAudioProcessor* processor;
    IEditController* controller;
    bool initialized = false;

    Rng uiRng;
    Rng audioRng;
    Clock::time_point end;
    double rate = 44100;
    HostProcessData data;
    ParameterChanges changes;
    LoudProgramme programme;
    Ledger ledger;

    ParentWindow window;
    HostFrame* frame = nullptr;
    IPlugView* view = nullptr;
};

TEST(HostTorture, Vst3HostDoingEverythingAtOnce)
{
    runThroughBundle<Vst3Torture, BundleHost>(OL7T_BUNDLE_DIR);
}

} // namespace
