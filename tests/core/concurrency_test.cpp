// The user-interface thread redesigns filters while the audio thread
// processes: no data race, and no half-written coefficient set.
#include "EffectFixture.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace testing_support;

namespace {

TEST(Concurrency, FilterRedesignWhileProcessingIsRaceFreeAndWhole)
{
    Effect e;
    Host host(*e, 128);
    std::atomic<bool> done{false};

    std::thread ui([&] {
        for (int i = 0; !done; ++i) {
            const double v = (i % 100) / 99.0;
            e->setParamNormalized(PARAM_PEAKRED, v);
            e->setParamNormalized(PARAM_R37, 1.0 - v);
        }
    });
    // Every published set is one whole design: R37's bell at 220 Hz never
    // cuts by more than 13 dB or boosts, whatever moment it is read.
    int blocks = 0;
    for (; blocks < 400; ++blocks) {
        host.block(sine(0.8, 220));
        const double bell = magnitudeDb(e->currentFilters().detBell, 220, 44100);
        ASSERT_LE(bell, 1e-9);
        ASSERT_GE(bell, -13.0 - 1e-9);
        ASSERT_TRUE(std::isfinite(host.data.output(0, 0)[127]));
    }
    done = true;
    ui.join();
    EXPECT_EQ(blocks, 400);
}

TEST(Concurrency, APublishDuringAnotherReturnsAtOnceAndItsSettingsAreStillPublished)
{
    SharedFilterSets shared;
    std::atomic<int> setting{2};
    auto design = [&] {
        FilterSets sets;
        sets.detBell.b0 = setting;
        return sets;
    };
    // The user-interface thread is held in the middle of its design.
    std::atomic<bool> designing{false}, letGo{false};
    std::thread ui([&] {
        shared.publish([&] {
            designing = true;
            while (!letGo)
                std::this_thread::yield();
            return design();
        });
    });
    while (!designing)
        std::this_thread::yield();

    // The audio thread asks for a design of newer settings: it must not wait,
    // and it still reads the last whole set (the initial one) meanwhile.
    setting = 3;
    shared.publish(design);
    FilterSets seen;
    EXPECT_TRUE(shared.read(seen));
    EXPECT_EQ(seen.detBell.b0, 1.0);

    letGo = true;
    ui.join();
    EXPECT_TRUE(shared.read(seen));
    EXPECT_EQ(seen.detBell.b0, 3.0) << "the newest settings are published last";
}

TEST(Concurrency, AutomationInProcessWhileTheHostSetsAndSavesTheSameParameters)
{
    Effect e;
    Host host(*e, 64);
    std::atomic<bool> done{false};
    std::thread ui([&] {
        Steinberg::MemoryStream stream;
        for (int i = 0; !done; ++i) {
            e->setParamNormalized(PARAM_GAIN, (i % 10) / 10.0);
            e->getParamNormalized(PARAM_PEAKRED);
            stream.seek(0, Steinberg::IBStream::kIBSeekSet, nullptr);
            e->getState(&stream);
        }
    });
    for (int b = 0; b < 300; ++b) {
        host.change(PARAM_GAIN, (b % 7) / 7.0);
        host.change(PARAM_PEAKRED, (b % 5) / 5.0);
        host.block(sine(0.5, 1000));
    }
    done = true;
    ui.join();
    const double gain = e->getParamNormalized(PARAM_GAIN);
    EXPECT_GE(gain, 0.0);
    EXPECT_LE(gain, 1.0);
}

TEST(Concurrency, MeterReadsWhileProcessing)
{
    Effect e;
    Host host(*e, 64);
    std::atomic<bool> done{false};
    std::thread ui([&] {
        float position = 0;
        while (!done)
            e->getMeterPosition(position, 10, true);
    });
    for (int b = 0; b < 500; ++b)
        host.block(sine(0.8, 1000));
    done = true;
    ui.join();
    SUCCEED();
}

} // namespace
