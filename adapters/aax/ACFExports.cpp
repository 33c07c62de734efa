// The library's AAX entry points. No AAX host runs on this platform; they
// answer as such a host expects: registration hands out the description,
// the class factory makes more of it, and any call order is safe.
#include "adapters/aax/ol7tAAXDescription.h"
#include "sdk/aax/AAX_CClassFactory.h"
#include "sdk/aax/AAX_CCollection.h"
#include "sdk/aax/ACFModule.h"

#include "pluginterfaces/base/fplatform.h"

namespace {

AAX_CClassFactory& classFactory()
{
    static AAX_CClassFactory factory(GetEffectDescriptions);
    return factory;
}

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL ACFRESULT ACFRegisterPlugin(IACFUnknown*, IACFPluginDefinition** definition)
{
    if (!definition)
        return ACF_E_POINTER;
    void* object = nullptr;
    const ACFRESULT result = classFactory().CreateInstance(nullptr, IID_IACFPluginDefinition, &object);
    *definition = static_cast<IACFPluginDefinition*>(object);
    return result;
}

// Effects are registered through the plug-in definition; there are no
// separate components.
SMTG_EXPORT_SYMBOL ACFRESULT ACFRegisterComponent(IACFUnknown*, uint32_t, IACFUnknown** component)
{
    if (component)
        *component = nullptr;
    return ACF_E_NOTIMPL;
}

SMTG_EXPORT_SYMBOL ACFRESULT ACFGetClassFactory(IACFUnknown*, const acfCLSID* classID, const acfIID* iid,
                                                void** factory)
{
    if (!factory)
        return ACF_E_POINTER;
    *factory = nullptr;
    if (!classID || !iid)
        return ACF_E_POINTER;
    if (!(*classID == CLSID_AAXPluginDefinition))
        return ACF_CLASS_E_CLASSNOTAVAILABLE;
    return classFactory().QueryInterface(*iid, factory);
}

SMTG_EXPORT_SYMBOL ACFRESULT ACFCanUnloadNow(IACFUnknown*)
{
    return ACFModule::CanUnloadNow() ? ACF_OK : ACF_FALSE;
}

SMTG_EXPORT_SYMBOL ACFRESULT ACFStartup(IACFUnknown*)
{
    return ACF_OK;
}

SMTG_EXPORT_SYMBOL ACFRESULT ACFShutdown(IACFUnknown*)
{
    return ACF_OK;
}

SMTG_EXPORT_SYMBOL ACFRESULT ACFGetSDKVersion(uint64_t* version)
{
    if (!version)
        return ACF_E_POINTER;
    *version = kAAX_SDK_Version;
    return ACF_OK;
}

} // extern "C"
