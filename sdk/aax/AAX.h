// The basic types of the AAX plug-in interface as this library uses them:
// result codes, four-character IDs, stem formats, categories, MIDI nodes and
// the context of one render call.
#pragma once

#include <cstdint>

using AAX_Result = int32_t;
using AAX_CTypeID = uint32_t;
using AAX_CParamID = const char*;
using AAX_CSampleRate = float;

enum AAX_EError : AAX_Result
{
    AAX_SUCCESS = 0,
    AAX_ERROR_INVALID_PARAMETER_ID = -20001,
    AAX_ERROR_NULL_OBJECT = -20004,
    AAX_ERROR_INVALID_CHUNK_INDEX = -20006,
    AAX_ERROR_INVALID_CHUNK_ID = -20007,
    AAX_ERROR_INCORRECT_CHUNK_SIZE = -20008,
    AAX_ERROR_UNIMPLEMENTED = -20009,
    AAX_ERROR_NOT_INITIALIZED = -20011,
};

// Four characters as one 32-bit ID, the first character in the most
// significant byte.
constexpr AAX_CTypeID AAX_FourChar(const char (&text)[5])
{
    return (static_cast<AAX_CTypeID>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<AAX_CTypeID>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<AAX_CTypeID>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<AAX_CTypeID>(static_cast<unsigned char>(text[3]));
}

// A stem format carries its channel count in the low 16 bits.
constexpr uint32_t AAX_STEM_FORMAT(uint32_t index, uint32_t channels)
{
    return (index << 16) | channels;
}

enum AAX_EStemFormat : uint32_t
{
    AAX_eStemFormat_Mono = AAX_STEM_FORMAT(0, 1),
    AAX_eStemFormat_Stereo = AAX_STEM_FORMAT(1, 2),
    AAX_eStemFormat_None = AAX_STEM_FORMAT(0xFFFF, 0),
};

constexpr int32_t AAX_STEM_FORMAT_CHANNEL_COUNT(uint32_t format)
{
    return static_cast<int32_t>(format & 0xFFFF);
}

enum AAX_EPlugInCategory : uint32_t
{
    AAX_ePlugInCategory_None = 0,
    AAX_ePlugInCategory_EQ = 1,
    AAX_ePlugInCategory_Dynamics = 2,
};

enum AAX_EMIDINodeType : int32_t
{
    AAX_eMIDINodeType_LocalInput = 0,
    AAX_eMIDINodeType_LocalOutput = 1,
    AAX_eMIDINodeType_Global = 2,
    AAX_eMIDINodeType_Transport = 3,
};

// Properties of one component (one stem configuration).
enum AAX_EProperty : int32_t
{
    AAX_eProperty_ManufacturerID,
    AAX_eProperty_ProductID,
    AAX_eProperty_PlugInID_Native,
    AAX_eProperty_InputStemFormat,
    AAX_eProperty_OutputStemFormat,
    AAX_eProperty_SupportsSideChainInput,
};

enum AAX_EViewContainer_Type : int32_t
{
    AAX_eViewContainer_Type_NULL = 0,
    AAX_eViewContainer_Type_NSView = 1,
    AAX_eViewContainer_Type_UIView = 2,
    AAX_eViewContainer_Type_HWND = 3,
    AAX_eViewContainer_Type_X11Window = 4,
};

struct AAX_Point
{
    float vert = 0.f;
    float horz = 0.f;
};

// Version of this AAX layer as ACFGetSDKVersion reports it (2.0): major in the
// upper and minor in the lower 16 bits.
constexpr uint64_t kAAX_SDK_Version = uint64_t{2} << 16;

// One MIDI message of a node's stream in a render call.
struct AAX_CMidiPacket
{
    uint32_t mTimestamp = 0;
    uint32_t mLength = 0;
    unsigned char mData[4] = {};
    bool mIsImmediate = false;
};

struct AAX_CMidiStream
{
    uint32_t mBufferSize = 0;
    AAX_CMidiPacket* mBuffer = nullptr;
};

class AAX_CMonolithicParameters;

// What the host hands one instance for one audio block. The side-chain
// index points into mAudioInputs; below 1 there is no side chain. MIDI
// streams are null for nodes the effect did not describe.
struct AAX_SInstrumentRenderInfo
{
    float* const* mAudioInputs = nullptr;
    float* const* mAudioOutputs = nullptr;
    int32_t* mNumSamples = nullptr;
    int32_t* mSideChainP = nullptr;
    AAX_CMidiStream* mInputNode = nullptr;
    AAX_CMidiStream* mGlobalNode = nullptr;
    AAX_CMonolithicParameters** mPrivateData = nullptr;
};

// One parameter value that reaches the render call with its block.
struct AAX_TParamValPair
{
    AAX_CParamID mID = nullptr;
    double mValue = 0.0;
};

// A saved chunk: the host hands a buffer of fSize bytes; GetChunk sets fSize
// to the bytes written.
struct AAX_SPlugInChunk
{
    AAX_CTypeID fChunkID = 0;
    int32_t fVersion = 0;
    uint32_t fSize = 0;
    char* fData = nullptr;
};

class AAX_CEffectParameters;
class AAX_CEffectGUI;
using AAX_CreateEffectParametersProc = AAX_CEffectParameters* (*)();
using AAX_CreateEffectGUIProc = AAX_CEffectGUI* (*)();
using AAX_CRenderProc = void (*)(AAX_SInstrumentRenderInfo* const instancesBegin[], const void* instancesEnd);
