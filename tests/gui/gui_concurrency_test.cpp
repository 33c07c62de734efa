// A host that automates the gain, the peak reduction and the R37 trim on its
// audio thread while its user-interface thread opens and closes editors of
// the same effect: the audio thread never reaches a panel that is being torn
// down (run under ThreadSanitizer and AddressSanitizer).
#include "gui/EditorHost.h"

#include "core/ParameterIds.h"
#include "sdk/HostProcessData.h"
#include "sdk/ParameterChanges.h"

#include <atomic>
#include <cmath>
#include <thread>

using namespace Steinberg;
using testing_support::BundleEffect;

namespace {

constexpr int32 kBlock = 128;

// The host's audio thread: blocks of a tone with a change of each automated
// parameter in every block, until told to stop.
class AudioThread
{
public:
    explicit AudioThread(BundleEffect& effect)
        : processor(testing_support::queryInterface<Vst::IAudioProcessor>(effect.component))
        , component(effect.component)
    {
        Vst::ProcessSetup setup{Vst::kRealtime, Vst::kSample32, kBlock, 44100.0};
        processor->setupProcessing(setup);
        component->setActive(true);
        data.prepare(*component, *processor, kBlock);
        data.inputParameterChanges = &changes;
        worker = std::thread([this] { run(); });
    }
    ~AudioThread()
    {
        done = true;
        worker.join();
        component->setActive(false);
        processor->release();
    }

    int blocks() const { return processed; }

private:
    void run()
    {
        for (int b = 0; !done; ++b) {
            for (const Vst::ParamID id : {PARAM_GAIN, PARAM_PEAKRED, PARAM_R37}) {
                int32 index = 0, point = 0;
                changes.addParameterData(id, index)->addPoint(0, ((b + int(id)) % 11) / 10.0, point);
            }
            for (int32 c = 0; c < data.inputs[0].numChannels; ++c)
                for (int32 i = 0; i < kBlock; ++i)
                    data.input(0, c)[i] = 0.5f * std::sin(0.05f * float(b * kBlock + i));
            processor->process(data);
            changes.clearQueue();
            ++processed;
        }
    }

    Vst::IAudioProcessor* processor;
    Vst::IComponent* component;
    Vst::HostProcessData data;
    Vst::ParameterChanges changes;
    std::atomic<bool> done{false};
    std::atomic<int> processed{0};
    std::thread worker;
};

class EditorRace : public testing_support::EditorHost
{
};

TEST_F(EditorRace, EditorsOpenAndCloseWhileAutomationPlays)
{
    BundleEffect effect(bundle);
    BundleEffect neighbour(bundle);
    ASSERT_TRUE(effect.initialized && neighbour.initialized);
    // Another instance's editor stays open, as in a session: the shared
    // images stay loaded and every round is about the panel itself.
    IPlugView* other = openEditor(neighbour);
    ASSERT_NE(other, nullptr);
    {
        AudioThread audio(effect);
        for (int round = 0; round < 60; ++round) {
            IPlugView* view = openEditor(effect);
            ASSERT_NE(view, nullptr) << "round " << round;
            // Now and then long enough for the controls' tick to run.
            pump(round % 3 == 0 ? 45 : 1);
            closeEditor(view);
        }
        EXPECT_GT(audio.blocks(), 0);
    }
    closeEditor(other);
}

} // namespace
