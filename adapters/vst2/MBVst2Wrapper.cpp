// The product's VST 2 adapter: creation for plain VST 2 hosts and for the
// channel strip, parameter delivery while the host is idle, the strip host's
// vendor requests and its context menu.
#include "adapters/vst2/MBVst2Wrapper.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32_t kIdleBlocks = 10;
// "SVCM" as a big-endian word: the strip host's context-menu request.
constexpr int32_t kContextMenuRequest = 0x5356434D;

// Each channel-strip module with its live adapter. An adapter enters when it
// is created and leaves in its destructor, so a request can only find adapters
// that still exist.
class StripLinks
{
public:
    static StripLinks& get()
    {
        static StripLinks links;
        return links;
    }
    void add(const IMBVst2StrivelPlugin* instance, MBVst2Wrapper* wrapper)
    {
        std::lock_guard lock(mutex);
        links.emplace_back(instance, wrapper);
    }
    void remove(MBVst2Wrapper* wrapper)
    {
        std::lock_guard lock(mutex);
        std::erase_if(links, [wrapper](const auto& link) { return link.second == wrapper; });
    }
    // Runs `send` with the adapter of `instance`, if it has one. The lock is
    // held throughout (recursively, for a host that calls back into us).
    template <typename Send>
    void with(const IMBVst2StrivelPlugin* instance, Send&& send)
    {
        std::lock_guard lock(mutex);
        const auto it = std::find_if(links.begin(), links.end(),
                                     [instance](const auto& link) { return link.first == instance; });
        if (it != links.end())
            send(*it->second);
    }

private:
    std::recursive_mutex mutex;
    std::vector<std::pair<const IMBVst2StrivelPlugin*, MBVst2Wrapper*>> links;
};

template <typename I>
I* interfaceOf(FUnknown* object)
{
    void* obj = nullptr;
    return object && object->queryInterface(I::iid, &obj) == kResultOk ? static_cast<I*>(obj) : nullptr;
}

// The edit controller: the processor itself for a single-component effect,
// otherwise one made from the factory by the component's controller class.
IEditController* findController(IPluginFactory* factory, IAudioProcessor* processor)
{
    if (auto* controller = interfaceOf<IEditController>(processor))
        return controller;
    IComponent* component = interfaceOf<IComponent>(processor);
    if (!component)
        return nullptr;
    TUID controllerId;
    void* obj = nullptr;
    if (component->getControllerClassId(controllerId) == kResultOk)
        factory->createInstance(controllerId, IEditController::iid, &obj);
    component->release();
    return static_cast<IEditController*>(obj);
}

} // namespace

MBVst2Wrapper::MBVst2Wrapper(IAudioProcessor* processor, IEditController* controller, audioMasterCallback audioMaster,
                             int32 vst2ID)
    : Vst2Wrapper(processor, controller, audioMaster, vst2ID)
{
}

MBVst2Wrapper::~MBVst2Wrapper()
{
    StripLinks::get().remove(this);
}

MBVst2Wrapper* MBVst2Wrapper::create(IPluginFactory* factory, const TUID classId, int32 vst2ID,
                                     audioMasterCallback audioMaster, bool programsAreChunks, bool module)
{
    if (!factory)
        return nullptr;
    void* obj = nullptr;
    factory->createInstance(classId, IAudioProcessor::iid, &obj);
    auto* processor = static_cast<IAudioProcessor*>(obj);
    if (!processor) {
        factory->release();
        return nullptr;
    }
    IEditController* controller = findController(factory, processor);
    auto* wrapper = new (std::nothrow) MBVst2Wrapper(processor, controller, audioMaster, vst2ID);
    if (!wrapper) {
        processor->release();
        if (controller)
            controller->release();
        factory->release();
        return nullptr;
    }
    auto fail = [&] {
        delete wrapper;
        factory->release();
        return nullptr;
    };
    if (module) {
        IMBVst2StrivelPlugin* stripModule = wrapper->strip();
        if (!stripModule)
            return fail();
        stripModule->enableModuleMode();
        StripLinks::get().add(stripModule, wrapper);
    }
    if (!wrapper->init())
        return fail();
    if (!programsAreChunks) {
        // The host then saves the parameter values of its one program.
        wrapper->setProgramsAreChunks(false);
        wrapper->setNumPrograms(1);
    }
    wrapper->takeNamesFrom(factory, classId);
    factory->release();
    return wrapper;
}

void MBVst2Wrapper::takeNamesFrom(IPluginFactory* factory, const TUID classId)
{
    PFactoryInfo factoryInfo;
    if (factory->getFactoryInfo(&factoryInfo) == kResultOk)
        setVendorName(factoryInfo.vendor);
    IPluginFactory2* factory2 = interfaceOf<IPluginFactory2>(factory);
    if (!factory2)
        return;
    for (int32 i = 0; i < factory2->countClasses(); ++i) {
        PClassInfo2 info;
        if (factory2->getClassInfo2(i, &info) != kResultOk || !FUnknownPrivate::iidEqual(info.cid, classId))
            continue;
        setSubCategories(info.subCategories);
        setEffectName(info.name);
        setVersion(info.version);
        if (info.vendor[0])
            setVendorName(info.vendor);
        break;
    }
    factory2->release();
}

IMBVst2StrivelPlugin* MBVst2Wrapper::strip() const
{
    return dynamic_cast<IMBVst2StrivelPlugin*>(getController());
}

void MBVst2Wrapper::requestHostContextMenu(const IMBVst2StrivelPlugin* instance, ParamID paramId)
{
    StripLinks::get().with(instance, [paramId](MBVst2Wrapper& wrapper) {
        wrapper.callHost(audioMasterVendorSpecific, kContextMenuRequest, static_cast<intptr_t>(paramId));
    });
}

// --- block duration and process tracking ------------------------------------------

void MBVst2Wrapper::updateBlockDuration()
{
    // The division in single precision, the product in double, truncated;
    // held below the integer's limit for blocks of absurd length.
    const float seconds = sampleRate > 0 ? static_cast<float>(blockSize) / sampleRate : 0.f;
    const double ms = std::min(static_cast<double>(seconds) * 1000.0, static_cast<double>(INT32_MAX));
    blockDurationMs.store(static_cast<int32_t>(ms), std::memory_order_relaxed);
}

void MBVst2Wrapper::setSampleRate(float rate)
{
    Vst2Wrapper::setSampleRate(rate);
    updateBlockDuration();
}

void MBVst2Wrapper::setBlockSize(int32_t size)
{
    Vst2Wrapper::setBlockSize(size);
    updateBlockDuration();
}

void MBVst2Wrapper::markProcessCall()
{
    lastProcessCall.store(Timer::now().time_since_epoch().count(), std::memory_order_relaxed);
    inProcess.store(true, std::memory_order_relaxed);
    idleTicks.store(0, std::memory_order_relaxed);
}

void MBVst2Wrapper::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    markProcessCall();
    Vst2Wrapper::processReplacing(inputs, outputs, sampleFrames);
}

void MBVst2Wrapper::processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames)
{
    markProcessCall();
    Vst2Wrapper::processDoubleReplacing(inputs, outputs, sampleFrames);
}

bool MBVst2Wrapper::idleLongerThanTenBlocks(int32_t ticks) const
{
    return int64_t(ticks) * kTimerPeriodMs > int64_t(getBlockDurationMs()) * kIdleBlocks;
}

void MBVst2Wrapper::onTimer(Timer* timer)
{
    if (!isInProcess())
        return;
    // A tick caught up late that belongs before the last process call was
    // undone by that call: it does its work but does not count as idle.
    if (timer->tickTime().time_since_epoch().count() > lastProcessCall.load(std::memory_order_relaxed)) {
        const int32_t ticks = idleTicks.fetch_add(1, std::memory_order_relaxed) + 1;
        if (idleLongerThanTenBlocks(ticks)) {
            inProcess.store(false, std::memory_order_relaxed);
            return;
        }
    }
    Vst2Wrapper::onTimer(timer);
}

void MBVst2Wrapper::flushParameterChanges()
{
    if (isInProcess()) {
        // The timer runs only when the host idles us. A host that neither
        // idles nor processes would keep changes queued for ever, so the
        // timer's rule is applied here as well, on the time since the last
        // process call.
        const auto sinceProcess = Timer::now().time_since_epoch() -
                                  Timer::Clock::duration(lastProcessCall.load(std::memory_order_relaxed));
        const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(sinceProcess).count() / kTimerPeriodMs;
        if (!idleLongerThanTenBlocks(static_cast<int32_t>(std::min<int64_t>(ticks, INT32_MAX))))
            return;
        inProcess.store(false, std::memory_order_relaxed);
    }
    deliverQueuedChanges(true);
}

// --- calls that change parameters ----------------------------------------------------

void MBVst2Wrapper::setParameter(int32_t index, float value)
{
    Vst2Wrapper::setParameter(index, value);
    flushParameterChanges();
}

void MBVst2Wrapper::setProgram(int32_t program)
{
    Vst2Wrapper::setProgram(program);
    flushParameterChanges();
}

bool MBVst2Wrapper::setBypass(bool state)
{
    const bool result = Vst2Wrapper::setBypass(state);
    flushParameterChanges();
    return result;
}

int32_t MBVst2Wrapper::processEvents(void* events)
{
    const int32_t result = Vst2Wrapper::processEvents(events);
    flushParameterChanges();
    return result;
}

tresult PLUGIN_API MBVst2Wrapper::performEdit(ParamID id, ParamValue valueNormalized)
{
    const tresult result = Vst2Wrapper::performEdit(id, valueNormalized);
    flushParameterChanges();
    return result;
}

// --- the channel strip ---------------------------------------------------------------------

bool MBVst2Wrapper::getProductString(char* text)
{
    IMBVst2StrivelPlugin* module = strip();
    return module && module->getModuleDescription(text);
}

intptr_t MBVst2Wrapper::vendorSpecific(int32_t code, intptr_t index, void* ptr, float value)
{
    if (IMBVst2StrivelPlugin* module = strip()) {
        if (const intptr_t answer = module->moduleVendorSpecific(code, index, ptr, value))
            return answer;
    }
    return Vst2Wrapper::vendorSpecific(code, index, ptr, value);
}
