// The VST 2 binary interface as hosts speak it: the records come from the
// Debian clean-room header, the opcodes and codes get their conventional names
// here, together with the few records that header leaves out.
#pragma once

#include <cstddef>
#include <cstdint>

using std::size_t; // the header's template expects it unqualified

#ifndef __cdecl
#define __cdecl
#endif
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmultichar"
#include <xaymar-vst2/vst.h>
#pragma GCC diagnostic pop

using AEffect = vst_effect;
using ERect = vst_rect;
using VstSpeakerArrangement = vst_speaker_arrangement;
using VstSpeakerProperties = vst_speaker_properties;

// The host callback. Its last argument is a float (the header's typedef has an
// integer there, which would pass it in the wrong register on x86-64).
using audioMasterCallback = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                         float opt);

constexpr int32_t kEffectMagic = 0x56737450; // "VstP"
constexpr int32_t kVstVersion = 2400;

// Dispatcher opcodes (host to effect).
enum Vst2EffectOpcode : int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdle = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effGetVstVersion = 58,
    effGetSpeakerArrangement = 69,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetProcessPrecision = 77,
};

// Callback opcodes (effect to host).
enum Vst2HostOpcode : int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterIdle = 3,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterVendorSpecific = 35,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// AEffect flags.
enum Vst2EffectFlags : int32_t {
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsCanDoubleReplacing = 1 << 12,
};

enum Vst2PlugCategory : int32_t { kPlugCategEffect = 1, kPlugCategSynth = 2 };
enum Vst2ProcessPrecision : int32_t { kVstProcessPrecision32 = 0, kVstProcessPrecision64 = 1 };
enum Vst2SpeakerArrangementType : int32_t { kSpeakerArrUserDefined = -2, kSpeakerArrMono = 0, kSpeakerArrStereo = 1 };
enum Vst2SpeakerType : int32_t { kSpeakerM = 0, kSpeakerL = 1, kSpeakerR = 2 };

// Text sizes: a parameter's label keeps the historic 8 bytes; names and value
// texts use the larger buffers every current host provides.
constexpr int32_t kVstMaxParamStrLen = 8;
constexpr int32_t kVstParamTextLen = 32;
constexpr int32_t kVstMaxProgNameLen = 24;
constexpr int32_t kVstMaxEffectNameLen = 32;
constexpr int32_t kVstMaxVendorStrLen = 64;
constexpr int32_t kVstMaxProductStrLen = 64;
