// The effect's parameter set: registration, the one path that applies a
// value everywhere, and the texts hosts show.
#include "core/ol7t.h"

#include "core/NormalizedValue.h"
#include "core/SharedParameter.h"
#include "pal/DebugTrace.h"

#include "pluginterfaces/base/ustring.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg::Vst;

namespace {

// Hosts receive 16-bit strings; our texts are converted with the SDK's ASCII
// conversion, cut to what a String128 holds.
void toString128(const char* text, String128 out)
{
    UString(out, 128).fromAscii(text ? text : "");
}

} // namespace

void ol7t::registerParameters(TextLookup lookup)
{
    textLookup = lookup;
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        const ParameterDescription& d = kParameterDescriptions[id];
        String128 title;
        toString128(lookup ? lookup(d.titleKey) : nullptr, title);
        parameters.addParameter(new SharedParameter(title, id, d.stepCount, d.defaultValue, d.flags));
    }
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        ParameterInfo info{};
        const bool found = getParameterInfo(static_cast<int32>(id), info) == kResultTrue;
        program->setParamValue(id, found ? static_cast<float>(info.defaultNormalizedValue) : 0.f);
    }
}

tresult PLUGIN_API ol7t::setParamNormalized(ParamID id, ParamValue value)
{
    if (id >= PARAM_COUNT)
        return kResultFalse;
    ZVNPal::DebugTrace("ol7t::setParamNormalized[%u] = %f\n", id, value);
    // Every road into the parameters passes here: a value that is not a
    // number leaves the parameter as it was, any other is held to 0..1.
    const std::optional<double> held = heldToNormalizedRange(value);
    if (!held)
        return kResultFalse;
    const double v = *held;
    if (EditController::setParamNormalized(id, v) != kResultTrue)
        return kResultFalse;
    program->setParamValue(id, static_cast<float>(v));

    // Every on/off and two-way choice switches strictly above one half.
    const bool on = v > 0.5;
    switch (id) {
    case PARAM_ENABLE:
        enabled = on;
        break;
    case PARAM_GAIN: {
        // The gain law is evaluated in single precision.
        const float f = static_cast<float>(v);
        // A rounding of 24^f just below 1 must not make the law's base
        // negative and its power undefined.
        gainTarget = static_cast<double>(24.f * powf(std::max((powf(24.f, f) - 1.f) / 23.f, 0.f), 1.35f));
        break;
    }
    case PARAM_PEAKRED: {
        const double db = (1.03 * v - 0.03) * -49.0;
        const double base = std::pow(2.0, 1.0 - v) + 1.2;
        peakRed = v;
        thresholdDb = db;
        thresholdLin = std::pow(10.0, db / 20.0);
        kneeDb = db + 47.0;
        kneeBase = base;
        logKneeBase = std::log10(base);
        designFilters();
        break;
    }
    case PARAM_LIMITMODE:
        limitMode = on;
        break;
    case PARAM_R37:
        r37Cut = 1.0 - v;
        designFilters();
        break;
    case PARAM_METERSEL:
        // Truncated toward zero; v lies in 0..1, so the mode lies in 0..3.
        meterMode = static_cast<int32_t>(static_cast<float>(v) * 3.f);
        break;
    case PARAM_MEMORY:
        fastReset = on;
        break;
    case PARAM_SIDECH:
        sideChainOn = on;
        break;
    }
    // This may be the audio thread: the editor's controls follow on the
    // editor's own tick, from the mark and the stored value.
    changedParameters.mark(id);
    return kResultOk;
}

ParamValue PLUGIN_API ol7t::getParamNormalized(ParamID id)
{
    // Every registered parameter is shared: its value is read atomically.
    auto* parameter = static_cast<SharedParameter*>(getParameterObject(id));
    return parameter ? parameter->normalized() : 0.0;
}

void ol7t::applyParameter(uint32_t id, float value)
{
    if (id >= PARAM_COUNT)
        return;
    // setParamNormalized also marks the change for an attached editor.
    static_cast<IEditController*>(this)->setParamNormalized(id, static_cast<double>(value));
}

void ol7t::editParameter(uint32_t id, float value)
{
    // The host hears the value the effect took, or nothing.
    const std::optional<double> held = heldToNormalizedRange(value);
    if (!held)
        return;
    applyParameter(id, static_cast<float>(*held));
    performEdit(id, *held);
}

void ol7t::applyProgram()
{
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        applyParameter(id, getParamValue(id));
}

tresult PLUGIN_API ol7t::getParamStringByValue(ParamID id, ParamValue v, String128 string)
{
    if (id >= PARAM_COUNT)
        return kResultFalse;
    auto text = [this](const char* key) { return textLookup ? textLookup(key) : nullptr; };
    switch (id) {
    case PARAM_LIMITMODE:
        toString128(v > 0.5 ? "Limit" : "Compress", string);
        return kResultOk;
    case PARAM_METERSEL: {
        const char* key = nullptr;
        if (v == 0.0)
            key = "IDS_METERSEL_GAINRED";
        else if (v < 0.5)
            key = "IDS_METERSEL_DBFULLSCALE";
        else if (v < 1.0)
            key = "IDS_METERSEL_OUTPUT4DB";
        else if (v == 1.0)
            key = "IDS_METERSEL_OUTPUT10DB";
        // Above 1 or not a number: no text at all.
        toString128(key ? text(key) : "", string);
        return kResultOk;
    }
    case PARAM_MEMORY:
        toString128(text(v > 0.5 ? "IDS_MEMORY_FASTRESET" : "IDS_MEMORY_CLASSIC"), string);
        return kResultOk;
    default:
        return EditController::getParamStringByValue(id, v, string);
    }
}
