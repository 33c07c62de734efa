// Test support: what an AAX host gives an effect instance: a controller
// with the session's sample rate and stem format, and one render call.
#pragma once

#include "sdk/aax/AAX_CMonolithicParameters.h"
#include "sdk/aax/AAX_IController.h"

#include <climits>
#include <vector>

namespace testing_support {

// The host's side of one instance: session sample rate and stem format.
class HostController : public AAX_IController
{
public:
    HostController(AAX_EStemFormat stem, AAX_CSampleRate rate)
        : stem(stem)
        , rate(rate)
    {
    }
    AAX_Result GetSampleRate(AAX_CSampleRate* sampleRate) const override
    {
        *sampleRate = rate;
        return AAX_SUCCESS;
    }
    AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const override
    {
        *format = stem;
        return AAX_SUCCESS;
    }
    AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const override
    {
        *format = stem;
        return AAX_SUCCESS;
    }
    AAX_Result SetSignalLatency(int32_t samples) override
    {
        latency = samples;
        return AAX_SUCCESS;
    }

    AAX_EStemFormat stem;
    AAX_CSampleRate rate;
    int32_t latency = -1;
};

// Announces the side chain at its place after the main channels.
constexpr int32_t kAfterMainChannels = INT32_MIN;

// Renders one block of `in` (one vector per channel) into `out`. A side
// chain joins the inputs after the main channels; `sideChainIndex` is what
// the host announces (below 1: none).
inline void renderBlock(AAX_CMonolithicParameters& instance, AAX_CRenderProc render,
                        const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                        int32_t sideChainIndex = -1, const std::vector<float>* sideChain = nullptr,
                        AAX_CMidiStream* midi = nullptr)
{
    int32_t samples = in.empty() ? 0 : static_cast<int32_t>(in[0].size());
    std::vector<std::vector<float>> inputCopies(in);
    std::vector<float*> inputs, outputs;
    out.assign(in.size(), std::vector<float>(static_cast<size_t>(samples), 0.f));
    for (size_t c = 0; c < in.size(); ++c) {
        inputs.push_back(inputCopies[c].data());
        outputs.push_back(out[c].data());
    }
    std::vector<float> sideChainCopy;
    if (sideChain) {
        sideChainCopy = *sideChain;
        if (sideChainIndex == kAfterMainChannels)
            sideChainIndex = static_cast<int32_t>(inputs.size());
        inputs.push_back(sideChainCopy.data());
    }
    AAX_CMonolithicParameters* instancePointer = &instance;
    AAX_SInstrumentRenderInfo info;
    info.mAudioInputs = inputs.data();
    info.mAudioOutputs = outputs.data();
    info.mNumSamples = &samples;
    info.mSideChainP = &sideChainIndex;
    info.mInputNode = midi;
    info.mPrivateData = &instancePointer;
    AAX_SInstrumentRenderInfo* instances[] = {&info};
    render(instances, instances + 1);
}

} // namespace testing_support
