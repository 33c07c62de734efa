// The AAX layer under the adapter: IDs, parameters with their delegates,
// the base's control chunk and the hand-over of changes to render calls.
#include "aax/AAXRender.h"

#include "sdk/aax/AAX_CBinaryDisplayDelegate.h"
#include "sdk/aax/AAX_CBinaryTaperDelegate.h"
#include "sdk/aax/AAX_CLinearTaperDelegate.h"
#include "sdk/aax/AAX_CNumberDisplayDelegate.h"
#include "sdk/aax/AAX_CParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace {

using testing_support::HostController;

// An instance with two float parameters that records what reaches its
// render calls.
class TwoParameters : public AAX_CMonolithicParameters
{
public:
    std::map<std::string, double> delivered;
    int renders = 0;

    void flush() { FlushPendingParameters(); }

protected:
    AAX_Result EffectInit() override
    {
        for (const char* id : {"Alpha", "Beta"}) {
            mParameterManager.AddParameter(new AAX_CParameter<float>(id, id, 0.5f, AAX_CLinearTaperDelegate<float>(0.f, 1.f),
                                                                     AAX_CNumberDisplayDelegate<float>(), true));
        }
        return AAX_SUCCESS;
    }
    void RenderAudio(AAX_SInstrumentRenderInfo*, const AAX_TParamValPair* values, int32_t count) override
    {
        ++renders;
        delivered.clear();
        for (int32_t i = 0; i < count; ++i)
            delivered[values[i].mID] = values[i].mValue;
    }
};

struct Instance
{
    Instance() { parameters.Initialize(&controller); }
    void render()
    {
        std::vector<std::vector<float>> out;
        testing_support::renderBlock(parameters, AAX_CMonolithicParameters::StaticRenderAudio, {{0.f}}, out);
    }
    HostController controller{AAX_eStemFormat_Mono, 44100.f};
    TwoParameters parameters;
};

std::vector<char> controlChunk(const AAX_CEffectParameters& p)
{
    uint32_t size = 0;
    p.GetChunkSize(AAX_CEffectParameters::cControlChunkID, &size);
    std::vector<char> bytes(size);
    AAX_SPlugInChunk c;
    c.fSize = size;
    c.fData = bytes.data();
    EXPECT_EQ(p.GetChunk(AAX_CEffectParameters::cControlChunkID, &c), AAX_SUCCESS);
    return bytes;
}

AAX_Result setControlChunk(AAX_CEffectParameters& p, std::vector<char> bytes)
{
    AAX_SPlugInChunk c;
    c.fSize = static_cast<uint32_t>(bytes.size());
    c.fData = bytes.data();
    return p.SetChunk(AAX_CEffectParameters::cControlChunkID, &c);
}

TEST(AAXTypes, FourCharactersAndStemChannels)
{
    EXPECT_EQ(AAX_FourChar("VST3"), 0x56535433u);
    EXPECT_EQ(AAX_FourChar("MRWB"), 0x4D525742u);
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_Mono), 1);
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_Stereo), 2);
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_None), 0);
}

TEST(AAXParameter, StoresNormalisedValuesAndShowsThemThroughItsDelegates)
{
    AAX_CParameter<bool> bypass("MasterBypassID", "Master Bypass", false, AAX_CBinaryTaperDelegate<bool>(),
                                AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
    AAX_CParameter<float> level("Level", "Level", 5.f, AAX_CLinearTaperDelegate<float>(0.f, 10.f),
                                AAX_CNumberDisplayDelegate<float>(1), false);
    EXPECT_EQ(bypass.GetNormalizedDefaultValue(), 0.0);
    EXPECT_EQ(level.GetNormalizedDefaultValue(), 0.5);

    const struct
    {
        double set;
        double stored;
    } values[] = {{0.98, 0.98}, {1.5, 1.0}, {-2.0, 0.0}, {NAN, 0.0}};
    for (const auto& v : values) {
        level.SetNormalizedValue(v.set);
        EXPECT_EQ(level.GetNormalizedValue(), v.stored) << v.set;
    }

    AAX_CString text;
    const struct
    {
        const AAX_IParameter* parameter;
        double value;
        int32_t maxLength;
        const char* shown;
    } texts[] = {{&bypass, 1.0, 16, "on"}, {&bypass, 0.2, 16, "bypass"}, {&bypass, 0.2, 3, "byp"},
                 {&level, 0.25, 16, "2.5"}, {&level, 1.0, 2, "10"}};
    for (const auto& t : texts) {
        ASSERT_TRUE(t.parameter->GetNormalizedValueString(t.value, t.maxLength, &text));
        EXPECT_STREQ(text.Get(), t.shown);
    }
}

TEST(AAXParameterManager, KeepsIdentifiersUnique)
{
    AAX_CParameterManager manager;
    auto make = [](const char* id) {
        return new AAX_CParameter<float>(id, id, 0.f, AAX_CLinearTaperDelegate<float>(0.f, 1.f),
                                         AAX_CNumberDisplayDelegate<float>(), true);
    };
    EXPECT_TRUE(manager.AddParameter(make("A")));
    EXPECT_TRUE(manager.AddParameter(make("B")));
    EXPECT_FALSE(manager.AddParameter(make("A")));
    EXPECT_FALSE(manager.AddParameter(nullptr));
    EXPECT_EQ(manager.NumParameters(), 2);
    EXPECT_EQ(manager.GetParameterIndex("B"), 1);
    EXPECT_EQ(manager.GetParameterIndex("C"), -1);
    EXPECT_EQ(manager.GetParameterIndex(nullptr), -1);
    EXPECT_EQ(manager.GetParameter(2), nullptr);
}

TEST(AAXEffectParameters, ControlChunkRoundTripAndBadChunks)
{
    Instance a, b;
    a.parameters.SetParameterNormalizedValue("Beta", 0.125);
    const std::vector<char> bytes = controlChunk(a.parameters);
    ASSERT_EQ(setControlChunk(b.parameters, bytes), AAX_SUCCESS);
    double v = 0;
    b.parameters.GetParameterNormalizedValue("Beta", &v);
    EXPECT_EQ(v, 0.125);

    a.parameters.SetParameterNormalizedValue("Beta", 0.75);
    std::vector<char> cut = controlChunk(a.parameters);
    cut.pop_back();
    EXPECT_EQ(setControlChunk(b.parameters, cut), AAX_ERROR_INCORRECT_CHUNK_SIZE);
    std::vector<char> hugeName = controlChunk(a.parameters);
    hugeName[3] = 0x7F;
    EXPECT_EQ(setControlChunk(b.parameters, hugeName), AAX_ERROR_INCORRECT_CHUNK_SIZE);
    b.parameters.GetParameterNormalizedValue("Alpha", &v);
    EXPECT_EQ(v, 0.5) << "a broken chunk changes nothing";
    b.parameters.GetParameterNormalizedValue("Beta", &v);
    EXPECT_EQ(v, 0.125);

    AAX_SPlugInChunk c;
    EXPECT_EQ(b.parameters.SetChunk(AAX_FourChar("none"), &c), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(b.parameters.SetChunk(AAX_CEffectParameters::cControlChunkID, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(b.parameters.GetChunkIDFromIndex(1, &c.fChunkID), AAX_ERROR_INVALID_CHUNK_INDEX);
}

TEST(AAXMonolithicParameters, RenderReceivesEachChangedParameterOnceWithItsLatestValue)
{
    Instance i;
    i.parameters.SetParameterNormalizedValue("Alpha", 0.1);
    i.parameters.SetParameterNormalizedValue("Alpha", 0.2);
    i.render();
    EXPECT_EQ(i.parameters.delivered, (std::map<std::string, double>{{"Alpha", 0.2}}));
    i.render();
    EXPECT_TRUE(i.parameters.delivered.empty());

    i.parameters.SetParameterNormalizedValue("Beta", 0.3);
    i.parameters.flush();
    i.render();
    EXPECT_TRUE(i.parameters.delivered.empty()) << "flushed changes are not delivered";
    EXPECT_EQ(i.parameters.renders, 3);

    // Instances without data are passed over.
    AAX_SInstrumentRenderInfo empty;
    AAX_SInstrumentRenderInfo* instances[] = {nullptr, &empty};
    AAX_CMonolithicParameters::StaticRenderAudio(instances, instances + 2);
    AAX_CMonolithicParameters::StaticRenderAudio(nullptr, nullptr);
    EXPECT_EQ(i.parameters.renders, 3);
}

} // namespace
