// The description of every effect in the library.
#include "sdk/aax/AAX_CCollection.h"

#include "sdk/aax/ACFModule.h"

AAX_CCollection::AAX_CCollection()
{
    ACFModule::Lock();
}

AAX_CCollection::~AAX_CCollection()
{
    ACFModule::Unlock();
}

AAX_CEffectDescriptor* AAX_CCollection::NewDescriptor()
{
    mDescriptors.push_back(std::make_unique<AAX_CEffectDescriptor>());
    return mDescriptors.back().get();
}

AAX_Result AAX_CCollection::AddEffect(const char* effectID, AAX_CEffectDescriptor* descriptor)
{
    if (!effectID || !descriptor)
        return AAX_ERROR_NULL_OBJECT;
    mEffects.push_back({effectID, descriptor});
    return AAX_SUCCESS;
}

AAX_Result AAX_CCollection::SetManufacturerName(const char* name)
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    mManufacturerName = name;
    return AAX_SUCCESS;
}

AAX_Result AAX_CCollection::AddPackageName(const char* name)
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    mPackageNames.emplace_back(name);
    return AAX_SUCCESS;
}

AAX_Result AAX_CCollection::SetPackageVersion(uint32_t version)
{
    mPackageVersion = version;
    return AAX_SUCCESS;
}

ACFRESULT AAX_CCollection::QueryInterface(const acfIID& iid, void** object)
{
    if (!object)
        return ACF_E_POINTER;
    *object = nullptr;
    if (!(iid == IID_IACFUnknown) && !(iid == IID_IACFPluginDefinition))
        return ACF_E_NOINTERFACE;
    AddRef();
    *object = static_cast<IACFPluginDefinition*>(this);
    return ACF_OK;
}

uint32_t AAX_CCollection::AddRef()
{
    return mReferences.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t AAX_CCollection::Release()
{
    const uint32_t left = mReferences.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0)
        delete this;
    return left;
}
