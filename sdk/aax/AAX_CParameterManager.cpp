// The parameters of one effect instance.
#include "sdk/aax/AAX_CParameterManager.h"

#include <cstring>

bool AAX_CParameterManager::AddParameter(AAX_IParameter* parameter)
{
    std::unique_ptr<AAX_IParameter> owned(parameter);
    if (!owned || GetParameterIndex(owned->Identifier()) >= 0)
        return false;
    mParameters.push_back(std::move(owned));
    return true;
}

AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t index) const
{
    if (index < 0 || index >= NumParameters())
        return nullptr;
    return mParameters[static_cast<size_t>(index)].get();
}

AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID identifier) const
{
    return GetParameter(GetParameterIndex(identifier));
}

int32_t AAX_CParameterManager::GetParameterIndex(AAX_CParamID identifier) const
{
    if (!identifier)
        return -1;
    for (int32_t i = 0; i < NumParameters(); ++i) {
        if (std::strcmp(mParameters[static_cast<size_t>(i)]->Identifier(), identifier) == 0)
            return i;
    }
    return -1;
}
