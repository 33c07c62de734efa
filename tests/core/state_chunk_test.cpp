// The saved settings: the exact bytes written, what a restore accepts and
// applies, and every chunk it refuses without changing anything.
#include "EffectFixture.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

using namespace testing_support;
using namespace Steinberg;

namespace {

std::vector<uint8_t> chunk(int32_t magic, int32_t version, int32_t count, const std::vector<double>& values)
{
    std::vector<uint8_t> bytes(12 + 8 * values.size());
    std::memcpy(&bytes[0], &magic, 4);
    std::memcpy(&bytes[4], &version, 4);
    std::memcpy(&bytes[8], &count, 4);
    std::memcpy(bytes.data() + 12, values.data(), 8 * values.size());
    return bytes;
}

std::vector<uint8_t> saved(ol7t& e)
{
    MemoryStream stream;
    EXPECT_EQ(e.getState(&stream), kResultOk);
    const auto* data = reinterpret_cast<const uint8_t*>(stream.getData());
    return {data, data + stream.getSize()};
}

tresult restore(ol7t& e, const std::vector<uint8_t>& bytes)
{
    MemoryStream stream(const_cast<uint8_t*>(bytes.data()), static_cast<TSize>(bytes.size()));
    return e.setState(&stream);
}

std::vector<float> program(ol7t& e)
{
    std::vector<float> v;
    for (uint32_t id = 0; id < 8; ++id)
        v.push_back(e.getParamValue(id));
    return v;
}

const std::vector<double> kDefaults = {1.0, 0.4000000059604645, 0.5, 0.0, 0.5, 0.0, 0.0, 0.0};

TEST(StateChunk, DefaultStateIsSeventySixKnownBytes)
{
    Effect e;
    const std::vector<uint8_t> bytes = saved(*e);
    ASSERT_EQ(bytes.size(), 76u);
    const uint8_t header[] = {0x74, 0x37, 0x6F, 0x4F, 1, 0, 0, 0, 8, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data(), header, 12), 0);
    EXPECT_EQ(bytes, chunk(ol7t::kStateMagic, 1, 8, kDefaults));
}

TEST(StateChunk, BeforeInitialisationTheHeaderAndEightZeros)
{
    ol7t* e = new ol7t;
    EXPECT_EQ(saved(*e), chunk(ol7t::kStateMagic, 1, 8, std::vector<double>(8, 0.0)));
    e->release();
}

TEST(StateChunk, RoundTripRestoresValuesAsSinglePrecision)
{
    Effect e;
    e->setParamNormalized(PARAM_PEAKRED, 0.1);
    const std::vector<uint8_t> bytes = saved(*e);
    Effect other;
    ASSERT_EQ(restore(*other, bytes), kResultOk);
    EXPECT_EQ(other->getParamNormalized(PARAM_PEAKRED), double(0.1f));
    EXPECT_EQ(other->peakRed, double(0.1f));

    Effect same;
    ASSERT_EQ(restore(*same, saved(*same)), kResultOk);
    EXPECT_EQ(program(*same), program(*Effect()));
}

TEST(StateChunk, AcceptsOtherVersionsShortAndLongCounts)
{
    Effect e;
    EXPECT_EQ(restore(*e, chunk(ol7t::kStateMagic, 2, 8, {0, 0.7, 0.5, 0, 0.5, 0, 0, 0})), kResultOk);
    EXPECT_FALSE(e->enabled);
    EXPECT_EQ(e->getParamValue(PARAM_GAIN), 0.7f);

    Effect f;
    f->setParamNormalized(PARAM_R37, 0.9);
    ASSERT_EQ(restore(*f, chunk(ol7t::kStateMagic, 1, 3, {0.0, 1.0, 1.0})), kResultOk);
    EXPECT_FALSE(f->enabled);
    EXPECT_EQ(f->gainTarget, 24.0);
    EXPECT_EQ(f->peakRed, 1.0);
    EXPECT_EQ(f->getParamValue(PARAM_R37), 0.9f) << "parameters beyond the count keep their values";

    std::vector<double> ten(10, 1.0);
    ten[8] = std::numeric_limits<double>::quiet_NaN();
    Effect g;
    EXPECT_EQ(restore(*g, chunk(ol7t::kStateMagic, 1, 10, ten)), kResultOk) << "values past eight are not read";
    EXPECT_EQ(program(*g), std::vector<float>(8, 1.f));

    Effect h;
    EXPECT_EQ(restore(*h, chunk(ol7t::kStateMagic, 1, -1, std::vector<double>(8, 0.0))), kResultOk);
    EXPECT_EQ(program(*h), std::vector<float>(8, 0.f)) << "a negative count means all eight";

}

TEST(StateChunk, FiniteValuesOutsideTheRangeAreHeldToItAndKeepTheEffectWorking)
{
    Effect e;
    ASSERT_EQ(restore(*e, chunk(ol7t::kStateMagic, 1, 8, {1.5, 1e30, -1e30, 0, 1e300, 0, 0, -0.5})), kResultOk);
    EXPECT_EQ(program(*e), (std::vector<float>{1, 1, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(e->getParamNormalized(PARAM_GAIN), 1.0);
    EXPECT_EQ(e->gainTarget, 24.0);

    Host host(*e, 512);
    for (int b = 0; b < 20; ++b)
        host.block(sine(0.9, 1000));
    EXPECT_TRUE(std::isfinite(host.data.output(0, 0)[511]));
    EXPECT_NE(host.data.output(0, 0)[511], 0.f);
}

TEST(StateChunk, NoEntryCanPutAValueThatIsNotANumberIntoTheSavedState)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Effect e;
    const std::vector<uint8_t> before = saved(*e);
    Host host(*e, 64);
    for (uint32_t id = 0; id < 8; ++id) {
        e->setParamNormalized(id, nan);
        e->applyParameter(id, -std::numeric_limits<float>::infinity());
        host.change(id, nan);
    }
    host.block(silence());
    EXPECT_EQ(saved(*e), before);
}

TEST(StateChunk, RefusedChunksChangeNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> seven(7, 1.0);
    std::vector<uint8_t> bigEndian = chunk(ol7t::kStateMagic, 1, 8, kDefaults);
    std::swap(bigEndian[0], bigEndian[3]);
    std::swap(bigEndian[1], bigEndian[2]);
    const std::vector<uint8_t> refused[] = {
        {},
        {0x74, 0x37, 0x6F, 0x4F, 1, 0, 0, 0, 8, 0, 0},
        bigEndian,
        chunk(0x12345678, 1, 8, kDefaults),
        chunk(ol7t::kStateMagic, 0, 8, kDefaults),
        chunk(ol7t::kStateMagic, 1, 0, kDefaults),
        chunk(ol7t::kStateMagic, 1, 8, seven),
        chunk(ol7t::kStateMagic, 1, 3, {0.0, 1.0}),
        chunk(ol7t::kStateMagic, 1, 8, {0.0, nan, 1, 1, 1, 1, 1, 1}),
        chunk(ol7t::kStateMagic, 1, 8, {0.0, 1, inf, 1, 1, 1, 1, 1}),
        chunk(ol7t::kStateMagic, 1, 8, {0.0, 1, 1, 1, 1, 1, 1, -inf}),
    };
    for (const auto& bytes : refused) {
        Effect e;
        const std::vector<float> before = program(*e);
        EXPECT_EQ(restore(*e, bytes), kResultFalse) << bytes.size() << " bytes";
        EXPECT_EQ(program(*e), before);
        EXPECT_TRUE(e->enabled);
    }
    Effect e;
    EXPECT_EQ(e->setState(nullptr), kResultFalse);
    EXPECT_EQ(e->getState(nullptr), kResultFalse);
}

} // namespace
