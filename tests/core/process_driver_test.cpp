// The process driver as a host drives it: when changes apply, how buffers
// grow and shrink, bypass, channel layouts, the side chain, and set-up.
#include "EffectFixture.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace Steinberg::Vst;

namespace {

TEST(ProcessDriver, LastPointOfAQueueAppliesForTheWholeBlock)
{
    Effect e;
    Host host(*e, 256);
    host.change(PARAM_PEAKRED, 0.2, 0);
    host.change(PARAM_PEAKRED, 0.8, 100);
    host.change(42, 1.0, 0);
    host.block(silence());
    EXPECT_EQ(e->getParamValue(PARAM_PEAKRED), 0.8f);
    EXPECT_DOUBLE_EQ(e->peakRed, double(0.8f));
}

TEST(ProcessDriver, ZeroSampleBlockAppliesChangesAndResetsMeters)
{
    Effect e;
    Host host(*e, 512);
    host.block(sine(0.9, 1000));
    ASSERT_GT(e->meterPeak, 0.f);
    ASSERT_LT(e->meterMinGain, 1.f);

    host.data.numSamples = 0;
    host.change(PARAM_LIMITMODE, 1.0);
    host.block(silence());
    EXPECT_TRUE(e->limitMode);
    EXPECT_EQ(e->meterPeak, 0.f);
    EXPECT_EQ(e->meterMinGain, 1.f);

    host.data.numSamples = 512;
    host.block(sine(0.9, 1000));
    EXPECT_NE(host.data.output(0, 0)[500], 0.f);
}

TEST(ProcessDriver, BlockLengthDoesNotChangeTheOutput)
{
    // One long block, blocks of 512 and odd blocks of 333 (each also in place,
    // as hosts that share input and output buffers call it) give the same samples.
    auto render = [](int32_t blockSize, bool inPlace) {
        Effect e;
        Host host(*e, blockSize);
        std::vector<float> out;
        for (int64_t done = 0; done < 8192; done += blockSize) {
            host.data.numSamples = static_cast<int32_t>(std::min<int64_t>(blockSize, 8192 - done));
            if (inPlace)
                host.data.outputs[0].channelBuffers32 = host.data.inputs[0].channelBuffers32;
            host.block(sine(0.5, 1000));
            const float* left = host.data.outputs[0].channelBuffers32[0];
            out.insert(out.end(), left, left + host.data.numSamples);
        }
        EXPECT_EQ(e->sampleCounter, 8192u);
        return out;
    };
    const std::vector<float> whole = render(8192, false);
    EXPECT_NE(whole[8000], 0.f);
    EXPECT_EQ(render(512, false), whole);
    EXPECT_EQ(render(333, true), whole);
}

TEST(ProcessDriver, BypassPassesInputBitForBitAndFreezesTheModel)
{
    Effect e;
    Host host(*e, 512);
    host.block(sine(0.9, 1000));
    const double gainBefore = e->cellGain;
    host.change(PARAM_ENABLE, 0.0);
    auto noise = [](int, int c, int64_t n) { return float(((n * 7919 + c * 104729) % 2001) - 1000) / 997.f; };
    host.block(noise);
    for (int c = 0; c < 2; ++c) {
        for (int32_t i = 0; i < 512; ++i)
            ASSERT_EQ(host.data.output(0, c)[i], host.data.input(0, c)[i]);
    }
    EXPECT_EQ(e->cellGain, gainBefore);
    EXPECT_EQ(e->meterPeak, 0.f);
    EXPECT_EQ(e->meterMinGain, 1.f);
    float position;
    EXPECT_TRUE(e->getMeterPosition(position, 10, false));
}

TEST(ProcessDriver, MonoInputWithStereoOutputProcessesSilenceOnTheRight)
{
    Effect e;
    Host host(*e, 512, {1}, {2});
    host.data.output(0, 1)[3] = 5.f;
    host.block(sine(0.5, 1000));
    EXPECT_NE(host.data.output(0, 0)[200], 0.f);
    for (int32_t i = 0; i < 512; ++i)
        ASSERT_EQ(host.data.output(0, 1)[i], 0.f);
}

// The detector's source shows in how hard the cell pulls on a quiet main signal.
double gainWith(bool sideChainOn, std::vector<int32_t> inputs, bool nullAuxLeft = false)
{
    Effect e;
    Host host(*e, 441, inputs, {2});
    host.change(PARAM_SIDECH, sideChainOn ? 1.0 : 0.0);
    if (nullAuxLeft)
        host.data.setInputChannelPointer(1, 0, nullptr);
    // Quiet main signal, loud key on the side chain.
    auto signal = [](int bus, int, int64_t n) {
        return float((bus == 0 ? 0.01 : 1.0) * std::sin(6.283185307179586 * 1000.0 * double(n) / 44100.0));
    };
    for (int b = 0; b < 50; ++b)
        host.block(signal);
    return e->cellGain;
}

TEST(ProcessDriver, SideChainFeedsTheDetectorOnlyWhenSwitchedOnAndPresent)
{
    EXPECT_GT(gainWith(false, {2, 2}), 0.99);
    EXPECT_LT(gainWith(true, {2, 2}), 0.5);
    EXPECT_NEAR(gainWith(true, {2, 1}), gainWith(true, {2, 2}), 1e-9) << "mono aux feeds both detector channels";
    EXPECT_GT(gainWith(true, {2}), 0.99) << "no aux bus: the main input";
    EXPECT_GT(gainWith(true, {2, 1}, true), 0.99) << "null aux channel: the main input";
}

TEST(ProcessDriver, MissingBusesLeaveEverythingAsItWas)
{
    Effect e;
    Host host(*e, 512, {}, {2});
    host.change(PARAM_GAIN, 1.0);
    host.block(silence());
    EXPECT_EQ(e->gainTarget, 24.0);
    EXPECT_EQ(e->sampleCounter, 0u);
}

TEST(ProcessDriver, SetupAdoptsTheRateEvenWhenRefusingDoubles)
{
    Effect e;
    EXPECT_EQ(e->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(e->canProcessSampleSize(kSample64), kResultFalse);
    ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
    EXPECT_EQ(e->setupProcessing(setup), kResultFalse);
    EXPECT_EQ(e->getSampleRate(), 48000.f);
    setup.symbolicSampleSize = kSample32;
    setup.sampleRate = 96000.0;
    EXPECT_EQ(e->setupProcessing(setup), kResultOk);
    EXPECT_EQ(e->getSampleRate(), 96000.f);
    EXPECT_EQ(e->getLatencySamples(), 0u);
    EXPECT_EQ(e->getTailSamples(), 0u);
    EXPECT_EQ(e->setProcessing(true), kNotImplemented);
}

TEST(ProcessDriver, HostQueuesKeepPointsInOrderOfOffset)
{
    ParameterValueQueue queue(3);
    int32 index = -1;
    queue.addPoint(100, 0.8, index);
    queue.addPoint(0, 0.2, index);
    EXPECT_EQ(index, 0);
    queue.addPoint(100, 0.9, index);
    ASSERT_EQ(queue.getPointCount(), 2);
    int32 offset;
    ParamValue value;
    queue.getPoint(1, offset, value);
    EXPECT_EQ(offset, 100);
    EXPECT_EQ(value, 0.9);
    EXPECT_EQ(queue.getPoint(2, offset, value), kResultFalse);

    // A host's changes are kept per block; the queues are reused afterwards.
    ParameterChanges changes;
    IParamValueQueue* first = changes.addParameterData(7, index);
    changes.addParameterData(7, index);
    EXPECT_EQ(changes.getParameterCount(), 1);
    changes.clearQueue();
    EXPECT_EQ(changes.getParameterCount(), 0);
    IParamValueQueue* reused = changes.addParameterData(2, index);
    EXPECT_EQ(reused, first);
    EXPECT_EQ(reused->getParameterId(), 2u);
    EXPECT_EQ(reused->getPointCount(), 0);
}

} // namespace

namespace {

TEST(ProcessDriver, SamplesThatAreNotNumbersDoNotSilenceTheEffect)
{
    for (float bad : {std::nanf(""), INFINITY, -INFINITY}) {
        Effect e;
        Host host(*e, 64);
        host.block([&](int, int, int64_t n) { return n == 10 ? bad : 0.1f; });
        EXPECT_EQ(host.data.output(0, 0)[10], 0.f);
        for (int b = 0; b < 20; ++b)
            host.block(sine(0.3, 1000));
        EXPECT_TRUE(std::isfinite(e->cellGain));
        EXPECT_GT(e->cellGain, 0.5) << bad;
        EXPECT_GT(std::fabs(host.data.output(0, 0)[16]), 0.01f) << bad;
    }
}

} // namespace
