// One CLAP plug-in instance over the effect.
#include "adapters/clap/ClapPlugin.h"

#include "pal/Utf8ToUtf16.h"

#include "clap/plugin-features.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

using namespace Steinberg;

extern "C" IPluginFactory* PLUGIN_API GetPluginFactory();

namespace {

constexpr char kPluginId[] = "com.marrowby.ol-7t";
// The VST 3 class is "Fx|Dynamics": a leveling amplifier compresses and limits.
const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_COMPRESSOR,
                           CLAP_PLUGIN_FEATURE_LIMITER, CLAP_PLUGIN_FEATURE_STEREO, CLAP_PLUGIN_FEATURE_MONO,
                           nullptr};

enum PortId : clap_id { kMainPort = 0, kSideChainPort = 1 };
constexpr uint32_t kEditorTimerMs = 10;
// A state chunk is 76 bytes; a stream that goes on far beyond that is not ours.
constexpr size_t kLongestStateStream = 64 * 1024;

// The texts of the VST 3 factory and class, kept for the life of the library.
struct DescriptorTexts
{
    std::string name, vendor, url, version;
};

DescriptorTexts readFactoryTexts()
{
    DescriptorTexts texts;
    IPluginFactory* factory = GetPluginFactory();
    if (!factory)
        return texts;
    PFactoryInfo info;
    if (factory->getFactoryInfo(&info) == kResultOk) {
        texts.vendor = info.vendor;
        texts.url = info.url;
    }
    IPluginFactory2* factory2 = nullptr;
    if (factory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2)) == kResultOk) {
        PClassInfo2 classInfo;
        if (factory2->getClassInfo2(0, &classInfo) == kResultOk) {
            texts.name = classInfo.name;
            texts.version = classInfo.version;
        }
        factory2->release();
    }
    factory->release();
    return texts;
}

void copyText(const std::string& text, char* out, size_t size)
{
    if (size == 0)
        return;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

} // namespace

const clap_plugin_descriptor_t& ClapPlugin::descriptor()
{
    static const DescriptorTexts texts = readFactoryTexts();
    static const clap_plugin_descriptor_t d = {
        CLAP_VERSION_INIT, kPluginId, texts.name.c_str(), texts.vendor.c_str(), texts.url.c_str(), "", "",
        texts.version.c_str(), "", kFeatures};
    return d;
}

const clap_plugin_t* ClapPlugin::create(const clap_host_t* host)
{
    if (!host)
        return nullptr;
    auto* instance = new (std::nothrow) ClapPlugin(host);
    return instance ? &instance->plugin : nullptr;
}

ClapPlugin::ClapPlugin(const clap_host_t* host)
    : host(host)
{
    plugin.desc = &descriptor();
    plugin.plugin_data = this;
    plugin.init = init;
    plugin.destroy = destroy;
    plugin.activate = activate;
    plugin.deactivate = deactivate;
    plugin.start_processing = startProcessing;
    plugin.stop_processing = stopProcessing;
    plugin.reset = reset;
    plugin.process = process;
    plugin.get_extension = getExtension;
    plugin.on_main_thread = onMainThreadCallback;
}

bool ClapPlugin::onMainThread() const
{
    return !threadCheck || threadCheck->is_main_thread(host);
}

bool ClapPlugin::onAudioThread() const
{
    return !threadCheck || threadCheck->is_audio_thread(host);
}

// --- life cycle -------------------------------------------------------------------

bool ClapPlugin::init(const clap_plugin_t* plugin)
{
    ClapPlugin& self = of(plugin);
    const clap_host_t* h = self.host;
    if (h->get_extension) {
        self.hostParams = static_cast<const clap_host_params_t*>(h->get_extension(h, CLAP_EXT_PARAMS));
        self.threadCheck = static_cast<const clap_host_thread_check_t*>(h->get_extension(h, CLAP_EXT_THREAD_CHECK));
        self.timerSupport = static_cast<const clap_host_timer_support_t*>(h->get_extension(h, CLAP_EXT_TIMER_SUPPORT));
        self.hostGui = static_cast<const clap_host_gui_t*>(h->get_extension(h, CLAP_EXT_GUI));
    }
    if (self.effect || !self.onMainThread())
        return false;
    self.effect = HostedEffect::create();
    if (!self.effect)
        return false;
    std::vector<Vst::ParamID> ids;
    for (int32_t i = 0; i < self.effect->parameterCount(); ++i) {
        Vst::ParameterInfo info{};
        self.effect->parameterInfo(i, info);
        ids.push_back(info.id);
    }
    self.editsForHost.setParameterIds(ids);
    self.effect->setEditCallback(editMade, &self);
    return true;
}

void ClapPlugin::destroy(const clap_plugin_t* plugin)
{
    // The host is done with the instance whatever thread it is on: the
    // editor goes before the effect it shows, and the host's timer with it.
    ClapPlugin* self = &of(plugin);
    self->stopTimer();
    self->editor.reset();
    delete self;
}

bool ClapPlugin::activate(const clap_plugin_t* plugin, double rate, uint32_t, uint32_t)
{
    ClapPlugin& self = of(plugin);
    return self.effect && self.onMainThread() && rate > 0 && self.effect->activate(rate);
}

void ClapPlugin::deactivate(const clap_plugin_t* plugin)
{
    ClapPlugin& self = of(plugin);
    if (self.effect && self.onMainThread())
        self.effect->deactivate();
}

bool ClapPlugin::startProcessing(const clap_plugin_t* plugin)
{
    ClapPlugin& self = of(plugin);
    return self.effect && self.effect->isActive() && self.onAudioThread();
}

void ClapPlugin::stopProcessing(const clap_plugin_t*) {}

void ClapPlugin::reset(const clap_plugin_t*) {}

void ClapPlugin::onMainThreadCallback(const clap_plugin_t*) {}

// --- processing ----------------------------------------------------------------------

void ClapPlugin::applyEvents(const clap_input_events_t* in, bool queued)
{
    const uint32_t count = in ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* header = in->get(in, i);
        if (!header || header->space_id != CLAP_CORE_EVENT_SPACE_ID || header->type != CLAP_EVENT_PARAM_VALUE
            || header->size < sizeof(clap_event_param_value_t))
            continue;
        const auto* event = reinterpret_cast<const clap_event_param_value_t*>(header);
        // The effect takes each change at the block start, as from a VST 3 host.
        if (queued)
            effect->queuePlainValue(event->param_id, event->value);
        else
            effect->setPlainValue(event->param_id, event->value);
    }
}

void ClapPlugin::sendEdits(const clap_output_events_t* out)
{
    if (!out)
        return;
    editsForHost.takeChanges([&](Vst::ParamID id, Vst::ParamValue normalized) {
        clap_event_param_value_t event{};
        event.header = {sizeof(event), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        event.param_id = id;
        event.note_id = -1;
        event.port_index = event.channel = event.key = -1;
        event.value = effect->toPlain(id, normalized);
        out->try_push(out, &event.header);
    });
}

clap_process_status ClapPlugin::process(const clap_plugin_t* plugin, const clap_process_t* process)
{
    ClapPlugin& self = of(plugin);
    if (!self.effect || !self.effect->isActive() || !process)
        return CLAP_PROCESS_ERROR;
    self.applyEvents(process->in_events, true);

    auto buffer = [](const clap_audio_buffer_t* buffers, uint32_t count, uint32_t index) {
        return buffers && index < count && buffers[index].data32 ? &buffers[index] : nullptr;
    };
    const clap_audio_buffer_t* main = buffer(process->audio_inputs, process->audio_inputs_count, kMainPort);
    const clap_audio_buffer_t* side = buffer(process->audio_inputs, process->audio_inputs_count, kSideChainPort);
    const clap_audio_buffer_t* out = buffer(process->audio_outputs, process->audio_outputs_count, kMainPort);
    // A host that hands one channel gets the effect's mono layout: one
    // channel in, one out.
    self.effect->process(main ? main->data32 : nullptr, main ? static_cast<int32_t>(main->channel_count) : 0,
                         side ? side->data32 : nullptr, side ? static_cast<int32_t>(side->channel_count) : 0,
                         out ? out->data32 : nullptr, out ? static_cast<int32_t>(out->channel_count) : 0,
                         static_cast<int32_t>(process->frames_count));
    self.sendEdits(process->out_events);
    return CLAP_PROCESS_CONTINUE;
}

const void* ClapPlugin::getExtension(const clap_plugin_t*, const char* id)
{
    if (!id)
        return nullptr;
    const std::string_view name(id);
    if (name == CLAP_EXT_AUDIO_PORTS)
        return &audioPortsExtension;
    if (name == CLAP_EXT_LATENCY)
        return &latencyExtension;
    if (name == CLAP_EXT_PARAMS)
        return &paramsExtension;
    if (name == CLAP_EXT_STATE)
        return &stateExtension;
    if (name == CLAP_EXT_GUI)
        return &guiExtension;
    if (name == CLAP_EXT_TIMER_SUPPORT)
        return &timerExtension;
    return nullptr;
}

// --- audio ports and latency ------------------------------------------------------------

uint32_t ClapPlugin::portCount(const clap_plugin_t*, bool isInput)
{
    return isInput ? 2 : 1;
}

bool ClapPlugin::portInfo(const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info)
{
    if (!info || index >= (isInput ? 2u : 1u))
        return false;
    const bool main = index == kMainPort;
    info->id = index;
    copyText(!isInput ? "Output" : main ? "Input" : "Side Chain", info->name, CLAP_NAME_SIZE);
    info->flags = main ? CLAP_AUDIO_PORT_IS_MAIN : 0;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    // Every input sample of a block is read before its output is written.
    info->in_place_pair = main ? kMainPort : CLAP_INVALID_ID;
    return true;
}

uint32_t ClapPlugin::latency(const clap_plugin_t*)
{
    return 0;
}

// --- parameters ----------------------------------------------------------------------------

uint32_t ClapPlugin::paramCount(const clap_plugin_t* plugin)
{
    ClapPlugin& self = of(plugin);
    return self.effect ? static_cast<uint32_t>(self.effect->parameterCount()) : 0;
}

bool ClapPlugin::paramInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info)
{
    ClapPlugin& self = of(plugin);
    Vst::ParameterInfo vst{};
    if (!info || !self.effect || !self.effect->parameterInfo(static_cast<int32_t>(index), vst))
        return false;
    *info = {};
    info->id = vst.id;
    info->flags = 0;
    if (vst.flags & Vst::ParameterInfo::kCanAutomate)
        info->flags |= CLAP_PARAM_IS_AUTOMATABLE;
    if (vst.stepCount > 0)
        info->flags |= CLAP_PARAM_IS_STEPPED;
    copyText(ZVNPal::Utf16ToUtf8(vst.title), info->name, CLAP_NAME_SIZE);
    info->min_value = 0;
    info->max_value = vst.stepCount > 0 ? vst.stepCount : 1;
    info->default_value = self.effect->toPlain(vst.id, vst.defaultNormalizedValue);
    return true;
}

bool ClapPlugin::paramValue(const clap_plugin_t* plugin, clap_id id, double* value)
{
    ClapPlugin& self = of(plugin);
    if (!value || !self.effect || id >= static_cast<clap_id>(self.effect->parameterCount()))
        return false;
    *value = self.effect->plainValue(id);
    return true;
}

bool ClapPlugin::valueToText(const clap_plugin_t* plugin, clap_id id, double value, char* display, uint32_t size)
{
    ClapPlugin& self = of(plugin);
    std::string text;
    if (!display || size == 0 || !self.effect || !self.effect->valueText(id, value, text))
        return false;
    copyText(text, display, size);
    return true;
}

bool ClapPlugin::textToValue(const clap_plugin_t* plugin, clap_id id, const char* display, double* value)
{
    ClapPlugin& self = of(plugin);
    return value && self.effect && self.effect->valueFromText(id, display, *value);
}

void ClapPlugin::flush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out)
{
    ClapPlugin& self = of(plugin);
    if (!self.effect)
        return;
    // Never while processing, so the changes apply at once.
    self.applyEvents(in, false);
    self.sendEdits(out);
}

void ClapPlugin::editMade(void* context, Vst::ParamID id, double normalized)
{
    auto& self = *static_cast<ClapPlugin*>(context);
    self.editsForHost.addChange(static_cast<int32_t>(id), normalized);
    if (self.hostParams)
        self.hostParams->request_flush(self.host);
}

// --- state -------------------------------------------------------------------------------------

bool ClapPlugin::saveState(const clap_plugin_t* plugin, const clap_ostream_t* stream)
{
    ClapPlugin& self = of(plugin);
    if (!stream || !self.effect || !self.onMainThread())
        return false;
    const std::vector<uint8_t> bytes = self.effect->saveState();
    size_t written = 0;
    while (written < bytes.size()) {
        const int64_t n = stream->write(stream, bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += static_cast<size_t>(n);
    }
    return !bytes.empty();
}

bool ClapPlugin::loadState(const clap_plugin_t* plugin, const clap_istream_t* stream)
{
    ClapPlugin& self = of(plugin);
    if (!stream || !self.effect || !self.onMainThread())
        return false;
    std::vector<uint8_t> bytes;
    uint8_t block[512];
    for (;;) {
        const int64_t n = stream->read(stream, block, sizeof block);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes.insert(bytes.end(), block, block + n);
        if (bytes.size() > kLongestStateStream)
            return false;
    }
    if (!self.effect->loadState(bytes.data(), bytes.size()))
        return false;
    if (self.hostParams)
        self.hostParams->rescan(self.host, CLAP_PARAM_RESCAN_VALUES);
    return true;
}

// --- editor -------------------------------------------------------------------------------------

bool ClapPlugin::guiApiSupported(const clap_plugin_t*, const char* api, bool floating)
{
    return api && std::string_view(api) == CLAP_WINDOW_API_X11 && !floating;
}

bool ClapPlugin::guiPreferredApi(const clap_plugin_t*, const char** api, bool* floating)
{
    if (!api || !floating)
        return false;
    *api = CLAP_WINDOW_API_X11;
    *floating = false;
    return true;
}

bool ClapPlugin::guiCreate(const clap_plugin_t* plugin, const char* api, bool floating)
{
    ClapPlugin& self = of(plugin);
    if (!self.effect || self.editor || !guiApiSupported(plugin, api, floating) || !self.onMainThread())
        return false;
    auto editor = std::make_unique<EmbeddedEditor>(*self.effect, resizeRequested, &self);
    if (!editor->create())
        return false;
    self.editor = std::move(editor);
    return true;
}

void ClapPlugin::stopTimer()
{
    if (timerId != CLAP_INVALID_ID && timerSupport)
        timerSupport->unregister_timer(host, timerId);
    timerId = CLAP_INVALID_ID;
}

void ClapPlugin::guiDestroy(const clap_plugin_t* plugin)
{
    ClapPlugin& self = of(plugin);
    if (!self.editor || !self.onMainThread())
        return;
    self.stopTimer();
    self.editor.reset();
}

bool ClapPlugin::guiSetScale(const clap_plugin_t*, double)
{
    // The editor draws at its own size; the host scales around it.
    return false;
}

bool ClapPlugin::guiGetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
    ClapPlugin& self = of(plugin);
    int32_t w = 0, h = 0;
    if (!width || !height || !self.editor || !self.editor->size(w, h))
        return false;
    *width = static_cast<uint32_t>(w);
    *height = static_cast<uint32_t>(h);
    return true;
}

bool ClapPlugin::guiCanResize(const clap_plugin_t*)
{
    return false;
}

bool ClapPlugin::guiResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*)
{
    return false;
}

bool ClapPlugin::guiAdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
    // The panel has one size: any request is answered with it.
    return guiGetSize(plugin, width, height);
}

bool ClapPlugin::guiSetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height)
{
    uint32_t w = 0, h = 0;
    return guiGetSize(plugin, &w, &h) && w == width && h == height;
}

bool ClapPlugin::guiSetParent(const clap_plugin_t* plugin, const clap_window_t* window)
{
    ClapPlugin& self = of(plugin);
    if (!self.editor || !window || !window->api || std::string_view(window->api) != CLAP_WINDOW_API_X11
        || !self.onMainThread() || !self.editor->attach(static_cast<uintptr_t>(window->x11)))
        return false;
    // The host's timer drives the editor's events, timers and repaints.
    const uint32_t period = self.editor->timerInterval() ? self.editor->timerInterval() : kEditorTimerMs;
    if (self.timerSupport && self.timerId == CLAP_INVALID_ID)
        self.timerSupport->register_timer(self.host, period, &self.timerId);
    return true;
}

bool ClapPlugin::guiSetTransient(const clap_plugin_t*, const clap_window_t*)
{
    return false;
}

void ClapPlugin::guiSuggestTitle(const clap_plugin_t*, const char*) {}

bool ClapPlugin::guiShow(const clap_plugin_t* plugin)
{
    return of(plugin).editor != nullptr;
}

bool ClapPlugin::guiHide(const clap_plugin_t* plugin)
{
    return of(plugin).editor != nullptr;
}

bool ClapPlugin::resizeRequested(void* context, int32_t width, int32_t height)
{
    auto& self = *static_cast<ClapPlugin*>(context);
    return self.hostGui && self.hostGui->request_resize(self.host, static_cast<uint32_t>(width),
                                                         static_cast<uint32_t>(height));
}

void ClapPlugin::onTimer(const clap_plugin_t* plugin, clap_id timerId)
{
    ClapPlugin& self = of(plugin);
    if (self.editor && timerId == self.timerId)
        self.editor->idle();
}

// --- extension tables ---------------------------------------------------------------------------

const clap_plugin_audio_ports_t ClapPlugin::audioPortsExtension{portCount, portInfo};
const clap_plugin_latency_t ClapPlugin::latencyExtension{latency};
const clap_plugin_params_t ClapPlugin::paramsExtension{paramCount, paramInfo, paramValue, valueToText, textToValue, flush};
const clap_plugin_state_t ClapPlugin::stateExtension{saveState, loadState};
const clap_plugin_gui_t ClapPlugin::guiExtension{
    guiApiSupported, guiPreferredApi, guiCreate, guiDestroy, guiSetScale, guiGetSize, guiCanResize, guiResizeHints,
    guiAdjustSize, guiSetSize, guiSetParent, guiSetTransient, guiSuggestTitle, guiShow, guiHide};
const clap_plugin_timer_support_t ClapPlugin::timerExtension{onTimer};
