// The plug-in's library loaded from its VST 3 bundle the way the platform's
// hosts load it: by path, through the module entry and GetPluginFactory only.
#pragma once

#include "tools/render/SharedLibrary.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <memory>
#include <string>

namespace Steinberg::Vst {
class HostApplication;
}

class PluginModule
{
public:
    PluginModule();
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the library of the bundle at `bundlePath` and finds the effect
    // class. Returns an empty string on success, else a one-line message.
    std::string open(const std::string& bundlePath);

    // A new effect, initialized with this host's context. Returns an empty
    // string on success, else a one-line message; `component` is then null.
    std::string createEffect(Steinberg::IPtr<Steinberg::Vst::IComponent>& component);

    // The class ID of the effect found by open.
    const Steinberg::TUID& effectClassId() const { return classId; }

private:
    void close();

    SharedLibrary library;
    Steinberg::IPtr<Steinberg::IPluginFactory> factory;
    Steinberg::TUID classId{};
    // The SDK's host context counts no references: the module owns it outright.
    std::unique_ptr<Steinberg::Vst::HostApplication> hostContext;
};
