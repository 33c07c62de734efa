// Test support: a CLAP host of the test's own over the same headers. It
// loads the built .clap file, creates the plug-in through the factory, and
// offers the host extensions the plug-in asks for, recording their use.
#pragma once

#include "clap/entry.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"
#include "clap/plugin-factory.h"

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class ClapLibrary
{
public:
    explicit ClapLibrary(const std::string& path)
    {
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        entry = handle ? static_cast<const clap_plugin_entry_t*>(dlsym(handle, "clap_entry")) : nullptr;
        if (entry && entry->init(path.c_str()))
            factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    }
    ~ClapLibrary()
    {
        if (factory)
            entry->deinit();
        if (handle)
            dlclose(handle);
    }
    ClapLibrary(const ClapLibrary&) = delete;
    ClapLibrary& operator=(const ClapLibrary&) = delete;

    void* handle = nullptr;
    const clap_plugin_entry_t* entry = nullptr;
    const clap_plugin_factory_t* factory = nullptr;
};

// The host: its answers are fields the tests set, its call-backs counters.
struct ClapTestHost
{
    ClapTestHost()
    {
        host.clap_version = CLAP_VERSION_INIT;
        host.host_data = this;
        host.name = "test host";
        host.vendor = "";
        host.url = "";
        host.version = "1";
        host.get_extension = extension;
        host.request_restart = host.request_process = host.request_callback = [](const clap_host_t*) {};
    }
    static ClapTestHost& of(const clap_host_t* h) { return *static_cast<ClapTestHost*>(h->host_data); }

    static const void* extension(const clap_host_t*, const char* id)
    {
        static const clap_host_thread_check_t threads{
            [](const clap_host_t* h) { return of(h).mainThread; }, [](const clap_host_t* h) { return !of(h).mainThread; }};
        static const clap_host_params_t params{[](const clap_host_t* h, uint32_t) { ++of(h).rescans; },
                                               [](const clap_host_t*, clap_id, uint32_t) {},
                                               [](const clap_host_t* h) { ++of(h).flushRequests; }};
        static const clap_host_timer_support_t timers{
            [](const clap_host_t* h, uint32_t period, clap_id* id) {
                of(h).timerPeriods.push_back(period);
                *id = static_cast<clap_id>(of(h).timerPeriods.size());
                return true;
            },
            [](const clap_host_t* h, clap_id) {
                ++of(h).timersStopped;
                return true;
            }};
        const std::string_view name(id);
        if (name == CLAP_EXT_THREAD_CHECK)
            return &threads;
        if (name == CLAP_EXT_PARAMS)
            return &params;
        if (name == CLAP_EXT_TIMER_SUPPORT)
            return &timers;
        return nullptr;
    }

    clap_host_t host{};
    bool mainThread = true;
    int rescans = 0;
    int flushRequests = 0;
    std::vector<uint32_t> timerPeriods;
    int timersStopped = 0;
};

// Parameter events in, and whatever the plug-in sends out.
struct ClapEvents
{
    ClapEvents()
    {
        in.ctx = this;
        in.size = [](const clap_input_events_t* l) { return static_cast<uint32_t>(self(l).values.size()); };
        in.get = [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
            return &self(l).values[i].header;
        };
        out.ctx = this;
        out.try_push = [](const clap_output_events_t* l, const clap_event_header_t* e) {
            clap_event_param_value_t copy{};
            std::memcpy(&copy, e, std::min<size_t>(e->size, sizeof copy));
            static_cast<ClapEvents*>(l->ctx)->sent.push_back(copy);
            return true;
        };
    }
    template <typename List>
    static ClapEvents& self(const List* l) { return *static_cast<ClapEvents*>(l->ctx); }

    void add(clap_id id, double value)
    {
        clap_event_param_value_t e{};
        e.header = {sizeof e, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = id;
        e.note_id = -1;
        e.value = value;
        values.push_back(e);
    }

    std::vector<clap_event_param_value_t> values;
    std::vector<clap_event_param_value_t> sent;
    clap_input_events_t in{};
    clap_output_events_t out{};
};

template <typename T>
const T* clapExtension(const clap_plugin_t* plugin, const char* id)
{
    return static_cast<const T*>(plugin->get_extension(plugin, id));
}

} // namespace testing_support
