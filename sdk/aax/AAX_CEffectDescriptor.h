// One effect as it is described to the host: its names, category, processing
// configurations and the functions that create its parameters and editor.
#pragma once

#include "sdk/aax/AAX.h"
#include "sdk/aax/AAX_CComponentDescriptor.h"

#include <memory>
#include <string>
#include <vector>

class AAX_CEffectDescriptor
{
public:
    // The descriptor is owned by this effect descriptor; AddComponent makes
    // it part of the description.
    AAX_CComponentDescriptor* NewComponentDescriptor();
    AAX_Result AddComponent(AAX_CComponentDescriptor* component);
    AAX_Result AddName(const char* name);
    AAX_Result AddCategory(uint32_t category);
    AAX_Result AddProcPtr(AAX_CreateEffectParametersProc create);
    AAX_Result AddProcPtr(AAX_CreateEffectGUIProc create);

    const std::vector<std::string>& Names() const { return mNames; }
    uint32_t Categories() const { return mCategories; }
    const std::vector<const AAX_CComponentDescriptor*>& Components() const { return mComponents; }
    AAX_CreateEffectParametersProc CreateParametersProc() const { return mCreateParameters; }
    AAX_CreateEffectGUIProc CreateGUIProc() const { return mCreateGUI; }

private:
    std::vector<std::unique_ptr<AAX_CComponentDescriptor>> mOwned;
    std::vector<const AAX_CComponentDescriptor*> mComponents;
    std::vector<std::string> mNames;
    uint32_t mCategories = AAX_ePlugInCategory_None;
    AAX_CreateEffectParametersProc mCreateParameters = nullptr;
    AAX_CreateEffectGUIProc mCreateGUI = nullptr;
};
