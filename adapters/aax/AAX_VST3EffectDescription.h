// What a plug-in tells the AAX adapter about one of its VST 3 effects: the
// names, IDs and category the host shows, the stem configurations, side
// chain and MIDI nodes, the functions that create the AAX objects, and where
// the VST 3 class comes from.
#pragma once

#include "sdk/aax/AAX.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

struct AAX_VST3EffectDescription
{
    struct Stem
    {
        AAX_EStemFormat input;
        AAX_EStemFormat output;
        AAX_CTypeID plugInID;
    };
    struct MIDINode
    {
        bool described;
        const char* name;
        uint32_t channelMask;
    };

    const char* manufacturerName = "";
    // Longest first: the host picks the longest that fits.
    std::vector<const char*> plugInNames;
    std::vector<const char*> packageNames;
    const char* effectID = "";
    AAX_CTypeID manufacturerID = 0;
    AAX_CTypeID productID = 0;
    uint32_t category = AAX_ePlugInCategory_None;
    uint32_t packageVersion = 0;
    std::vector<Stem> stems;
    bool sideChainInput = false;
    MIDINode globalMIDI{false, "", 0};
    MIDINode inputMIDI{false, "", 0};
    MIDINode transport{false, "", 0};
    AAX_CreateEffectParametersProc createParameters = nullptr;
    AAX_CreateEffectGUIProc createGUI = nullptr;

    // The VST 3 side: the library's factory and the effect's class in it.
    Steinberg::IPluginFactory* (*getFactory)() = nullptr;
    Steinberg::TUID classID = {};
};
