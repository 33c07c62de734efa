// One effect's description.
#include "sdk/aax/AAX_CEffectDescriptor.h"

AAX_CComponentDescriptor* AAX_CEffectDescriptor::NewComponentDescriptor()
{
    mOwned.push_back(std::make_unique<AAX_CComponentDescriptor>());
    return mOwned.back().get();
}

AAX_Result AAX_CEffectDescriptor::AddComponent(AAX_CComponentDescriptor* component)
{
    if (!component)
        return AAX_ERROR_NULL_OBJECT;
    mComponents.push_back(component);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddName(const char* name)
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    mNames.emplace_back(name);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddCategory(uint32_t category)
{
    mCategories |= category;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddProcPtr(AAX_CreateEffectParametersProc create)
{
    if (!create)
        return AAX_ERROR_NULL_OBJECT;
    mCreateParameters = create;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectDescriptor::AddProcPtr(AAX_CreateEffectGUIProc create)
{
    if (!create)
        return AAX_ERROR_NULL_OBJECT;
    mCreateGUI = create;
    return AAX_SUCCESS;
}
