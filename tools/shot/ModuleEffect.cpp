// An in-process effect in module mode for the compact panel's screenshot.
#include "tools/shot/ModuleEffect.h"

#include "GUI/Editor.h"
#include "core/ol7t.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace Steinberg;

namespace {

IPlugView* makeEditor(ol7t* effect)
{
    return new Editor(effect);
}

// The configuration names the bundle's Contents folder as the installation,
// as an installer's registry entry does.
bool configureInstallation(const std::string& bundlePath)
{
    const std::filesystem::path contents = std::filesystem::absolute(bundlePath) / "Contents";
    if (!std::filesystem::is_directory(contents / "Resources"))
        return false;
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "ol7t-shot-registry.reg";
    std::ofstream out(file);
    out << "[HKEY_LOCAL_MACHINE\\Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0]\n"
        << "\"AppData Path\"=\"" << contents.string() << "/\"\n";
    if (!out)
        return false;
    setenv("OL7T_REGISTRY_FILE", file.c_str(), 1);
    return true;
}

} // namespace

std::string createModuleEffect(const std::string& bundlePath, IPtr<Vst::IComponent>& component)
{
    // The host context counts no references; it lives as long as the tool.
    static Vst::HostApplication context;
    if (!configureInstallation(bundlePath))
        return "no Resources folder in " + bundlePath;
    ol7t::editorFactory = makeEditor;
    auto* effect = new ol7t;
    effect->moduleMode = true;
    IPtr<Vst::IComponent> created = owned(static_cast<Vst::IComponent*>(effect));
    if (created->initialize(&context) != kResultOk)
        return "the effect did not initialize";
    component = created;
    return {};
}
