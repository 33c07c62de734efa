// The base of an effect instance: parameter calls and the control chunk,
// which holds, per parameter, its identifier's length (32-bit), the
// identifier and its normalised value (64-bit float), all little-endian.
#include "sdk/aax/AAX_CEffectParameters.h"

#include "sdk/aax/ACFModule.h"

#include <cstring>
#include <utility>

namespace {

void putBytes(std::vector<char>& out, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    out.insert(out.end(), p, p + size);
}

// Reads `size` bytes at `offset`, advancing it; false when they are not there.
bool takeBytes(const char* data, uint32_t total, uint32_t& offset, void* out, uint32_t size)
{
    if (size > total - offset)
        return false;
    std::memcpy(out, data + offset, size);
    offset += size;
    return true;
}

} // namespace

AAX_CEffectParameters::AAX_CEffectParameters()
{
    ACFModule::Lock();
}

AAX_CEffectParameters::~AAX_CEffectParameters()
{
    ACFModule::Unlock();
}

AAX_Result AAX_CEffectParameters::Initialize(AAX_IController* controller)
{
    if (!controller)
        return AAX_ERROR_NULL_OBJECT;
    if (mInitialized)
        return AAX_SUCCESS;
    mController = controller;
    mInitialized = true;
    const AAX_Result result = EffectInit();
    EffectInitialized();
    return result;
}

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* count) const
{
    if (!count)
        return AAX_ERROR_NULL_OBJECT;
    *count = mParameterManager.NumParameters();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t index, AAX_CString* identifier) const
{
    if (!identifier)
        return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameter(index);
    if (!parameter)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    identifier->Set(parameter->Identifier());
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID identifier, int32_t* index) const
{
    if (!index)
        return AAX_ERROR_NULL_OBJECT;
    *index = mParameterManager.GetParameterIndex(identifier);
    return *index < 0 ? AAX_ERROR_INVALID_PARAMETER_ID : AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID identifier, AAX_CString* name) const
{
    if (!name)
        return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(identifier);
    if (!parameter)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    *name = parameter->Name();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID identifier, AAX_CString* name,
                                                           int32_t length) const
{
    const AAX_Result result = GetParameterName(identifier, name);
    if (result == AAX_SUCCESS)
        name->Truncate(length);
    return result;
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID identifier, double value, AAX_CString* text,
                                                          int32_t maxLength) const
{
    if (!text)
        return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(identifier);
    if (!parameter)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->GetNormalizedValueString(value, maxLength, text);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID identifier, double* value) const
{
    if (!value)
        return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(identifier);
    if (!parameter)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    *value = parameter->GetNormalizedValue();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID identifier, double value)
{
    AAX_IParameter* parameter = mParameterManager.GetParameterByID(identifier);
    if (!parameter)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->SetNormalizedValue(value);
    return UpdateParameterNormalizedValue(parameter->Identifier(), parameter->GetNormalizedValue());
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(AAX_CParamID, double)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* count) const
{
    if (!count)
        return AAX_ERROR_NULL_OBJECT;
    *count = 1;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const
{
    if (!chunkID)
        return AAX_ERROR_NULL_OBJECT;
    if (index != 0)
        return AAX_ERROR_INVALID_CHUNK_INDEX;
    *chunkID = cControlChunkID;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const
{
    if (!size)
        return AAX_ERROR_NULL_OBJECT;
    if (chunkID != cControlChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    *size = static_cast<uint32_t>(ControlChunk().size());
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const
{
    if (!chunk)
        return AAX_ERROR_NULL_OBJECT;
    if (chunkID != cControlChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    return WriteChunk(ControlChunk(), chunk);
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk)
{
    if (!chunk || (chunk->fSize > 0 && !chunk->fData))
        return AAX_ERROR_NULL_OBJECT;
    if (chunkID != cControlChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    return SetControlChunk(chunk->fData, chunk->fSize);
}

AAX_Result AAX_CEffectParameters::WriteChunk(const std::vector<char>& bytes, AAX_SPlugInChunk* chunk)
{
    if (bytes.size() > chunk->fSize)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;
    if (!bytes.empty()) {
        if (!chunk->fData)
            return AAX_ERROR_NULL_OBJECT;
        std::memcpy(chunk->fData, bytes.data(), bytes.size());
    }
    chunk->fSize = static_cast<uint32_t>(bytes.size());
    return AAX_SUCCESS;
}

std::vector<char> AAX_CEffectParameters::ControlChunk() const
{
    std::vector<char> out;
    for (int32_t i = 0; i < mParameterManager.NumParameters(); ++i) {
        const AAX_IParameter* parameter = mParameterManager.GetParameter(i);
        const uint32_t length = static_cast<uint32_t>(std::strlen(parameter->Identifier()));
        const double value = parameter->GetNormalizedValue();
        putBytes(out, &length, sizeof length);
        putBytes(out, parameter->Identifier(), length);
        putBytes(out, &value, sizeof value);
    }
    return out;
}

AAX_Result AAX_CEffectParameters::SetControlChunk(const char* data, uint32_t size)
{
    // Read whole before anything is applied: a cut chunk changes nothing.
    std::vector<std::pair<std::string, double>> values;
    uint32_t offset = 0;
    while (offset < size) {
        uint32_t length = 0;
        double value = 0;
        if (!takeBytes(data, size, offset, &length, sizeof length) || length > size - offset)
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;
        std::string identifier(data + offset, length);
        offset += length;
        if (!takeBytes(data, size, offset, &value, sizeof value))
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;
        values.emplace_back(std::move(identifier), value);
    }
    // Identifiers this instance does not have are skipped.
    for (const auto& [identifier, value] : values)
        SetParameterNormalizedValue(identifier.c_str(), value);
    return AAX_SUCCESS;
}
