// Loading and unloading of the plug-in library, and creation of the effect
// through its factory, with every failure turned into a message.
#include "tools/render/PluginModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>

using namespace Steinberg;

namespace {

constexpr const char* kEffectName = "OL-7T";
constexpr const char* kLibraryFolder = "Contents/x86_64-linux";

using ModuleEntryFunction = bool (*)(void*);
using ModuleExitFunction = bool (*)();
using GetFactoryFunction = IPluginFactory* (*)();

// A bundle "Name.vst3" holds its library as Contents/x86_64-linux/Name.so.
std::filesystem::path libraryOf(const std::filesystem::path& bundle)
{
    std::filesystem::path name = bundle.filename();
    if (name.empty())
        name = bundle.parent_path().filename();
    return bundle / kLibraryFolder / name.replace_extension(".so");
}

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
    const std::filesystem::path path = libraryOf(bundlePath);
    if (!std::filesystem::is_regular_file(path, ec))
        return "the bundle '" + bundlePath + "' has no library " + path.string();

    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::string("cannot load the plug-in: ") + dlerror();
    auto moduleEntry = reinterpret_cast<ModuleEntryFunction>(dlsym(library, "ModuleEntry"));
    auto getFactory = reinterpret_cast<GetFactoryFunction>(dlsym(library, "GetPluginFactory"));
    if (!moduleEntry || !getFactory)
        return "'" + path.string() + "' is not a VST 3 module (ModuleEntry or GetPluginFactory missing)";
    if (!moduleEntry(library))
        return "the plug-in's ModuleEntry failed";
    entered = true;

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
    if (entered) {
        if (auto moduleExit = reinterpret_cast<ModuleExitFunction>(dlsym(library, "ModuleExit")))
            moduleExit();
        entered = false;
    }
    if (library) {
        dlclose(library);
        library = nullptr;
    }
}
