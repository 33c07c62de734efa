// The plug-in's AAX description: names, IDs, stems and side chain of the
// OL-7T effect, whose VST 3 class comes from the library's own factory.
#include "adapters/aax/ol7tAAXDescription.h"

#include "adapters/aax/AAX_CVST3Parameters.h"
#include "adapters/aax/AAX_CVST3Wrapped_GUI.h"
#include "adapters/aax/AAX_VST3Describe.h"
#include "core/EffectClassId.h"
#include "pal/DebugTrace.h"

#include "pluginterfaces/base/funknown.h"

#include <new>

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

namespace {

AAX_CEffectParameters* createParameters()
{
    return new (std::nothrow) AAX_CVST3Parameters(ol7tAAXDescription());
}

AAX_VST3EffectDescription makeDescription()
{
    AAX_VST3EffectDescription d;
    d.manufacturerName = "Marrowby";
    d.plugInNames = {"OL-7T", "OL7T", "O7"};
    d.packageNames = d.plugInNames;
    d.effectID = "com.marrowby.ol7t";
    d.manufacturerID = AAX_FourChar("MRWB");
    d.productID = AAX_FourChar("OL7T");
    d.category = AAX_ePlugInCategory_Dynamics;
    d.packageVersion = 2;
    d.stems = {{AAX_eStemFormat_Mono, AAX_eStemFormat_Mono, AAX_FourChar("OL7M")},
               {AAX_eStemFormat_Stereo, AAX_eStemFormat_Stereo, AAX_FourChar("OL7S")}};
    d.sideChainInput = true;
    // The two MIDI nodes keep their names but are not described.
    d.globalMIDI = {false, "GlobalMIDI", 0xFFFF};
    d.inputMIDI = {false, "InputMIDI", 0xFFFF};
    d.transport = {true, "Transport", 0};
    d.createParameters = createParameters;
    d.createGUI = AAX_CVST3Wrapped_GUI::Create;
    d.getFactory = GetPluginFactory;
    kEffectClassId.toTUID(d.classID);
    return d;
}

} // namespace

const AAX_VST3EffectDescription& ol7tAAXDescription()
{
    static const AAX_VST3EffectDescription description = makeDescription();
    return description;
}

void GetEffectDescriptions(AAX_CCollection* collection)
{
    // Built afresh for each registration, so describing twice never lists
    // the effect twice.
    ZVNPal::DebugTrace("Calling CreateEffects\n");
    const std::vector<AAX_VST3EffectDescription> effects{ol7tAAXDescription()};
    AAX_DescribeVST3Effects(collection, effects);
}
