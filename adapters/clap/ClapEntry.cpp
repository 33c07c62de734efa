// The library's CLAP entry: the factory of its one plug-in.
#include "adapters/clap/ClapPlugin.h"

#include "clap/entry.h"
#include "clap/plugin-factory.h"

#include <string_view>

namespace {

bool entryInit(const char*)
{
    return true;
}

void entryDeinit() {}

uint32_t pluginCount(const clap_plugin_factory_t*)
{
    return 1;
}

const clap_plugin_descriptor_t* pluginDescriptor(const clap_plugin_factory_t*, uint32_t index)
{
    return index == 0 ? &ClapPlugin::descriptor() : nullptr;
}

const clap_plugin_t* createPlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* pluginId)
{
    if (!pluginId || std::string_view(pluginId) != ClapPlugin::descriptor().id
        || !clap_version_is_compatible(host ? host->clap_version : clap_version_t{}))
        return nullptr;
    return ClapPlugin::create(host);
}

const clap_plugin_factory_t factory{pluginCount, pluginDescriptor, createPlugin};

const void* getFactory(const char* id)
{
    return id && std::string_view(id) == CLAP_PLUGIN_FACTORY_ID ? &factory : nullptr;
}

} // namespace

extern "C" {

const clap_plugin_entry_t clap_entry = {CLAP_VERSION_INIT, entryInit, entryDeinit, getFactory};

} // extern "C"
