// The CLAP adapter: one CLAP plug-in instance over the effect. Host calls
// become the same few calls on the effect that a VST 3 host makes; the
// editor's edits go back to the host as parameter events.
#pragma once

#include "adapters/hosted/EmbeddedEditor.h"
#include "adapters/hosted/HostedEffect.h"
#include "sdk/ParameterTransfer.h"

#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"
#include "clap/plugin.h"

#include <memory>

class ClapPlugin
{
public:
    // The one plug-in this library offers, with the VST 3 class's texts.
    static const clap_plugin_descriptor_t& descriptor();
    // A new instance for `host`; the host calls init and, later, destroy.
    static const clap_plugin_t* create(const clap_host_t* host);

private:
    explicit ClapPlugin(const clap_host_t* host);
    static ClapPlugin& of(const clap_plugin_t* plugin) { return *static_cast<ClapPlugin*>(plugin->plugin_data); }

    // What the host's thread check allows; without one every call is taken.
    bool onMainThread() const;
    bool onAudioThread() const;
    void applyEvents(const clap_input_events_t* in, bool queued);
    void sendEdits(const clap_output_events_t* out);
    static void editMade(void* context, Steinberg::Vst::ParamID id, double normalized);
    static bool resizeRequested(void* context, int32_t width, int32_t height);
    void stopTimer();

    // clap_plugin
    static bool init(const clap_plugin_t* plugin);
    static void destroy(const clap_plugin_t* plugin);
    static bool activate(const clap_plugin_t* plugin, double rate, uint32_t minFrames, uint32_t maxFrames);
    static void deactivate(const clap_plugin_t* plugin);
    static bool startProcessing(const clap_plugin_t* plugin);
    static void stopProcessing(const clap_plugin_t* plugin);
    static void reset(const clap_plugin_t* plugin);
    static clap_process_status process(const clap_plugin_t* plugin, const clap_process_t* process);
    static const void* getExtension(const clap_plugin_t* plugin, const char* id);
    static void onMainThreadCallback(const clap_plugin_t* plugin);

    // audio ports, latency
    static uint32_t portCount(const clap_plugin_t* plugin, bool isInput);
    static bool portInfo(const clap_plugin_t* plugin, uint32_t index, bool isInput, clap_audio_port_info_t* info);
    static uint32_t latency(const clap_plugin_t* plugin);

    // params
    static uint32_t paramCount(const clap_plugin_t* plugin);
    static bool paramInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info);
    static bool paramValue(const clap_plugin_t* plugin, clap_id id, double* value);
    static bool valueToText(const clap_plugin_t* plugin, clap_id id, double value, char* display, uint32_t size);
    static bool textToValue(const clap_plugin_t* plugin, clap_id id, const char* display, double* value);
    static void flush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out);

    // state
    static bool saveState(const clap_plugin_t* plugin, const clap_ostream_t* stream);
    static bool loadState(const clap_plugin_t* plugin, const clap_istream_t* stream);

    // gui and its timer
    static bool guiApiSupported(const clap_plugin_t* plugin, const char* api, bool floating);
    static bool guiPreferredApi(const clap_plugin_t* plugin, const char** api, bool* floating);
    static bool guiCreate(const clap_plugin_t* plugin, const char* api, bool floating);
    static void guiDestroy(const clap_plugin_t* plugin);
    static bool guiSetScale(const clap_plugin_t* plugin, double scale);
    static bool guiGetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    static bool guiCanResize(const clap_plugin_t* plugin);
    static bool guiResizeHints(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
    static bool guiAdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    static bool guiSetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
    static bool guiSetParent(const clap_plugin_t* plugin, const clap_window_t* window);
    static bool guiSetTransient(const clap_plugin_t* plugin, const clap_window_t* window);
    static void guiSuggestTitle(const clap_plugin_t* plugin, const char* title);
    static bool guiShow(const clap_plugin_t* plugin);
    static bool guiHide(const clap_plugin_t* plugin);
    static void onTimer(const clap_plugin_t* plugin, clap_id timerId);

    static const clap_plugin_audio_ports_t audioPortsExtension;
    static const clap_plugin_latency_t latencyExtension;
    static const clap_plugin_params_t paramsExtension;
    static const clap_plugin_state_t stateExtension;
    static const clap_plugin_gui_t guiExtension;
    static const clap_plugin_timer_support_t timerExtension;

    clap_plugin_t plugin{};
    const clap_host_t* host;
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_thread_check_t* threadCheck = nullptr;
    const clap_host_timer_support_t* timerSupport = nullptr;
    const clap_host_gui_t* hostGui = nullptr;

    std::unique_ptr<HostedEffect> effect;
    std::unique_ptr<EmbeddedEditor> editor;
    clap_id timerId = CLAP_INVALID_ID;
    // The editor's edits on their way to the host's event list.
    Steinberg::Vst::ParameterTransfer editsForHost;
};
