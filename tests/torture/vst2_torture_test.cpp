// The same torture through the VST 2 entry: parameters set beside processing
// from both threads, chunks saved and restored good and spoilt, the editor
// opened and closed in a real window, idle calls sent in some activations and
// not at all in others.
// The VST 2 header before the X headers, whose macros it cannot take.
#include <gtest/gtest.h>

#include "sdk/Vst2Abi.h"
#include "sdk/Vst2Chunk.h"

#include "integration/BundleHost.h"
#include "torture/TortureSupport.h"

#include <thread>

using namespace torture;
using testing_support::BundleHost;

namespace {

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.f)
{
    return e->control(e, static_cast<VST_EFFECT_OPCODE>(opcode), index, value, ptr, opt);
}

class Vst2Torture
{
public:
    Vst2Torture(const BundleHost& bundle, const RunSettings& settings)
        : uiRng(settings.seed)
        , audioRng(settings.seed ^ 0x9E3779B97F4A7C15ull)
        , end(Clock::now() + settings.length)
        , storage(4, std::vector<float>(kMaxBlock))
    {
        auto main = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(bundle.symbol("VSTPluginMain"));
        effect = main ? main(&hostCallback) : nullptr;
        if (effect)
            dispatch(effect, effOpen);
    }
    ~Vst2Torture()
    {
        if (!effect)
            return;
        if (editorOpen)
            dispatch(effect, effEditClose);
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effClose);
    }

    bool ready() const { return effect != nullptr; }

    void run()
    {
        runActivations(
            uiRng, end,
            [&](double newRate) {
                activate(newRate);
                idleCalls = chance(uiRng, 0.5);
            },
            [&](const std::atomic<bool>& stop) { processUntil(stop); }, [&] { userInterfaceStep(); });
        if (editorOpen)
            toggleEditor();
    }

    // After the run, without idle calls: changes from the audio side, then
    // from the host's user-interface side, each with hostile values last.
    void settle()
    {
        activate(randomRate(uiRng));
        BlockJudge judge(findings, rate);
        for (int round = 0; round < 3; ++round) {
            for (int id = 0; id < kParameterCount; ++id) {
                const double value = round == 2 ? hostileValue(audioRng) : automationValue(audioRng);
                setParameter(id, value);
                processBlock(256, judge);
            }
        }
        checkLedger("after changes beside processing");
        for (int id = 0; id < kParameterCount; ++id) {
            setParameter(id, automationValue(uiRng));
            setParameter(id, hostileValue(uiRng));
        }
        processBlock(256, judge);
        checkLedger("after the host's changes and one block");
        // A preset loaded after changes still queued wins over them.
        std::vector<uint8_t> preset = save();
        for (int id = 0; id < kParameterCount && preset.size() == kStateSize; ++id) {
            setParameter(id, automationValue(audioRng));
            const double value = std::uniform_real_distribution<double>(0, 1)(uiRng);
            storeValue(preset, id, value);
            ledger.set(id, float(value));
        }
        restore(preset, false);
        processBlock(256, judge);
        checkLedger("after a preset loaded over queued changes");
    }

    Findings findings;

private:
    void activate(double newRate)
    {
        dispatch(effect, effStopProcess);
        dispatch(effect, effMainsChanged, 0, 0);
        rate = newRate;
        dispatch(effect, effSetSampleRate, 0, 0, nullptr, float(rate));
        dispatch(effect, effSetBlockSize, 0, kMaxBlock);
        arrangeSpeakers();
        dispatch(effect, effMainsChanged, 0, 1);
        dispatch(effect, effStartProcess);
    }

    // Mono or stereo, with or without the side-chain channels.
    void arrangeSpeakers()
    {
        const int32_t out = between(uiRng, 1, 2);
        VstSpeakerArrangement input{};
        VstSpeakerArrangement output{};
        input.channels = chance(uiRng, 0.5) ? 2 * out : out;
        output.channels = out;
        input.type = output.type = VST_ARRANGEMENT_TYPE(out == 1 ? kSpeakerArrMono : kSpeakerArrStereo);
        dispatch(effect, effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input), &output);
    }

    void setParameter(int id, double value)
    {
        effect->set_parameter(effect, uint32_t(id), float(value));
        ledger.set(id, float(value));
    }

    void processUntil(const std::atomic<bool>& stop)
    {
        BlockJudge judge(findings, rate);
        while (!stop) {
            for (int n = chance(audioRng, 0.5) ? between(audioRng, 1, 3) : 0; n > 0; --n)
                setParameter(between(audioRng, 0, kParameterCount - 1), automationValue(audioRng));
            processBlock(blockLength(audioRng), judge);
        }
    }

    void processBlock(int frames, BlockJudge& judge)
    {
        const int inputs = std::clamp(effect->num_inputs, 0, 4);
        const int outputs = std::clamp(effect->num_outputs, 0, 2);
        float* in[4] = {storage[0].data(), storage[1].data(), storage[2].data(), storage[3].data()};
        float* out[2] = {outputStorage[0], outputStorage[1]};
        programme.fill(in, inputs, frames);
        effect->process_float(effect, in, out, frames);
        judge.judge(out, outputs, frames, ledger.expected[kGainId] >= kAudibleGain);
    }

    void userInterfaceStep()
    {
        switch (between(uiRng, 0, 5)) {
        case 0:
            toggleEditor();
            break;
        case 1:
            restore(audible(save()));
            break;
        case 2:
            restore(hostileState(uiRng, save()));
            break;
        case 3: {
            const int id = between(uiRng, 0, kParameterCount - 1);
            effect->set_parameter(effect, uint32_t(id), float(audibleValue(uiRng, id)));
            break;
        }
        case 4:
            for (int n = 2 * between(uiRng, 1, 4); n > 0 && (editorOpen || Clock::now() < end); --n)
                toggleEditor();
            break;
        default:
            break;
        }
        if (idleCalls) {
            dispatch(effect, effIdle);
            if (editorOpen)
                dispatch(effect, effEditIdle);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(between(uiRng, 1, 30)));
    }

    void toggleEditor()
    {
        if (editorOpen) {
            dispatch(effect, effEditClose);
            editorOpen = false;
        } else if (window.available()) {
            ERect* rect = nullptr;
            dispatch(effect, effEditGetRect, 0, 0, &rect);
            editorOpen = dispatch(effect, effEditOpen, 0, 0, window.handle()) == 1;
            if (!editorOpen)
                findings.add("the editor did not open in a real window");
        }
    }

    // The component state inside the effect's chunk.
    std::vector<uint8_t> save()
    {
        void* data = nullptr;
        const intptr_t size = dispatch(effect, effGetChunk, 0, 0, &data);
        std::span<const uint8_t> component;
        std::span<const uint8_t> controller;
        if (size <= 0 || !data
            || !Steinberg::Vst2Chunk::split({static_cast<const uint8_t*>(data), size_t(size)}, component, controller)) {
            findings.add("effGetChunk gave no chunk");
            return {};
        }
        std::vector<uint8_t> state(component.begin(), component.end());
        if (!holdsValidValues(state))
            findings.add("effGetChunk wrote a value a restore cannot take back");
        return state;
    }

    // `damage`: now and then the envelope itself is spoilt, its sizes beyond the chunk.
    void restore(const std::vector<uint8_t>& state, bool damage = true)
    {
        std::vector<uint8_t> chunk = Steinberg::Vst2Chunk::join(state, {});
        if (damage && chance(uiRng, 0.1) && chunk.size() >= Steinberg::Vst2Chunk::kHeaderSize)
            chunk[between(uiRng, 0, 15)] = 0xFF;
        dispatch(effect, effSetChunk, 0, intptr_t(chunk.size()), chunk.data());
    }

    void checkLedger(const char* when)
    {
        double held[kParameterCount];
        for (int id = 0; id < kParameterCount; ++id)
            held[id] = effect->get_parameter(effect, uint32_t(id));
        ledger.check(findings, when, held, save());
    }


    AEffect* effect = nullptr;
    Rng uiRng;
    Rng audioRng;
    Clock::time_point end;
    double rate = 44100;
    bool idleCalls = false;
    bool editorOpen = false;
    std::vector<std::vector<float>> storage;
    float outputStorage[2][kMaxBlock] = {};
    LoudProgramme programme;
    Ledger ledger;
    ParentWindow window;
};

TEST(HostTorture, Vst2HostDoingEverythingAtOnce)
{
    runThroughBundle<Vst2Torture, BundleHost>(OL7T_BUNDLE_DIR);
}

} // namespace
