// The AAX description of the plug-in's VST 3 effects: each step is traced
// by name, and its result does not stop the next.
#include "adapters/aax/AAX_VST3Describe.h"

#include "sdk/aax/AAX_CCollection.h"
#include "sdk/aax/AAX_CMonolithicParameters.h"
#include "pal/DebugTrace.h"

namespace {

void step(const char* text)
{
    ZVNPal::DebugTrace("%s\n", text);
}

void describeComponent(AAX_CEffectDescriptor& effect, const AAX_VST3EffectDescription& d,
                       const AAX_VST3EffectDescription::Stem& stem)
{
    AAX_CComponentDescriptor* component = effect.NewComponentDescriptor();
    if (d.sideChainInput)
        component->AddSideChainIn();
    if (d.globalMIDI.described)
        component->AddMIDINode(AAX_eMIDINodeType_Global, d.globalMIDI.name, d.globalMIDI.channelMask);
    if (d.inputMIDI.described)
        component->AddMIDINode(AAX_eMIDINodeType_LocalInput, d.inputMIDI.name, d.inputMIDI.channelMask);
    if (d.transport.described)
        component->AddMIDINode(AAX_eMIDINodeType_Transport, d.transport.name, d.transport.channelMask);

    AAX_CPropertyMap* properties = component->NewPropertyMap();
    properties->AddProperty(AAX_eProperty_ManufacturerID, d.manufacturerID);
    properties->AddProperty(AAX_eProperty_ProductID, d.productID);
    properties->AddProperty(AAX_eProperty_PlugInID_Native, stem.plugInID);
    properties->AddProperty(AAX_eProperty_InputStemFormat, stem.input);
    properties->AddProperty(AAX_eProperty_OutputStemFormat, stem.output);
    properties->AddProperty(AAX_eProperty_SupportsSideChainInput, d.sideChainInput);
    component->AddProcessProc_Native(AAX_CMonolithicParameters::StaticRenderAudio, properties);
    effect.AddComponent(component);
}

void describeEffect(AAX_CCollection& collection, const AAX_VST3EffectDescription& d)
{
    step("Adding effect description");
    AAX_CEffectDescriptor* effect = collection.NewDescriptor();
    for (const char* name : d.plugInNames) {
        step("adding plugin name");
        effect->AddName(name);
    }
    step("Adding plugin category");
    effect->AddCategory(d.category);
    for (const auto& stem : d.stems) {
        step("Instrument's static_describe");
        describeComponent(*effect, d, stem);
    }
    step("adding create params func");
    effect->AddProcPtr(d.createParameters);
    step("adding create GUI func");
    effect->AddProcPtr(d.createGUI);
    step("adding effect to collection");
    collection.AddEffect(d.effectID, effect);
    step("adding manufacturer name");
    collection.SetManufacturerName(d.manufacturerName);
    for (const char* name : d.packageNames) {
        step("Adding package name");
        collection.AddPackageName(name);
    }
    step("adding package version");
    collection.SetPackageVersion(d.packageVersion);
}

} // namespace

void AAX_DescribeVST3Effects(AAX_CCollection* collection, const std::vector<AAX_VST3EffectDescription>& effects)
{
    step("All effects described");
    if (!collection)
        return;
    for (const auto& d : effects)
        describeEffect(*collection, d);
}
