// ol7t-lv2-description: writes the LV2 bundle's manifest.ttl, OL-7T.ttl and
// presets.ttl from the built library itself. It loads the library as a VST 3
// host does and reads every parameter's name, range, default and value texts
// from the effect, so the LV2 description always says what the VST 3 class
// says; the factory presets come from the same table as the VST 3 preset files.
//
// Usage: ol7t-lv2-description <library> <bundle folder>
#include "adapters/hosted/HostedEffect.h"
#include "adapters/lv2/Lv2Ports.h"
#include "pal/Utf8ToUtf16.h"
#include "resources/presets/FactoryPresets.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <dlfcn.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace Steinberg;
using namespace lv2ports;

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string valueText(Vst::IEditController& controller, Vst::ParamID id, double normalized)
{
    Vst::String128 text{};
    controller.getParamStringByValue(id, normalized, text);
    return ZVNPal::Utf16ToUtf8(text);
}

void writePrefixes(std::ostream& out)
{
    out << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
           "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
           "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
           "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
           "@prefix rdf:  <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
           "@prefix ui:   <http://lv2plug.in/ns/extensions/ui#> .\n"
           "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";
}

void writeAudioPort(std::ostream& out, uint32_t index, bool input, const char* symbol, const char* name,
                    bool sideChain)
{
    out << "    [\n        a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
        << "        lv2:index " << index << " ;\n        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name " << quoted(name) << " ;\n";
    if (sideChain)
        out << "        lv2:portProperty lv2:isSideChain ;\n";
    out << "    ] ,\n";
}

// One control input: continuous parameters keep the normalized range; on/off
// parameters become toggles, lists enumerations of their value texts, both
// counted in whole steps.
void writeParameterPort(std::ostream& out, Vst::IEditController& controller, int32 index)
{
    Vst::ParameterInfo info{};
    controller.getParameterInfo(index, info);
    const int32 steps = info.stepCount;
    const bool toggle = steps == 1 && valueText(controller, info.id, 0) == "Off" && valueText(controller, info.id, 1) == "On";
    out << "    [\n        a lv2:ControlPort , lv2:InputPort ;\n"
        << "        lv2:index " << kFirstParameter + info.id << " ;\n"
        << "        lv2:symbol \"" << kParameterSymbols[info.id] << "\" ;\n"
        << "        lv2:name " << quoted(ZVNPal::Utf16ToUtf8(info.title)) << " ;\n"
        << "        lv2:default " << (steps > 0 ? info.defaultNormalizedValue * steps : info.defaultNormalizedValue)
        << " ;\n        lv2:minimum 0 ;\n        lv2:maximum " << (steps > 0 ? steps : 1) << " ;\n";
    if (toggle) {
        out << "        lv2:portProperty lv2:integer , lv2:toggled ;\n";
    } else if (steps > 0) {
        out << "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
        for (int32 k = 0; k <= steps; ++k)
            out << "        lv2:scalePoint [ rdfs:label "
                << quoted(valueText(controller, info.id, static_cast<double>(k) / steps)) << " ; rdf:value " << k
                << " ] ;\n";
    }
    out << "    ] ,\n";
}

void writeMeterPorts(std::ostream& out)
{
    out << "    [\n        a lv2:ControlPort , lv2:OutputPort ;\n"
        << "        lv2:index " << kMeterPosition << " ;\n        lv2:symbol \"meter_position\" ;\n"
        << "        lv2:name \"Meter Position\" ;\n        lv2:minimum 0 ;\n        lv2:maximum 1 ;\n    ] , [\n"
        << "        a lv2:ControlPort , lv2:OutputPort ;\n"
        << "        lv2:index " << kGainReduction << " ;\n        lv2:symbol \"gain_reduction\" ;\n"
        << "        lv2:name \"Gain Reduction\" ;\n        lv2:minimum " << HostedEffect::kGainReductionFloorDb
        << " ;\n        lv2:maximum 0 ;\n        rdfs:comment \"dB\" ;\n    ] .\n\n";
}

bool writeDescription(Vst::IEditController& controller, const PFactoryInfo& vendor, const PClassInfo& effect,
                      const std::string& folder)
{
    std::ofstream out(folder + "/OL-7T.ttl");
    writePrefixes(out);
    // The product's version 2.0 as LV2 counts it (an even minor version is a release).
    out << "<" << kPluginUri << ">\n    a lv2:Plugin , lv2:CompressorPlugin , lv2:LimiterPlugin ;\n"
        << "    doap:name " << quoted(effect.name) << " ;\n"
        << "    doap:maintainer [ foaf:name " << quoted(vendor.vendor) << " ; foaf:homepage <" << vendor.url
        << "> ] ;\n    lv2:minorVersion 2 ;\n    lv2:microVersion 0 ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
        << "    lv2:extensionData state:interface ;\n    ui:ui <" << kUiUri << "> ;\n    lv2:port\n";
    writeAudioPort(out, kInputLeft, true, "in_l", "Input Left", false);
    writeAudioPort(out, kInputRight, true, "in_r", "Input Right", false);
    writeAudioPort(out, kSideChainLeft, true, "side_chain_l", "Side Chain Left", true);
    writeAudioPort(out, kSideChainRight, true, "side_chain_r", "Side Chain Right", true);
    writeAudioPort(out, kOutputLeft, false, "out_l", "Output Left", false);
    writeAudioPort(out, kOutputRight, false, "out_r", "Output Right", false);
    for (int32 i = 0; i < controller.getParameterCount(); ++i)
        writeParameterPort(out, controller, i);
    writeMeterPorts(out);
    out << "<" << kUiUri << ">\n    a ui:X11UI ;\n    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:resize ;\n"
        << "    lv2:extensionData ui:idleInterface , ui:resize .\n";
    return static_cast<bool>(out);
}

// "Vocal Leveling" becomes <...#preset-vocal-leveling>.
std::string presetUri(const FactoryPreset& preset)
{
    std::string slug;
    for (const char* c = preset.name; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)))
            slug += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    return std::string(kPluginUri) + "#preset-" + slug;
}

// A decimal, never an integer: hosts read preset values as floats only when
// Turtle gives them as decimals.
std::string decimal(double value)
{
    std::ostringstream text;
    text << value;
    const std::string digits = text.str();
    return digits.find_first_of(".e") == std::string::npos ? digits + ".0" : digits;
}

// Each preset as the control ports' values, in the ports' own units: whole
// steps for switches and lists, the normalized value for the knobs.
bool writePresets(Vst::IEditController& controller, const std::string& folder)
{
    std::ofstream out(folder + "/presets.ttl");
    writePrefixes(out);
    for (const FactoryPreset& preset : factoryPresets()) {
        out << "<" << presetUri(preset) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:label " << quoted(preset.name) << " ;\n    rdfs:comment " << quoted(preset.purpose)
            << " ;\n    lv2:port";
        for (int32 i = 0; i < controller.getParameterCount(); ++i) {
            Vst::ParameterInfo info{};
            controller.getParameterInfo(i, info);
            const double value = preset.values[info.id];
            out << (i ? " , [\n" : " [\n") << "        lv2:symbol \"" << kParameterSymbols[info.id]
                << "\" ;\n        pset:value "
                << decimal(info.stepCount > 0 ? std::round(value * info.stepCount) : value) << "\n    ]";
        }
        out << " .\n\n";
    }
    return static_cast<bool>(out);
}

bool writeManifest(const std::string& folder)
{
    std::ofstream out(folder + "/manifest.ttl");
    writePrefixes(out);
    out << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << kBinaryName << "> ;\n"
        << "    rdfs:seeAlso <OL-7T.ttl> .\n\n"
        << "<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << kBinaryName << "> ;\n"
        << "    rdfs:seeAlso <OL-7T.ttl> .\n";
    for (const FactoryPreset& preset : factoryPresets())
        out << "\n<" << presetUri(preset) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
            << "> ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <library> <bundle folder>\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    auto getFactory = library ? reinterpret_cast<IPluginFactory* (*)()>(dlsym(library, "GetPluginFactory")) : nullptr;
    IPluginFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory) {
        std::fprintf(stderr, "%s: cannot load %s\n", argv[0], argv[1]);
        return 1;
    }
    PFactoryInfo vendor;
    PClassInfo effect;
    void* object = nullptr;
    factory->getFactoryInfo(&vendor);
    if (factory->getClassInfo(0, &effect) == kResultOk)
        factory->createInstance(effect.cid, Vst::IComponent::iid, &object);
    factory->release();
    auto* component = static_cast<Vst::IComponent*>(object);
    Vst::HostApplication context;
    Vst::IEditController* controller = nullptr;
    if (!component || component->initialize(&context) != kResultOk
        || component->queryInterface(Vst::IEditController::iid, reinterpret_cast<void**>(&controller)) != kResultOk) {
        std::fprintf(stderr, "%s: the effect does not start (are its Resources in place?)\n", argv[0]);
        return 1;
    }
    const bool written = writeDescription(*controller, vendor, effect, argv[2]) && writePresets(*controller, argv[2])
                         && writeManifest(argv[2]);
    controller->release();
    component->terminate();
    component->release();
    if (!written) {
        std::fprintf(stderr, "%s: cannot write into %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
