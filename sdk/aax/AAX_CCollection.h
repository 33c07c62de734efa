// The description of every effect in a plug-in library, as the host reads it
// on registration: the effects with their identifiers, the manufacturer, the
// package names and version. Handed out reference-counted.
#pragma once

#include "sdk/aax/AAX.h"
#include "sdk/aax/AAX_CEffectDescriptor.h"
#include "sdk/aax/ACF.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class AAX_CCollection : public IACFPluginDefinition
{
public:
    AAX_CCollection();
    ~AAX_CCollection() override;
    AAX_CCollection(const AAX_CCollection&) = delete;
    AAX_CCollection& operator=(const AAX_CCollection&) = delete;

    // Describing: descriptors are owned by the collection; AddEffect makes
    // one part of the description under its identifier.
    AAX_CEffectDescriptor* NewDescriptor();
    AAX_Result AddEffect(const char* effectID, AAX_CEffectDescriptor* descriptor);
    AAX_Result SetManufacturerName(const char* name);
    AAX_Result AddPackageName(const char* name);
    AAX_Result SetPackageVersion(uint32_t version);

    // Reading.
    struct Effect
    {
        std::string identifier;
        const AAX_CEffectDescriptor* descriptor;
    };
    const std::vector<Effect>& Effects() const { return mEffects; }
    const std::string& ManufacturerName() const { return mManufacturerName; }
    const std::vector<std::string>& PackageNames() const { return mPackageNames; }
    uint32_t PackageVersion() const { return mPackageVersion; }

    // IACFPluginDefinition
    ACFRESULT QueryInterface(const acfIID& iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    const AAX_CCollection* GetCollection() const override { return this; }

private:
    std::atomic<uint32_t> mReferences{1};
    std::vector<std::unique_ptr<AAX_CEffectDescriptor>> mDescriptors;
    std::vector<Effect> mEffects;
    std::string mManufacturerName;
    std::vector<std::string> mPackageNames;
    uint32_t mPackageVersion = 0;
};
