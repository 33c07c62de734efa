// One processing configuration of an effect as it is described to the host:
// its side-chain input, MIDI nodes, properties and render procedure.
#pragma once

#include "sdk/aax/AAX.h"
#include "sdk/aax/AAX_CPropertyMap.h"

#include <memory>
#include <string>
#include <vector>

class AAX_CComponentDescriptor
{
public:
    struct MIDINode
    {
        AAX_EMIDINodeType type;
        std::string name;
        uint32_t channelMask;
    };

    AAX_Result AddSideChainIn();
    AAX_Result AddMIDINode(AAX_EMIDINodeType type, const char* name, uint32_t channelMask);
    // The map is owned by this descriptor.
    AAX_CPropertyMap* NewPropertyMap();
    AAX_Result AddProcessProc_Native(AAX_CRenderProc proc, AAX_CPropertyMap* properties);

    bool HasSideChainIn() const { return mSideChainIn; }
    const std::vector<MIDINode>& MIDINodes() const { return mMIDINodes; }
    AAX_CRenderProc ProcessProc() const { return mProcessProc; }
    // Null until a render procedure was added with its properties.
    const AAX_CPropertyMap* Properties() const { return mProperties; }

private:
    bool mSideChainIn = false;
    std::vector<MIDINode> mMIDINodes;
    std::vector<std::unique_ptr<AAX_CPropertyMap>> mPropertyMaps;
    AAX_CRenderProc mProcessProc = nullptr;
    const AAX_CPropertyMap* mProperties = nullptr;
};
