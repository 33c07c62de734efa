// An effect instance that renders its own audio, with its parameter changes
// handed over per block.
#include "sdk/aax/AAX_CMonolithicParameters.h"

void AAX_CMonolithicParameters::StaticRenderAudio(AAX_SInstrumentRenderInfo* const instancesBegin[],
                                                  const void* instancesEnd)
{
    if (!instancesBegin)
        return;
    for (AAX_SInstrumentRenderInfo* const* it = instancesBegin; it != instancesEnd; ++it) {
        AAX_SInstrumentRenderInfo* info = *it;
        if (info && info->mPrivateData && *info->mPrivateData)
            (*info->mPrivateData)->RenderPending(info);
    }
}

void AAX_CMonolithicParameters::EffectInitialized()
{
    // The parameter set is fixed from here on; sizing now keeps the audio
    // thread free of allocation.
    mPendingCount = mParameterManager.NumParameters();
    mPending = std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(mPendingCount));
    mDelivered.reserve(static_cast<size_t>(mPendingCount));
}

AAX_Result AAX_CMonolithicParameters::UpdateParameterNormalizedValue(AAX_CParamID identifier, double)
{
    const int32_t index = mParameterManager.GetParameterIndex(identifier);
    if (index < 0)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    if (index < mPendingCount)
        mPending[static_cast<size_t>(index)].store(true, std::memory_order_release);
    return AAX_SUCCESS;
}

void AAX_CMonolithicParameters::FlushPendingParameters()
{
    for (int32_t i = 0; i < mPendingCount; ++i)
        mPending[static_cast<size_t>(i)].store(false, std::memory_order_relaxed);
}

void AAX_CMonolithicParameters::RenderPending(AAX_SInstrumentRenderInfo* info)
{
    mDelivered.clear();
    for (int32_t i = 0; i < mPendingCount; ++i) {
        if (!mPending[static_cast<size_t>(i)].exchange(false, std::memory_order_acquire))
            continue;
        const AAX_IParameter* parameter = mParameterManager.GetParameter(i);
        mDelivered.push_back({parameter->Identifier(), parameter->GetNormalizedValue()});
    }
    RenderAudio(info, mDelivered.data(), static_cast<int32_t>(mDelivered.size()));
}
