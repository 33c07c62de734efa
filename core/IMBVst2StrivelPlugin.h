// The channel-strip module interface: what the maker's own host asks of an
// effect placed as a module in its channel strip. The VST 2 adapter reaches
// it from the effect's edit controller by a run-time type cast.
#pragma once

#include <cstdint>

class IMBVst2StrivelPlugin
{
public:
    // Puts the effect into module mode (the compact editor) for good.
    virtual void enableModuleMode() = 0;
    // The channel-strip host's vendor requests; 0 means "not handled".
    virtual intptr_t moduleVendorSpecific(int32_t code, intptr_t index, void* ptr, float value) = 0;
    // Copies the description into `text` (64 bytes, always zero-terminated).
    virtual bool getModuleDescription(char* text) = 0;

    virtual ~IMBVst2StrivelPlugin() = default;
};
