// The base of an effect instance's data model as the AAX host drives it: its
// parameters and the chunks that save them. The base saves every parameter's
// normalised value in its control chunk; subclasses may add chunks of their
// own after it.
#pragma once

#include "sdk/aax/AAX.h"
#include "sdk/aax/AAX_CParameterManager.h"
#include "sdk/aax/AAX_CString.h"
#include "sdk/aax/AAX_IController.h"

#include <string>
#include <vector>

class AAX_CEffectParameters
{
public:
    static constexpr AAX_CTypeID cControlChunkID = AAX_FourChar("elck");

    AAX_CEffectParameters();
    virtual ~AAX_CEffectParameters();
    AAX_CEffectParameters(const AAX_CEffectParameters&) = delete;
    AAX_CEffectParameters& operator=(const AAX_CEffectParameters&) = delete;

    // Keeps the host's controller and runs EffectInit once; a later call
    // changes nothing.
    AAX_Result Initialize(AAX_IController* controller);
    AAX_IController* Controller() const { return mController; }

    // --- parameters ------------------------------------------------------
    virtual AAX_Result GetNumberOfParameters(int32_t* count) const;
    virtual AAX_Result GetParameterIDFromIndex(int32_t index, AAX_CString* identifier) const;
    virtual AAX_Result GetParameterIndex(AAX_CParamID identifier, int32_t* index) const;
    virtual AAX_Result GetParameterName(AAX_CParamID identifier, AAX_CString* name) const;
    virtual AAX_Result GetParameterNameOfLength(AAX_CParamID identifier, AAX_CString* name, int32_t length) const;
    virtual AAX_Result GetParameterValueString(AAX_CParamID identifier, double value, AAX_CString* text,
                                               int32_t maxLength) const;
    virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID identifier, double* value) const;
    // The host sets a value: it is stored and then passed to
    // UpdateParameterNormalizedValue.
    virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID identifier, double value);

    // --- chunks ----------------------------------------------------------
    virtual AAX_Result GetNumberOfChunks(int32_t* count) const;
    virtual AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const;
    virtual AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const;
    // Writes at most chunk->fSize bytes into chunk->fData.
    virtual AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const;
    virtual AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk);

protected:
    virtual AAX_Result EffectInit() { return AAX_SUCCESS; }
    // Called after EffectInit, when the parameter set is complete.
    virtual void EffectInitialized() {}
    // A parameter's new value has been stored.
    virtual AAX_Result UpdateParameterNormalizedValue(AAX_CParamID identifier, double value);

    // Copies `bytes` into the host's chunk buffer, refusing a buffer too small.
    static AAX_Result WriteChunk(const std::vector<char>& bytes, AAX_SPlugInChunk* chunk);

    AAX_CParameterManager mParameterManager;

private:
    std::vector<char> ControlChunk() const;
    AAX_Result SetControlChunk(const char* data, uint32_t size);

    AAX_IController* mController = nullptr;
    bool mInitialized = false;
};
