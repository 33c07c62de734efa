// An effect instance that renders its audio itself, in one call per block.
// Parameter values the host sets are marked pending and reach the render
// call of the next block with their latest value, without a lock.
#pragma once

#include "sdk/aax/AAX_CEffectParameters.h"

#include <atomic>
#include <memory>
#include <vector>

class AAX_CMonolithicParameters : public AAX_CEffectParameters
{
public:
    // The component's render procedure: renders every instance of the array.
    static void StaticRenderAudio(AAX_SInstrumentRenderInfo* const instancesBegin[], const void* instancesEnd);

protected:
    // One block: `values` holds each parameter changed since the last
    // block, with its latest value.
    virtual void RenderAudio(AAX_SInstrumentRenderInfo* info, const AAX_TParamValPair* values, int32_t count) = 0;

    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID identifier, double value) override;
    void EffectInitialized() override;
    // Forgets every change not yet delivered to a render call.
    void FlushPendingParameters();

private:
    void RenderPending(AAX_SInstrumentRenderInfo* info);

    int32_t mPendingCount = 0;
    std::unique_ptr<std::atomic<bool>[]> mPending;
    std::vector<AAX_TParamValPair> mDelivered;
};
