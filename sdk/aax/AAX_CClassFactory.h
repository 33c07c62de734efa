// The library's class factory: makes plug-in definitions by running the
// library's description function into a new collection.
#pragma once

#include "sdk/aax/ACF.h"

class AAX_CCollection;

class AAX_CClassFactory : public IACFClassFactory
{
public:
    using DescribeProc = void (*)(AAX_CCollection* collection);

    explicit AAX_CClassFactory(DescribeProc describe)
        : mDescribe(describe)
    {
    }
    virtual ~AAX_CClassFactory() = default;

    // A new, described collection with one reference for the caller.
    ACFRESULT CreateInstance(IACFUnknown* outer, const acfIID& iid, void** object) override;

    // The factory lives as long as the library; references only keep the
    // library loaded.
    ACFRESULT QueryInterface(const acfIID& iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

private:
    DescribeProc mDescribe;
};
