// The built library as VST 2 hosts and the channel strip see it: loaded by
// path and driven only through VSTPluginMain, TORVAPluginMain and the AEffect
// they return, by a host that records every callback.
#include "Vst2Host.h"
#include "integration/BundleHost.h"

#include "pal/IPalBitmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using testing_support::BundleHost;
using testing_support::dispatch;
using testing_support::dispatchText;
using testing_support::useRegistry;
using testing_support::Vst2Buffers;
using testing_support::Vst2Host;

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);
constexpr int32_t kUniqueIdOo7t = 0x4F6F3774;

class Vst2LibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
        useRegistry(registryName, "");
        ASSERT_TRUE(library.loaded());
    }
    void TearDown() override
    {
        for (AEffect* e : opened)
            dispatch(e, effClose);
    }

    AEffect* open(const char* entry)
    {
        auto main = reinterpret_cast<EntryPoint>(library.symbol(entry));
        AEffect* e = main ? main(&Vst2Host::callback) : nullptr;
        if (e) {
            opened.push_back(e);
            dispatch(e, effOpen);
        }
        return e;
    }
    void close(AEffect* e)
    {
        std::erase(opened, e);
        dispatch(e, effClose);
    }

    std::vector<uint8_t> chunkOf(AEffect* e)
    {
        void* data = nullptr;
        const auto size = dispatch(e, effGetChunk, 0, 0, &data);
        return size > 0 && data ? std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size)
                                : std::vector<uint8_t>{};
    }

    const std::string registryName = "vst2_library_test";
    BundleHost library{OL7T_BUNDLE_DIR};
    Vst2Host host;
    std::vector<AEffect*> opened;
};

TEST_F(Vst2LibraryTest, HostWithoutVersionGetsNoEffect)
{
    host.version = 0;
    for (const char* entry : {"VSTPluginMain", "TORVAPluginMain"}) {
        host.calls.clear();
        EXPECT_EQ(open(entry), nullptr) << entry;
        ASSERT_EQ(host.calls.size(), 1u) << entry;
        EXPECT_EQ(host.calls[0].effect, nullptr);
        EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    }
}

TEST_F(Vst2LibraryTest, PlainHostSeesTheEffectAsItIs)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic_number, kEffectMagic);
    EXPECT_EQ(e->unique_id, kUniqueIdOo7t);
    EXPECT_EQ(e->num_inputs, 4);
    EXPECT_EQ(e->num_outputs, 2);
    EXPECT_EQ(e->num_params, 8);
    EXPECT_EQ(e->num_programs, 1);
    EXPECT_EQ(e->version, 2000);
    EXPECT_TRUE(e->flags & effFlagsCanReplacing);
    EXPECT_TRUE(e->flags & effFlagsProgramChunks);
    EXPECT_TRUE(e->flags & effFlagsHasEditor);
    EXPECT_FALSE(e->flags & effFlagsCanDoubleReplacing);

    EXPECT_EQ(dispatchText(e, effGetEffectName), "OL-7T");
    EXPECT_EQ(dispatchText(e, effGetVendorString), "Marrowby");
    EXPECT_EQ(dispatchText(e, effGetProductString), "OL-7T Leveling Amplifier: optical leveling and limiting");
    EXPECT_EQ(dispatch(e, effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(dispatch(e, effGetVendorVersion), 2000);
    EXPECT_EQ(dispatch(e, effGetVstVersion), kVstVersion);
    EXPECT_EQ(dispatch(e, effGetTailSize), 1);
}

TEST_F(Vst2LibraryTest, ParametersHaveNamesTextsAndAutomation)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    for (int32_t i = 0; i < e->num_params; ++i) {
        EXPECT_FALSE(dispatchText(e, effGetParamName, i).empty()) << i;
        EXPECT_FALSE(dispatchText(e, effGetParamDisplay, i).empty()) << i;
        EXPECT_EQ(dispatch(e, effCanBeAutomated, i), 1) << i;
    }
    // Indices outside the parameter set are refused, not read.
    for (int32_t index : {-1, 8, 1000}) {
        EXPECT_EQ(dispatch(e, effGetParamName, index, 0, nullptr), 0);
        EXPECT_EQ(e->get_parameter(e, static_cast<uint32_t>(index)), 0.f);
        e->set_parameter(e, static_cast<uint32_t>(index), 0.5f);
    }
}

TEST_F(Vst2LibraryTest, ParameterChangeWhileStoppedArrivesAtOnce)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    const std::string before = dispatchText(e, effGetParamDisplay, 1);
    e->set_parameter(e, 1, 0.75f);
    EXPECT_FLOAT_EQ(e->get_parameter(e, 1), 0.75f);
    EXPECT_NE(dispatchText(e, effGetParamDisplay, 1), before);
}

TEST_F(Vst2LibraryTest, ProcessesStereoWithSideChain)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 48000.f);
    dispatch(e, effSetBlockSize, 0, 256);
    dispatch(e, effMainsChanged, 0, 1);
    Vst2Buffers buffers(4, 2, 256);
    for (int32_t i = 0; i < 256; ++i)
        buffers.storage[0][i] = buffers.storage[1][i] = 0.5f * std::sin(0.05f * i);
    for (int block = 0; block < 20; ++block)
        e->process_float(e, buffers.in.data(), buffers.out.data(), 256);
    float energy = 0;
    for (int c = 0; c < 2; ++c) {
        for (float v : buffers.storage[4 + c]) {
            ASSERT_TRUE(std::isfinite(v));
            energy += v * v;
        }
    }
    EXPECT_GT(energy, 0.f);
    dispatch(e, effMainsChanged, 0, 0);
}

TEST_F(Vst2LibraryTest, DoubleProcessingIsRefusedWithSilence)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(dispatch(e, effSetProcessPrecision, 0, kVstProcessPrecision64), 0);
    EXPECT_EQ(dispatch(e, effSetProcessPrecision, 0, kVstProcessPrecision32), 1);
    std::vector<double> in(64, 0.5), out(64, 7.0);
    std::vector<double*> ins(4, in.data()), outs = {out.data(), out.data()};
    e->process_double(e, ins.data(), outs.data(), 64);
    EXPECT_EQ(out, std::vector<double>(64, 0.0));
}

TEST_F(Vst2LibraryTest, ChunkIsTheComponentStateInItsEnvelope)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    const std::vector<uint8_t> chunk = chunkOf(e);
    ASSERT_EQ(chunk.size(), 16u + 76u);
    const std::vector<uint8_t> header(chunk.begin(), chunk.begin() + 20);
    EXPECT_EQ(header, (std::vector<uint8_t>{76, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x74, 0x37, 0x6F, 0x4F}));

    // A saved chunk brings a later change back.
    e->set_parameter(e, 2, 0.9f);
    std::vector<uint8_t> saved = chunkOf(e);
    e->set_parameter(e, 2, 0.1f);
    EXPECT_EQ(dispatch(e, effSetChunk, 0, static_cast<intptr_t>(saved.size()), saved.data()), 1);
    EXPECT_FLOAT_EQ(e->get_parameter(e, 2), 0.9f);
}

TEST_F(Vst2LibraryTest, DamagedChunksAreRefusedWithNothingChanged)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    const std::vector<uint8_t> good = chunkOf(e);
    e->set_parameter(e, 1, 0.3f);
    auto with = [&](auto change) {
        std::vector<uint8_t> c = good;
        change(c);
        return c;
    };
    const std::vector<std::vector<uint8_t>> damaged = {
        std::vector<uint8_t>(good.begin(), good.begin() + 10),               // shorter than the header
        std::vector<uint8_t>(good.begin(), good.end() - 1),                  // state cut short
        with([](auto& c) { c[7] = 0x80; }),                                  // enormous component size
        with([](auto& c) { c[8] = 0xFF, c[15] = 0xFF; }),                    // enormous controller size
        with([](auto& c) { c[16] = 0x4F, c[17] = 0x6F, c[18] = 0x37, c[19] = 0x74; }), // magic reversed
        with([](auto& c) { c[0] = 11; }),                                    // only the header of the state
    };
    for (size_t i = 0; i < damaged.size(); ++i) {
        std::vector<uint8_t> c = damaged[i];
        EXPECT_EQ(dispatch(e, effSetChunk, 0, static_cast<intptr_t>(c.size()), c.data()), 0) << i;
        EXPECT_FLOAT_EQ(e->get_parameter(e, 1), 0.3f) << i;
    }
    EXPECT_EQ(dispatch(e, effSetChunk, 0, 0, nullptr), 0);
}

TEST_F(Vst2LibraryTest, ChannelStripChunksFollowTheCompatibilityValue)
{
    const struct
    {
        const char* lines;
        bool chunks;
    } cases[] = {
        {"\"SV7TCompatabilityMode\"=dword:00000000\n", true},
        {"", false},
        {"\"SV7TCompatabilityMode\"=dword:00000001\n", false},
        {"\"SV7TCompatabilityMode\"=\"0\"\n", false}, // reads as 48
        {"\"SV7TCompatabilityMode\"=\"\"\n", true},   // reads as 0
        {"\"SV7TCompatabilityMode\"=\"long text\"\n", false},
    };
    for (const auto& c : cases) {
        useRegistry(registryName, c.lines);
        AEffect* strip = open("TORVAPluginMain");
        ASSERT_NE(strip, nullptr) << c.lines;
        EXPECT_EQ((strip->flags & effFlagsProgramChunks) != 0, c.chunks) << c.lines;
        EXPECT_EQ(strip->num_programs, 1);
        AEffect* plain = open("VSTPluginMain");
        ASSERT_NE(plain, nullptr);
        EXPECT_TRUE(plain->flags & effFlagsProgramChunks) << c.lines;
        close(strip);
        close(plain);
    }
}

TEST_F(Vst2LibraryTest, VendorRequestsOfTheChannelStrip)
{
    for (const char* entry : {"TORVAPluginMain", "VSTPluginMain"}) {
        AEffect* e = open(entry);
        ASSERT_NE(e, nullptr);
        int32_t answer = 77;
        void* bitmap = &answer;
        intptr_t hostValue = 1234;
        const struct
        {
            int32_t code;
            intptr_t index;
            void* ptr;
            float value;
            intptr_t expected;
        } cases[] = {
            {5001, 0, &answer, 0, 1}, {5001, 0, nullptr, 0, 0}, {5002, 0, nullptr, 0, 0},
            {5003, 2, &bitmap, 0, 0}, {5003, 0, nullptr, 0, 0}, {5003, 1, &bitmap, 0, 1},
            {5004, 0, nullptr, 0, 0}, {5004, 0, &hostValue, 0, 1}, {5005, 0, &answer, 0, 0},
            {5007, 2, nullptr, 1.f, 1}, {5007, 9, nullptr, 1.f, 1}, {4999, 0, &answer, 0, 0},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(dispatch(e, effVendorSpecific, c.code, c.index, c.ptr, c.value), c.expected)
                << entry << " " << c.code << " " << c.index;
        }
        EXPECT_EQ(answer, 1);
        // The inactive picture, as a platform bitmap that the host now owns.
        ASSERT_NE(bitmap, &answer);
        auto* inactive = static_cast<ZVNPal::IPalBitmap*>(bitmap);
        ASSERT_NE(inactive, nullptr);
        EXPECT_GT(inactive->Width(), 0);
        EXPECT_GT(inactive->Height(), 0);
        delete inactive;
        int32_t flag = 5;
        EXPECT_EQ(dispatch(e, effVendorSpecific, 5002, 0, &flag), 1);
        EXPECT_EQ(flag, 0);
        close(e);
    }
}

TEST_F(Vst2LibraryTest, AnswersWhatItCanDo)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    const struct
    {
        const char* what;
        intptr_t answer;
    } cases[] = {
        {"receiveVstEvents", 1}, {"receiveVstMidiEvent", 1}, {"sendVstEvents", -1}, {"sendVstMidiEvent", -1},
        {"plugAsChannelInsert", 1}, {"plugAsSend", 1}, {"bypass", -1}, {"somethingNew", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dispatch(e, effCanDo, 0, 0, const_cast<char*>(c.what)), c.answer) << c.what;
    EXPECT_EQ(dispatch(e, effCanDo, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(e, effSetBypass, 0, 1), 0);
}

TEST_F(Vst2LibraryTest, SpeakerArrangementsReshapeTheBuses)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    VstSpeakerArrangement in{}, out{};
    const struct
    {
        int32_t in, out;
        bool accepted;
        int32_t inputs, outputs;
    } cases[] = {
        {4, 2, true, 4, 2},  // stereo with side-chain, as it is
        {1, 1, true, 1, 1},  // mono without side-chain
        {2, 2, true, 2, 2},  // stereo without side-chain
        {3, 2, false, 2, 2}, // no such layout: the effect stays stereo and says so
        {2, 1, true, 2, 1},  // mono with side-chain
        {0, 2, false, 2, 1},
        {33, 2, false, 2, 1},
        {4, 2, true, 4, 2},  // stereo with side-chain again
    };
    for (const auto& c : cases) {
        in.channels = c.in;
        out.channels = c.out;
        EXPECT_EQ(dispatch(e, effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out) != 0, c.accepted)
            << c.in << "/" << c.out;
        EXPECT_EQ(e->num_inputs, c.inputs);
        EXPECT_EQ(e->num_outputs, c.outputs);
    }
    VstSpeakerArrangement* reportedIn = nullptr;
    VstSpeakerArrangement* reportedOut = nullptr;
    ASSERT_EQ(dispatch(e, effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&reportedIn), &reportedOut), 1);
    EXPECT_EQ(reportedIn->channels, 4);
    EXPECT_EQ(reportedIn->type, kSpeakerArrUserDefined);
    EXPECT_EQ(reportedOut->type, VST_ARRANGEMENT_TYPE_STEREO);
    EXPECT_EQ(reportedOut->speakers[1].type, VST_SPEAKER_TYPE_RIGHT);
}

TEST_F(Vst2LibraryTest, EditorRequestsFailGracefullyWithoutAView)
{
    AEffect* e = open("TORVAPluginMain");
    ASSERT_NE(e, nullptr);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(e, effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 198) << "the compact panel of the channel strip";
    EXPECT_EQ(rect->bottom - rect->top, 249);
    // A window that does not exist: the editor does not open.
    EXPECT_EQ(dispatch(e, effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
    dispatch(e, effEditIdle);
    dispatch(e, effEditClose);
    EXPECT_EQ(dispatch(e, effEditGetRect, 0, 0, nullptr), 0);
}

TEST_F(Vst2LibraryTest, TextToParameterGoesThroughTheEffect)
{
    AEffect* e = open("VSTPluginMain");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(dispatch(e, effString2Parameter, 2, 0, nullptr), 1);
    EXPECT_EQ(dispatch(e, effString2Parameter, 2, 0, const_cast<char*>("0.25")), 1);
    EXPECT_NEAR(e->get_parameter(e, 2), 0.25f, 1e-6);
    EXPECT_EQ(dispatch(e, effString2Parameter, 9, 0, const_cast<char*>("0.5")), 0);
}

} // namespace
