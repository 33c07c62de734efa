// One processing configuration of an effect.
#include "sdk/aax/AAX_CComponentDescriptor.h"

AAX_Result AAX_CComponentDescriptor::AddSideChainIn()
{
    mSideChainIn = true;
    return AAX_SUCCESS;
}

AAX_Result AAX_CComponentDescriptor::AddMIDINode(AAX_EMIDINodeType type, const char* name, uint32_t channelMask)
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    mMIDINodes.push_back({type, name, channelMask});
    return AAX_SUCCESS;
}

AAX_CPropertyMap* AAX_CComponentDescriptor::NewPropertyMap()
{
    mPropertyMaps.push_back(std::make_unique<AAX_CPropertyMap>());
    return mPropertyMaps.back().get();
}

AAX_Result AAX_CComponentDescriptor::AddProcessProc_Native(AAX_CRenderProc proc, AAX_CPropertyMap* properties)
{
    if (!proc || !properties)
        return AAX_ERROR_NULL_OBJECT;
    mProcessProc = proc;
    mProperties = properties;
    return AAX_SUCCESS;
}
