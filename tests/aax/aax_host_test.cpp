// The built library under a simulated AAX host: its entry points, the
// description it registers, and effect instances driven through parameter
// calls, chunks and render calls.
#include "aax/AAXHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using testing_support::AAXHost;
using testing_support::AAXInstance;

namespace {

constexpr AAX_CTypeID kVST3Chunk = AAX_FourChar("VST3");

class AAXHostTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("OL7T_REGISTRY_FILE", "/nonexistent/registry.reg", 1);
        setenv("OL7T_MESSAGEBOX", "stderr", 1);
    }

    AAXHost host{OL7T_BUNDLE_DIR};
};

std::vector<float> sine(int32_t samples, double amplitude, double hz = 1000.0, int32_t start = 0)
{
    std::vector<float> out(static_cast<size_t>(samples));
    for (int32_t i = 0; i < samples; ++i)
        out[static_cast<size_t>(i)] = static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * (start + i) / 44100.0));
    return out;
}

float peak(const std::vector<float>& x)
{
    float p = 0.f;
    for (float v : x)
        p = std::max(p, std::fabs(v));
    return p;
}

std::vector<char> chunk(AAX_CEffectParameters& p, AAX_CTypeID id)
{
    uint32_t size = 0;
    EXPECT_EQ(p.GetChunkSize(id, &size), AAX_SUCCESS);
    std::vector<char> bytes(size);
    AAX_SPlugInChunk c;
    c.fSize = size;
    c.fData = bytes.data();
    EXPECT_EQ(p.GetChunk(id, &c), AAX_SUCCESS);
    bytes.resize(c.fSize);
    return bytes;
}

AAX_Result setChunk(AAX_CEffectParameters& p, AAX_CTypeID id, std::vector<char> bytes)
{
    AAX_SPlugInChunk c;
    c.fChunkID = id;
    c.fSize = static_cast<uint32_t>(bytes.size());
    c.fData = bytes.data();
    return p.SetChunk(id, &c);
}

// The effect's own saved value of a VST 3 parameter, read from the "VST3"
// chunk: the component state follows the 16-byte header, its values after
// the state's own 12-byte header.
double savedValue(AAX_CEffectParameters& p, int vst3ID)
{
    const std::vector<char> bytes = chunk(p, kVST3Chunk);
    double v = -1;
    if (bytes.size() >= static_cast<size_t>(16 + 12 + 8 * (vst3ID + 1)))
        std::memcpy(&v, bytes.data() + 16 + 12 + 8 * vst3ID, 8);
    return v;
}

TEST_F(AAXHostTest, EntryPointsAnswerInAnyOrder)
{
    auto startup = host.entry<ACFRESULT (*)(IACFUnknown*)>("ACFStartup");
    auto shutdown = host.entry<ACFRESULT (*)(IACFUnknown*)>("ACFShutdown");
    auto canUnload = host.entry<ACFRESULT (*)(IACFUnknown*)>("ACFCanUnloadNow");
    auto version = host.entry<ACFRESULT (*)(uint64_t*)>("ACFGetSDKVersion");
    auto registerPlugin = host.entry<testing_support::RegisterPlugin>("ACFRegisterPlugin");
    auto registerComponent = host.entry<ACFRESULT (*)(IACFUnknown*, uint32_t, IACFUnknown**)>("ACFRegisterComponent");
    auto getFactory =
        host.entry<ACFRESULT (*)(IACFUnknown*, const acfCLSID*, const acfIID*, void**)>("ACFGetClassFactory");
    ASSERT_TRUE(startup && shutdown && canUnload && version && registerPlugin && registerComponent && getFactory);

    EXPECT_EQ(shutdown(nullptr), ACF_OK) << "shut down before starting";
    EXPECT_EQ(startup(nullptr), ACF_OK);
    EXPECT_EQ(startup(nullptr), ACF_OK);
    EXPECT_EQ(version(nullptr), ACF_E_POINTER);
    uint64_t sdk = 0;
    EXPECT_EQ(version(&sdk), ACF_OK);
    EXPECT_EQ(sdk, kAAX_SDK_Version);
    EXPECT_EQ(registerPlugin(nullptr, nullptr), ACF_E_POINTER);
    IACFUnknown* component = reinterpret_cast<IACFUnknown*>(&sdk);
    EXPECT_EQ(registerComponent(nullptr, 0, &component), ACF_E_NOTIMPL);
    EXPECT_EQ(component, nullptr);
    EXPECT_EQ(registerComponent(nullptr, 7, nullptr), ACF_E_NOTIMPL);

    // The host's own registration keeps the library loaded.
    EXPECT_EQ(canUnload(nullptr), ACF_FALSE);

    void* object = &sdk;
    const acfCLSID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(getFactory(nullptr, &other, &IID_IACFClassFactory, &object), ACF_CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getFactory(nullptr, nullptr, nullptr, &object), ACF_E_POINTER);
    EXPECT_EQ(getFactory(nullptr, &CLSID_AAXPluginDefinition, &IID_IACFPluginDefinition, &object), ACF_E_NOINTERFACE);
    ASSERT_EQ(getFactory(nullptr, &CLSID_AAXPluginDefinition, &IID_IACFClassFactory, &object), ACF_OK);
    auto* factory = static_cast<IACFClassFactory*>(object);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IACFPluginDefinition, &object), ACF_CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IACFPluginDefinition, &object), ACF_OK);
    auto* made = static_cast<IACFPluginDefinition*>(object);
    EXPECT_EQ(made->GetCollection()->Effects().size(), 1u);
    made->Release();
    factory->Release();

    host.definition->Release();
    host.definition = nullptr;
    EXPECT_EQ(canUnload(nullptr), ACF_OK) << "nothing handed out is alive";
    EXPECT_EQ(shutdown(nullptr), ACF_OK);
    EXPECT_EQ(shutdown(nullptr), ACF_OK);
}

TEST_F(AAXHostTest, RegistersTheEffectDescription)
{
    ASSERT_NE(host.collection, nullptr);
    const AAX_CCollection& c = *host.collection;
    ASSERT_EQ(c.Effects().size(), 1u);
    EXPECT_EQ(c.Effects()[0].identifier, "com.marrowby.ol7t");
    EXPECT_EQ(c.ManufacturerName(), "Marrowby");
    const std::vector<std::string> names = {"OL-7T", "OL7T", "O7"};
    EXPECT_EQ(c.PackageNames(), names);
    EXPECT_EQ(c.PackageVersion(), 2u);

    const AAX_CEffectDescriptor& e = *host.effect();
    EXPECT_EQ(e.Names(), names);
    EXPECT_EQ(e.Categories(), 2u);
    EXPECT_NE(e.CreateParametersProc(), nullptr);
    EXPECT_NE(e.CreateGUIProc(), nullptr);

    struct
    {
        int64_t stem;
        const char* plugInID;
    } stems[] = {{AAX_eStemFormat_Mono, "OL7M"}, {AAX_eStemFormat_Stereo, "OL7S"}};
    ASSERT_EQ(e.Components().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const AAX_CComponentDescriptor& component = *e.Components()[i];
        const AAX_CPropertyMap* p = component.Properties();
        ASSERT_NE(p, nullptr);
        int64_t v = 0;
        EXPECT_TRUE(p->GetProperty(AAX_eProperty_ManufacturerID, &v) && v == 0x4D525742) << "MRWB";
        EXPECT_TRUE(p->GetProperty(AAX_eProperty_ProductID, &v) && v == 0x4F4C3754) << "OL7T";
        const char* id = stems[i].plugInID;
        EXPECT_TRUE(p->GetProperty(AAX_eProperty_PlugInID_Native, &v) && v == AAX_FourChar({id[0], id[1], id[2], id[3], 0}));
        EXPECT_TRUE(p->GetProperty(AAX_eProperty_InputStemFormat, &v) && v == stems[i].stem);
        EXPECT_TRUE(p->GetProperty(AAX_eProperty_OutputStemFormat, &v) && v == stems[i].stem);
        EXPECT_TRUE(component.HasSideChainIn());
        ASSERT_EQ(component.MIDINodes().size(), 1u) << "only the transport node";
        EXPECT_EQ(component.MIDINodes()[0].type, AAX_eMIDINodeType_Transport);
        EXPECT_EQ(component.MIDINodes()[0].name, "Transport");
        EXPECT_NE(component.ProcessProc(), nullptr);
    }

    // A second registration describes the effect once again, not twice.
    AAXHost again{OL7T_BUNDLE_DIR};
    ASSERT_NE(again.collection, nullptr);
    EXPECT_EQ(again.collection->Effects().size(), 1u);
}

TEST_F(AAXHostTest, InitialisationSetsUpTheEffectAndItsParameters)
{
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized);
    EXPECT_EQ(a.controller.latency, 0);
    AAX_CEffectParameters& p = *a.parameters;

    int32_t count = 0;
    ASSERT_EQ(p.GetNumberOfParameters(&count), AAX_SUCCESS);
    ASSERT_EQ(count, 9) << "master bypass and the effect's eight";
    EXPECT_EQ(a.id(0), "MasterBypassID");
    AAX_CString name;
    for (int32_t i = 1; i < count; ++i) {
        const std::string id = a.id(i);
        EXPECT_FALSE(id.empty());
        EXPECT_LE(id.size(), 31u);
        ASSERT_EQ(p.GetParameterName(id.c_str(), &name), AAX_SUCCESS);
        EXPECT_EQ(std::string(name.Get()).substr(0, 31), id) << "identifier is the title cut to 31 bytes";
    }
    double v = 0;
    ASSERT_EQ(p.GetParameterNormalizedValue(a.id(1).c_str(), &v), AAX_SUCCESS);
    EXPECT_EQ(v, 1.0) << "defaults come from the effect: it starts enabled";
    ASSERT_EQ(p.GetParameterNormalizedValue(a.id(3).c_str(), &v), AAX_SUCCESS);
    EXPECT_EQ(v, 0.5);

    // Unknown identifiers, in every call that takes one.
    AAX_CString text;
    EXPECT_EQ(p.GetParameterName("NoSuchParameter", &name), -20001);
    EXPECT_EQ(p.GetParameterNameOfLength("NoSuchParameter", &name, 8), -20001);
    EXPECT_EQ(p.GetParameterValueString("NoSuchParameter", 0.5, &text, 16), -20001);
    EXPECT_EQ(p.GetParameterNormalizedValue(nullptr, &v), -20001);
    EXPECT_EQ(p.SetParameterNormalizedValue("NoSuchParameter", 0.5), -20001);
}

TEST_F(AAXHostTest, BypassNamesAndTexts)
{
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized);
    AAX_CEffectParameters& p = *a.parameters;
    AAX_CString text;
    ASSERT_EQ(p.GetParameterName("MasterBypassID", &text), AAX_SUCCESS);
    EXPECT_STREQ(text.Get(), "Master Bypass");

    const struct
    {
        int32_t length;
        const char* name;
    } names[] = {{32, "Master Bypass"}, {13, "Master Bypass"}, {12, "Mast Byp"}, {8, "Mast Byp"},
                 {7, "MstByp"},         {6, "MstByp"},        {5, "MByp"},      {1, "MByp"}};
    for (const auto& n : names) {
        ASSERT_EQ(p.GetParameterNameOfLength("MasterBypassID", &text, n.length), AAX_SUCCESS);
        EXPECT_STREQ(text.Get(), n.name) << n.length;
    }

    const struct
    {
        double value;
        int32_t maxLength;
        const char* text;
    } values[] = {{1.0, 8, "Bypassed"}, {1.0, 7, "Byp"}, {0.3, 32, "Bypassed"}, {0.0, 32, "Off"}, {0.0, 2, "Off"}};
    for (const auto& v : values) {
        ASSERT_EQ(p.GetParameterValueString("MasterBypassID", v.value, &text, v.maxLength), AAX_SUCCESS);
        EXPECT_STREQ(text.Get(), v.text) << v.value << " in " << v.maxLength;
    }

    // Other parameters: the title cut, and the effect's own value texts.
    const std::string limit = a.id(4);
    ASSERT_EQ(p.GetParameterNameOfLength(limit.c_str(), &text, 3), AAX_SUCCESS);
    EXPECT_EQ(text.Length(), 3u);
    ASSERT_EQ(p.GetParameterValueString(limit.c_str(), 1.0, &text, 32), AAX_SUCCESS);
    EXPECT_STREQ(text.Get(), "Limit");
    ASSERT_EQ(p.GetParameterValueString(limit.c_str(), 0.0, &text, 4), AAX_SUCCESS);
    EXPECT_STREQ(text.Get(), "Comp") << "cut to what the host can show";
}

TEST_F(AAXHostTest, VST3ChunkRoundTripAndEmptyChunk)
{
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    AAXInstance b(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized && b.initialized);

    int32_t chunks = 0;
    ASSERT_EQ(a.parameters->GetNumberOfChunks(&chunks), AAX_SUCCESS);
    ASSERT_EQ(chunks, 2);
    AAX_CTypeID id = 0;
    ASSERT_EQ(a.parameters->GetChunkIDFromIndex(1, &id), AAX_SUCCESS);
    EXPECT_EQ(id, kVST3Chunk);
    EXPECT_EQ(a.parameters->GetChunkIDFromIndex(2, &id), AAX_ERROR_INVALID_CHUNK_INDEX);

    // A host change reaches the effect with the next block.
    const std::string peakReduction = a.id(3);
    ASSERT_EQ(a.parameters->SetParameterNormalizedValue(peakReduction.c_str(), 0.8), AAX_SUCCESS);
    std::vector<std::vector<float>> out;
    a.process({sine(64, 0.1), sine(64, 0.1)}, out);
    EXPECT_EQ(savedValue(*a.parameters, 2), static_cast<double>(0.8f));

    const std::vector<char> bytes = chunk(*a.parameters, kVST3Chunk);
    ASSERT_GE(bytes.size(), 16u + 76u);
    int64_t componentBytes = 0, controllerBytes = 0;
    std::memcpy(&componentBytes, bytes.data(), 8);
    std::memcpy(&controllerBytes, bytes.data() + 8, 8);
    EXPECT_EQ(componentBytes, 76);
    EXPECT_EQ(controllerBytes, 0) << "the state is stored once";
    EXPECT_EQ(bytes.size(), 92u);
    const unsigned char magic[4] = {0x74, 0x37, 0x6F, 0x4F};
    EXPECT_EQ(std::memcmp(bytes.data() + 16, magic, 4), 0);

    ASSERT_EQ(setChunk(*b.parameters, kVST3Chunk, bytes), AAX_SUCCESS);
    double v = 0;
    ASSERT_EQ(b.parameters->GetParameterNormalizedValue(peakReduction.c_str(), &v), AAX_SUCCESS);
    EXPECT_EQ(v, static_cast<double>(0.8f)) << "the AAX side follows the restored effect";
    EXPECT_EQ(savedValue(*b.parameters, 2), static_cast<double>(0.8f));

    // Chunks of older versions carry the state again as the controller part.
    std::vector<char> older = bytes;
    const int64_t twice = 76;
    std::memcpy(older.data() + 8, &twice, 8);
    older.insert(older.end(), bytes.begin() + 16, bytes.end());
    AAXInstance reader(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(reader.initialized);
    ASSERT_EQ(setChunk(*reader.parameters, kVST3Chunk, older), AAX_SUCCESS);
    EXPECT_EQ(savedValue(*reader.parameters, 2), static_cast<double>(0.8f));

    // Empty and malformed chunks leave everything alone.
    EXPECT_EQ(setChunk(*b.parameters, kVST3Chunk, {}), AAX_SUCCESS);
    std::vector<char> tooLong = bytes;
    const int64_t huge = 1 << 20;
    std::memcpy(tooLong.data(), &huge, 8);
    EXPECT_EQ(setChunk(*b.parameters, kVST3Chunk, tooLong), AAX_ERROR_INCORRECT_CHUNK_SIZE);
    std::vector<char> negative = bytes;
    const int64_t minusOne = -1;
    std::memcpy(negative.data() + 8, &minusOne, 8);
    EXPECT_EQ(setChunk(*b.parameters, kVST3Chunk, negative), AAX_ERROR_INCORRECT_CHUNK_SIZE);
    EXPECT_EQ(setChunk(*b.parameters, kVST3Chunk, std::vector<char>(bytes.begin(), bytes.begin() + 9)),
              AAX_ERROR_INCORRECT_CHUNK_SIZE);
    EXPECT_EQ(savedValue(*b.parameters, 2), static_cast<double>(0.8f));

    // A buffer too small for the chunk is refused, not overrun.
    std::vector<char> small(20);
    AAX_SPlugInChunk c;
    c.fSize = static_cast<uint32_t>(small.size());
    c.fData = small.data();
    EXPECT_EQ(a.parameters->GetChunk(kVST3Chunk, &c), AAX_ERROR_INCORRECT_CHUNK_SIZE);
}

TEST_F(AAXHostTest, ValuesThatAreNoNumberNeverReachTheEffect)
{
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized);
    const std::string gain = a.id(2);
    const struct
    {
        double sent;
        double held;
    } cases[] = {{0.3, 0.3}, {NAN, 0.3}, {INFINITY, 0.3}, {-INFINITY, 0.3}, {1.5, 1.0}, {-1.0, 0.0}};
    std::vector<std::vector<float>> out;
    for (const auto& c : cases) {
        a.parameters->SetParameterNormalizedValue(gain.c_str(), c.sent);
        a.process({sine(64, 0.1), sine(64, 0.1)}, out);
        EXPECT_EQ(savedValue(*a.parameters, 1), static_cast<double>(static_cast<float>(c.held))) << c.sent;
    }
    double bypass = -1;
    a.parameters->SetParameterNormalizedValue("MasterBypassID", INFINITY);
    ASSERT_EQ(a.parameters->GetParameterNormalizedValue("MasterBypassID", &bypass), AAX_SUCCESS);
    EXPECT_EQ(bypass, 0.0) << "an infinite value does not bypass";
}

TEST_F(AAXHostTest, ControlChunkRestoresTheHostValues)
{
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    AAXInstance b(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized && b.initialized);
    const std::string gain = a.id(2);
    a.parameters->SetParameterNormalizedValue(gain.c_str(), 0.7);
    ASSERT_EQ(setChunk(*b.parameters, AAX_CEffectParameters::cControlChunkID,
                       chunk(*a.parameters, AAX_CEffectParameters::cControlChunkID)),
              AAX_SUCCESS);
    std::vector<std::vector<float>> out;
    b.process({sine(64, 0.1), sine(64, 0.1)}, out);
    EXPECT_EQ(savedValue(*b.parameters, 1), static_cast<double>(0.7f));
}

TEST_F(AAXHostTest, MasterBypassCopiesAtFullValueAndProcessesBelow)
{
    const struct
    {
        double bypass;
        bool copied;
    } cases[] = {{1.0, true}, {0.99, true}, {0.98, false}, {0.0, false}};
    for (const auto& c : cases) {
        AAXInstance a(host, AAX_eStemFormat_Stereo);
        ASSERT_TRUE(a.initialized);
        ASSERT_EQ(a.parameters->SetParameterNormalizedValue("MasterBypassID", c.bypass), AAX_SUCCESS);
        const std::vector<std::vector<float>> in = {sine(512, 0.9), sine(512, 0.5, 300.0)};
        std::vector<std::vector<float>> out;
        a.process(in, out);
        EXPECT_EQ(out == in, c.copied) << "bypass " << c.bypass;
    }
}

TEST_F(AAXHostTest, ChangesMadeDuringBypassReachTheEffectAfterwards)
{
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized);
    std::vector<std::vector<float>> out;
    a.parameters->SetParameterNormalizedValue("MasterBypassID", 1.0);
    a.parameters->SetParameterNormalizedValue(a.id(3).c_str(), 0.9);
    a.process({sine(64, 0.1), sine(64, 0.1)}, out);
    EXPECT_EQ(savedValue(*a.parameters, 2), 0.5) << "not called while bypassed";
    a.parameters->SetParameterNormalizedValue("MasterBypassID", 0.0);
    a.process({sine(64, 0.1), sine(64, 0.1)}, out);
    EXPECT_EQ(savedValue(*a.parameters, 2), static_cast<double>(0.9f));
}

TEST_F(AAXHostTest, LongBlockIsProcessedLikeTwoShortOnes)
{
    AAXInstance whole(host, AAX_eStemFormat_Stereo);
    AAXInstance halves(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(whole.initialized && halves.initialized);
    const std::vector<float> signal = sine(2048, 0.9);
    std::vector<std::vector<float>> out;
    whole.process({signal, signal}, out);
    const std::vector<float> long0 = out[0];

    std::vector<float> split;
    for (int half = 0; half < 2; ++half) {
        const std::vector<float> part(signal.begin() + half * 1024, signal.begin() + (half + 1) * 1024);
        halves.process({part, part}, out);
        split.insert(split.end(), out[0].begin(), out[0].end());
    }
    EXPECT_EQ(long0, split);
    EXPECT_LT(peak(std::vector<float>(long0.end() - 256, long0.end())), 0.8f) << "processed, reduced";
}

TEST_F(AAXHostTest, SideChainDrivesTheDetector)
{
    // The side-chain switch is on; a loud side chain pulls the quiet main
    // signal down, and without a side-chain index the main signal is heard.
    auto render = [&](bool withSideChain, AAX_EStemFormat stem) {
        AAXInstance a(host, stem);
        EXPECT_TRUE(a.initialized);
        a.parameters->SetParameterNormalizedValue(a.id(8).c_str(), 1.0);
        std::vector<std::vector<float>> out;
        const std::vector<float> loud = sine(1024, 1.0, 200.0);
        for (int block = 0; block < 20; ++block) {
            std::vector<std::vector<float>> in(static_cast<size_t>(a.channels), sine(1024, 0.05, 1000.0, block * 1024));
            a.process(in, out, withSideChain ? &loud : nullptr);
        }
        return peak(out[0]);
    };
    for (AAX_EStemFormat stem : {AAX_eStemFormat_Stereo, AAX_eStemFormat_Mono}) {
        const float alone = render(false, stem);
        const float keyed = render(true, stem);
        EXPECT_GT(alone, 0.03f);
        EXPECT_LT(keyed, alone * 0.5f) << "stem " << stem;
    }
}

TEST_F(AAXHostTest, EditorReportsNoInterfaceWithoutAView)
{
    struct Window : AAX_IViewContainer
    {
        AAX_EViewContainer_Type GetType() const override { return AAX_eViewContainer_Type_X11Window; }
        void* GetPtr() const override { return reinterpret_cast<void*>(0x2a00001); }
        AAX_Result SetViewSize(const AAX_Point&) override { return AAX_SUCCESS; }
    } window;
    AAXInstance a(host, AAX_eStemFormat_Stereo);
    ASSERT_TRUE(a.initialized);
    std::unique_ptr<AAX_CEffectGUI> gui(host.effect()->CreateGUIProc()());
    ASSERT_NE(gui, nullptr);
    const AAX_Result noInterface = -1;
    EXPECT_EQ(gui->SetViewContainer(&window), noInterface) << "not paired with parameters yet";
    ASSERT_EQ(gui->Initialize(a.parameters.get()), AAX_SUCCESS);
    // The editor cannot open in a window that does not exist.
    EXPECT_EQ(gui->SetViewContainer(&window), Steinberg::kResultFalse);
    AAX_Point size;
    EXPECT_EQ(gui->GetViewSize(&size), noInterface);
    EXPECT_EQ(gui->SetViewContainer(nullptr), noInterface);
}

} // namespace
