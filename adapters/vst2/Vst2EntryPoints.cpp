// The library's VST 2 entry points: one for VST 2 hosts, one for the maker's
// channel strip, both wrapping the effect the VST 3 factory makes.
#include "adapters/vst2/MBVst2Wrapper.h"
#include "core/ol7t.h"
#include "pal/ProductKey.h"
#include "pal/SystemRegistry.h"
#include "pal/ZVNConfig.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <cstring>
#include <string_view>

using namespace Steinberg;

namespace {

constexpr char kCompatibilityValue[] = "SV7TCompatabilityMode";

bool hostAnswers(audioMasterCallback audioMaster)
{
    return audioMaster && audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.f) != 0;
}

// The factory's effect class: the first audio-module class it registers.
bool findEffectClass(IPluginFactory* factory, TUID classId)
{
    for (int32 i = 0; i < factory->countClasses(); ++i) {
        PClassInfo info;
        if (factory->getClassInfo(i, &info) == kResultOk && std::string_view(info.category) == kVstAudioEffectClass) {
            std::memcpy(classId, info.cid, sizeof(TUID));
            return true;
        }
    }
    return false;
}

AEffect* createEffect(audioMasterCallback audioMaster, bool programsAreChunks, bool module)
{
    IPluginFactory* factory = GetPluginFactory();
    TUID classId;
    if (factory && !findEffectClass(factory, classId)) {
        factory->release();
        return nullptr;
    }
    MBVst2Wrapper* wrapper =
        MBVst2Wrapper::create(factory, classId, ol7t::kStateMagic, audioMaster, programsAreChunks, module);
    return wrapper ? wrapper->getAeffect() : nullptr;
}

// Programs are chunks only when the configuration holds the number 0; no
// value, a value that does not fit four bytes or any other number asks for
// the compatible behaviour of saving parameter values.
bool channelStripUsesChunks()
{
    const std::string key = ZVNPal::ZVNConfig::KeyOf(ZVNPal::kProductName, ZVNPal::kProductVersion);
    uint32_t number = 0;
    return ZVNPal::ReadRegistryFourBytes(key, kCompatibilityValue, number) && number == 0;
}

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    return hostAnswers(audioMaster) ? createEffect(audioMaster, true, false) : nullptr;
}

SMTG_EXPORT_SYMBOL AEffect* TORVAPluginMain(audioMasterCallback audioMaster)
{
    return hostAnswers(audioMaster) ? createEffect(audioMaster, channelStripUsesChunks(), true) : nullptr;
}

} // extern "C"
