// ol7t-presets: writes every factory preset as a VST 3 preset file. The state
// chunk of each comes from the effect itself, loaded from the bundle as a host
// loads it and given the preset's values, the way a host saves a preset.
#include "resources/presets/FactoryPresets.h"
#include "tools/presets/VstPresetFile.h"
#include "tools/render/PluginModule.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/memorystream.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace Steinberg;

namespace {

constexpr const char* kExtension = ".vstpreset";

int fail(const std::string& message)
{
    std::fprintf(stderr, "ol7t-presets: %s\n", message.c_str());
    return 1;
}

// The effect's state chunk with the preset's values, empty on failure.
std::vector<uint8_t> stateOf(Vst::IComponent& component, const FactoryPreset& preset)
{
    FUnknownPtr<Vst::IEditController> controller(&component);
    if (!controller)
        return {};
    for (uint32 id = 0; id < PARAM_COUNT; ++id)
        if (controller->setParamNormalized(id, preset.values[id]) != kResultOk)
            return {};
    MemoryStream stream;
    if (component.getState(&stream) != kResultOk)
        return {};
    const auto* data = reinterpret_cast<const uint8_t*>(stream.getData());
    return std::vector<uint8_t>(data, data + stream.getSize());
}

// Files of presets no longer in the table must not linger in the folder.
void removeOldPresets(const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == kExtension)
            std::filesystem::remove(entry.path());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: ol7t-presets BUNDLE OUTPUT-FOLDER\n");
        return 2;
    }
    setenv("OL7T_MESSAGEBOX", "stderr", 0);
    PluginModule module;
    IPtr<Vst::IComponent> component;
    if (std::string error = module.open(argv[1]); !error.empty())
        return fail(error);
    if (std::string error = module.createEffect(component); !error.empty())
        return fail(error);
    char classId[33] = {};
    FUID::fromTUID(module.effectClassId()).toString(classId);

    const std::filesystem::path folder = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    removeOldPresets(folder);
    int status = 0;
    for (const FactoryPreset& preset : factoryPresets()) {
        const std::vector<uint8_t> state = stateOf(*component, preset);
        const std::filesystem::path path = folder / (std::string(preset.name) + kExtension);
        const std::vector<uint8_t> file = makeVstPresetFile(classId, state);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (state.empty() || !out.flush())
            status = fail("cannot write " + path.string());
    }
    component->terminate();
    return status;
}
