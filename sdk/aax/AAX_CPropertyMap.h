// The properties of one component: IDs, stem formats, side-chain support.
#pragma once

#include "sdk/aax/AAX.h"

#include <map>

class AAX_CPropertyMap
{
public:
    void AddProperty(AAX_EProperty property, int64_t value) { mValues[property] = value; }
    // False when the property was never added.
    bool GetProperty(AAX_EProperty property, int64_t* value) const
    {
        const auto it = mValues.find(property);
        if (it == mValues.end() || !value)
            return false;
        *value = it->second;
        return true;
    }

private:
    std::map<AAX_EProperty, int64_t> mValues;
};
