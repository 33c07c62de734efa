// Routing of the host's 2.x dispatcher calls into AudioEffectX's operations.
#include "sdk/AudioEffectX.h"

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effIdle:
        idle();
        return 0;
    case effProcessEvents:
        return ptr ? processEvents(ptr) : 0;
    case effCanBeAutomated:
        return index >= 0 && index < numParams && canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return index >= 0 && index < numParams && string2parameter(index, text) ? 1 : 0;
    case effGetProgramNameIndexed:
        return text && getProgramNameIndexed(static_cast<int32_t>(value), index, text) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effSetSpeakerArrangement:
        return value && ptr &&
                       setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                     static_cast<VstSpeakerArrangement*>(ptr))
                   ? 1
                   : 0;
    case effGetSpeakerArrangement:
        return value && ptr &&
                       getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                             static_cast<VstSpeakerArrangement**>(ptr))
                   ? 1
                   : 0;
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
        return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return text && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effGetVstVersion:
        return kVstVersion;
    case effSetProcessPrecision:
        return setProcessPrecision(static_cast<int32_t>(value)) ? 1 : 0;
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}
