// The parameters of one effect instance, in the order they were added, found
// by index or by identifier.
#pragma once

#include "sdk/aax/AAX_IParameter.h"

#include <memory>
#include <vector>

class AAX_CParameterManager
{
public:
    // Takes ownership. A null parameter or a second one with an identifier
    // already present is refused (and deleted): identifiers stay unique.
    bool AddParameter(AAX_IParameter* parameter);
    void RemoveAllParameters() { mParameters.clear(); }

    int32_t NumParameters() const { return static_cast<int32_t>(mParameters.size()); }
    // Null for an index out of range or an unknown identifier.
    AAX_IParameter* GetParameter(int32_t index) const;
    AAX_IParameter* GetParameterByID(AAX_CParamID identifier) const;
    // -1 for an unknown identifier.
    int32_t GetParameterIndex(AAX_CParamID identifier) const;

private:
    std::vector<std::unique_ptr<AAX_IParameter>> mParameters;
};
