// Test support: loads a built bundle the way a VST 3 host does, through its
// exported entry points only, and creates the effect from its factory.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <dlfcn.h>

#include <string>

namespace testing_support {

class BundleHost
{
public:
    explicit BundleHost(const std::string& bundle)
    {
        handle = dlopen((bundle + "/Contents/x86_64-linux/OL-7T.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
        auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(handle, "ModuleEntry"));
        getFactory = reinterpret_cast<Steinberg::IPluginFactory* (*)()>(dlsym(handle, "GetPluginFactory"));
        if (entry)
            entry(handle);
    }
    ~BundleHost()
    {
        if (!handle)
            return;
        if (auto exit = reinterpret_cast<bool (*)()>(dlsym(handle, "ModuleExit")))
            exit();
        dlclose(handle);
    }
    BundleHost(const BundleHost&) = delete;
    BundleHost& operator=(const BundleHost&) = delete;

    bool loaded() const { return handle && getFactory; }
    void* symbol(const char* name) const { return dlsym(handle, name); }

    // A new reference to the factory.
    Steinberg::IPluginFactory* factory() const { return getFactory ? getFactory() : nullptr; }

    // Creates the first class as IComponent; null on failure.
    Steinberg::Vst::IComponent* createComponent() const
    {
        Steinberg::IPluginFactory* f = factory();
        if (!f)
            return nullptr;
        Steinberg::PClassInfo info;
        void* obj = nullptr;
        if (f->getClassInfo(0, &info) == Steinberg::kResultOk)
            f->createInstance(info.cid, Steinberg::Vst::IComponent::iid, &obj);
        f->release();
        return static_cast<Steinberg::Vst::IComponent*>(obj);
    }

private:
    void* handle = nullptr;
    Steinberg::IPluginFactory* (*getFactory)() = nullptr;
};

// An interface of `object`, with its own reference.
template <typename I>
I* queryInterface(Steinberg::FUnknown* object)
{
    void* obj = nullptr;
    return object && object->queryInterface(I::iid, &obj) == Steinberg::kResultOk ? static_cast<I*>(obj) : nullptr;
}

} // namespace testing_support
