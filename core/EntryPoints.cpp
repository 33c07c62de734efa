// The library's VST 3 entry points: the factory that creates the effect, and
// the load and unload calls hosts make around it.
#include "core/ol7t.h"
#include "core/EffectClassId.h"
#include "sdk/CPluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <new>

using namespace Steinberg;

const FUID kEffectClassId(0xC13C56A3, 0x72CE416F, 0x9FB2811A, 0xD0C38FC2);

namespace {

// Filled on first use and kept for the life of the process, so a factory
// made again after the host released the last one reports the same.
PFactoryInfo& factoryInfo()
{
    static PFactoryInfo info("Marrowby", "https://www.marrowby.com", "support@marrowby.com", PFactoryInfo::kUnicode);
    return info;
}

PClassInfo2& classInfo()
{
    static PClassInfo2 info = [] {
        TUID cid;
        kEffectClassId.toTUID(cid);
        return PClassInfo2(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, "OL-7T", 0, "Fx|Dynamics", "",
                           "2.0.0.0", "VST 3.6.6");
    }();
    return info;
}

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
    if (gPluginFactory) {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    auto* factory = new (std::nothrow) CPluginFactory(factoryInfo());
    if (!factory)
        return nullptr;
    gPluginFactory = factory;
    factory->registerClass(&classInfo(), ol7t::createInstance);
    return factory;
}

SMTG_EXPORT_SYMBOL bool InitDll()
{
    return true;
}

SMTG_EXPORT_SYMBOL bool ExitDll()
{
    return true;
}

} // extern "C"
