// The library's class factory.
#include "sdk/aax/AAX_CClassFactory.h"

#include "sdk/aax/AAX_CCollection.h"
#include "sdk/aax/ACFModule.h"

#include <new>

ACFRESULT AAX_CClassFactory::CreateInstance(IACFUnknown* outer, const acfIID& iid, void** object)
{
    if (!object)
        return ACF_E_POINTER;
    *object = nullptr;
    if (outer)
        return ACF_CLASS_E_NOAGGREGATION;
    if (!(iid == IID_IACFUnknown) && !(iid == IID_IACFPluginDefinition))
        return ACF_E_NOINTERFACE;
    auto* collection = new (std::nothrow) AAX_CCollection;
    if (!collection)
        return ACF_E_OUTOFMEMORY;
    if (mDescribe)
        mDescribe(collection);
    *object = static_cast<IACFPluginDefinition*>(collection);
    return ACF_OK;
}

ACFRESULT AAX_CClassFactory::QueryInterface(const acfIID& iid, void** object)
{
    if (!object)
        return ACF_E_POINTER;
    *object = nullptr;
    if (!(iid == IID_IACFUnknown) && !(iid == IID_IACFClassFactory))
        return ACF_E_NOINTERFACE;
    AddRef();
    *object = static_cast<IACFClassFactory*>(this);
    return ACF_OK;
}

uint32_t AAX_CClassFactory::AddRef()
{
    ACFModule::Lock();
    return static_cast<uint32_t>(ACFModule::LockCount());
}

uint32_t AAX_CClassFactory::Release()
{
    ACFModule::Unlock();
    return static_cast<uint32_t>(ACFModule::LockCount());
}
