// One effect object driven for the LV2 and CLAP adapters.
#include "adapters/hosted/HostedEffect.h"

#include "core/ol7t.h"
#include "pal/Utf8ToUtf16.h"

#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The effect's work buffers hold this many samples from its construction on;
// longer host blocks are cut into pieces of this size so that processing
// never has to grow them on the audio thread.
constexpr int32_t kLongestPiece = 4096;

void releaseInterface(FUnknown* object)
{
    if (object)
        object->release();
}

} // namespace

std::unique_ptr<HostedEffect> HostedEffect::create()
{
    std::unique_ptr<HostedEffect> hosted(new (std::nothrow) HostedEffect);
    FUnknown* object = hosted ? ol7t::createInstance(nullptr) : nullptr;
    if (!object)
        return nullptr;
    void* obj = nullptr;
    if (object->queryInterface(IComponent::iid, &obj) == kResultOk)
        hosted->component = static_cast<IComponent*>(obj);
    if (object->queryInterface(IAudioProcessor::iid, &obj) == kResultOk)
        hosted->processor = static_cast<IAudioProcessor*>(obj);
    if (object->queryInterface(IEditController::iid, &obj) == kResultOk)
        hosted->controller = static_cast<IEditController*>(obj);
    hosted->effect = dynamic_cast<ol7t*>(hosted->processor);
    object->release();
    if (!hosted->component || !hosted->processor || !hosted->controller || !hosted->effect
        || hosted->component->initialize(nullptr) != kResultOk) {
        return nullptr;
    }
    // The main bus and the side chain both take part.
    for (BusDirection dir : {kInput, kOutput}) {
        for (int32 i = 0; i < hosted->component->getBusCount(kAudio, dir); ++i)
            hosted->component->activateBus(kAudio, dir, i, true);
    }
    hosted->controller->setComponentHandler(hosted.get());
    const int32 count = hosted->controller->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        hosted->controller->getParameterInfo(i, info);
        hosted->stepCounts.push_back(info.stepCount);
    }
    hosted->changes.setCapacity(count);
    return hosted;
}

HostedEffect::~HostedEffect()
{
    deactivate();
    if (controller)
        controller->setComponentHandler(nullptr);
    if (component)
        component->terminate();
    releaseInterface(controller);
    releaseInterface(processor);
    releaseInterface(component);
}

void HostedEffect::setEditCallback(EditCallback callback, void* context)
{
    editCallback = callback;
    editContext = context;
}

// --- parameters ------------------------------------------------------------------

int32_t HostedEffect::parameterCount() const
{
    return static_cast<int32_t>(stepCounts.size());
}

bool HostedEffect::parameterInfo(int32_t index, ParameterInfo& info) const
{
    return controller->getParameterInfo(index, info) == kResultOk;
}

int32_t HostedEffect::stepCount(ParamID id) const
{
    return id < stepCounts.size() ? stepCounts[id] : 0;
}

double HostedEffect::toPlain(ParamID id, double normalized) const
{
    const int32_t steps = stepCount(id);
    return steps > 0 ? std::round(normalized * steps) : normalized;
}

double HostedEffect::toNormalized(ParamID id, double plain) const
{
    // Hosts are asked to keep within the range; NaN and strays are held to it.
    const int32_t steps = stepCount(id);
    const double top = steps > 0 ? steps : 1.0;
    const double held = std::isnan(plain) ? 0.0 : std::clamp(plain, 0.0, top);
    return steps > 0 ? std::round(held) / steps : held;
}

bool HostedEffect::valueText(ParamID id, double plain, std::string& text) const
{
    String128 display{};
    if (id >= stepCounts.size() || controller->getParamStringByValue(id, toNormalized(id, plain), display) != kResultOk)
        return false;
    text = ZVNPal::Utf16ToUtf8(display);
    return true;
}

bool HostedEffect::valueFromText(ParamID id, const char* text, double& plain) const
{
    if (id >= stepCounts.size() || !text)
        return false;
    // The effect's own names first (list entries, on and off), then numbers.
    for (int32_t step = 0; step <= stepCount(id) && stepCount(id) > 0; ++step) {
        std::string name;
        if (valueText(id, step, name) && name == text) {
            plain = step;
            return true;
        }
    }
    String128 utf16{};
    const int units = ZVNPal::Utf8ToUtf16(text, static_cast<int>(std::char_traits<char>::length(text)),
                                          reinterpret_cast<char16_t*>(utf16), 127);
    utf16[std::clamp(units, 0, 127)] = 0;
    ParamValue normalized = 0;
    if (controller->getParamValueByString(id, utf16, normalized) != kResultOk)
        return false;
    plain = toPlain(id, normalized);
    return true;
}

void HostedEffect::setPlainValue(ParamID id, double plain)
{
    if (id < stepCounts.size())
        controller->setParamNormalized(id, toNormalized(id, plain));
}

void HostedEffect::queuePlainValue(ParamID id, double plain)
{
    if (id < stepCounts.size())
        changes.add(id, toNormalized(id, plain));
}

// --- processing ---------------------------------------------------------------------

bool HostedEffect::activate(double sampleRate)
{
    deactivate();
    ProcessSetup setup{kRealtime, kSample32, kLongestPiece, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk || component->setActive(true) != kResultOk)
        return false;
    processor->setProcessing(true);
    active = true;
    return true;
}

void HostedEffect::deactivate()
{
    if (!active)
        return;
    processor->setProcessing(false);
    component->setActive(false);
    active = false;
}

void HostedEffect::process(const float* const* main, int32_t mainChannels, const float* const* sideChain,
                           int32_t sideChainChannels, float* const* out, int32_t outChannels, int32_t frames)
{
    float* in[2] = {};
    float* side[2] = {};
    float* output[2] = {};
    AudioBusBuffers inputs[2]{};
    AudioBusBuffers outputs[1]{};
    inputs[0].numChannels = std::clamp(mainChannels, 0, 2);
    inputs[0].channelBuffers32 = in;
    inputs[1].numChannels = sideChain ? std::clamp(sideChainChannels, 0, 2) : 0;
    inputs[1].channelBuffers32 = side;
    outputs[0].numChannels = std::clamp(outChannels, 0, 2);
    outputs[0].channelBuffers32 = output;

    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numInputs = 2;
    data.numOutputs = 1;
    data.inputs = inputs;
    data.outputs = outputs;
    // Queued changes take effect with the first piece.
    data.inputParameterChanges = &changes;

    // A block without samples still delivers the queued changes.
    int32_t done = 0;
    do {
        const int32_t n = std::clamp(frames - done, 0, kLongestPiece);
        auto place = [done](const float* const* from, float** to, int32_t count) {
            for (int32_t c = 0; c < count; ++c)
                to[c] = from && from[c] ? const_cast<float*>(from[c]) + done : nullptr;
        };
        place(main, in, inputs[0].numChannels);
        place(sideChain, side, inputs[1].numChannels);
        place(out, output, outputs[0].numChannels);
        data.numSamples = n;
        processor->process(data);
        changes.clear();
        done += n;
    } while (done < frames);
}

float HostedEffect::meterPosition() const
{
    float position = 0.f;
    effect->getMeterPosition(position, ol7t::kMeterRegionId, true);
    return position;
}

float HostedEffect::gainReductionDb() const
{
    const float minGain = effect->meterMinGain;
    return minGain > 0.f ? std::clamp(20.f * std::log10(minGain), kGainReductionFloorDb, 0.f) : kGainReductionFloorDb;
}

void HostedEffect::showMeterReadings(float position, float gainReductionDb)
{
    effect->showMeterReadings(position, std::pow(10.f, std::min(gainReductionDb, 0.f) / 20.f));
}

// --- state ----------------------------------------------------------------------------

std::vector<uint8_t> HostedEffect::saveState() const
{
    MemoryStream stream;
    if (component->getState(&stream) != kResultOk)
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(stream.getData());
    return std::vector<uint8_t>(bytes, bytes + stream.getSize());
}

bool HostedEffect::loadState(const void* data, size_t size)
{
    if (!data || size > static_cast<size_t>(INT32_MAX))
        return false;
    MemoryStream stream(const_cast<void*>(data), static_cast<TSize>(size));
    return component->setState(&stream) == kResultOk;
}

// --- editor ------------------------------------------------------------------------------

IPlugView* HostedEffect::createView() const
{
    return controller->createView(ViewType::kEditor);
}

tresult PLUGIN_API HostedEffect::performEdit(ParamID id, ParamValue value)
{
    if (editCallback)
        editCallback(editContext, id, value);
    return kResultOk;
}

tresult PLUGIN_API HostedEffect::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IComponentHandler)
    QUERY_INTERFACE(iid, obj, IComponentHandler::iid, IComponentHandler)
    *obj = nullptr;
    return kNoInterface;
}
