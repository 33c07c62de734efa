// Loading and unloading of the plug-in library, and creation of the effect
// through its factory, with every failure turned into a message.
#include "tools/render/PluginModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cstring>
#include <filesystem>

using namespace Steinberg;

namespace {

constexpr const char* kEffectName = "OL-7T";

using GetFactoryFunction = IPluginFactory* (*)();

} // namespace

PluginModule::PluginModule()
    : hostContext(std::make_unique<Vst::HostApplication>())
{
}

PluginModule::~PluginModule()
{
    close();
}

std::string PluginModule::open(const std::string& bundlePath)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(bundlePath, ec))
        return "bundle not found: '" + bundlePath + "'";
    const std::filesystem::path path = SharedLibrary::libraryOf(bundlePath);
    if (!std::filesystem::is_regular_file(path, ec))
        return "the bundle '" + bundlePath + "' has no library " + path.string();

    if (std::string error = library.open(path); !error.empty())
        return error;
    auto getFactory = reinterpret_cast<GetFactoryFunction>(library.symbol("GetPluginFactory"));
    if (!getFactory)
        return "'" + path.string() + "' is not a VST 3 module (GetPluginFactory missing)";

    factory = owned(getFactory());
    if (!factory)
        return "the plug-in returned no factory";
    for (int32 i = 0; i < factory->countClasses(); ++i) {
        PClassInfo info{};
        if (factory->getClassInfo(i, &info) == kResultOk && std::strcmp(info.category, kVstAudioEffectClass) == 0 &&
            std::strcmp(info.name, kEffectName) == 0) {
            std::memcpy(classId, info.cid, sizeof(TUID));
            return {};
        }
    }
    return std::string("the bundle has no audio effect class named ") + kEffectName;
}

std::string PluginModule::createEffect(IPtr<Vst::IComponent>& component)
{
    component = nullptr;
    if (!factory)
        return "no plug-in loaded";
    Vst::IComponent* created = nullptr;
    if (factory->createInstance(classId, Vst::IComponent::iid, reinterpret_cast<void**>(&created)) != kResultOk ||
        !created)
        return "the plug-in's factory could not create the effect";
    IPtr<Vst::IComponent> effect = owned(created);
    if (effect->initialize(hostContext.get()) != kResultOk) {
        effect->terminate();
        return "the effect failed to initialize (is the bundle's Resources folder complete?)";
    }
    component = effect;
    return {};
}

void PluginModule::close()
{
    factory = nullptr;
    library.close();
}
