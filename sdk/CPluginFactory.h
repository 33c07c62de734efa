// A plug-in factory that hands out registered classes by class ID and
// describes them to hosts in all three record versions. The SDK subset lacks
// this class; this is ours, under the SDK's name.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
    using CreateFunction = FUnknown* (*)(void* context);

    explicit CPluginFactory(const PFactoryInfo& info);
    virtual ~CPluginFactory();

    bool registerClass(const PClassInfo2* info, CreateFunction createFunc, void* context = nullptr);
    bool isClassRegistered(const FUID& cid) const;

    // IPluginFactory
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
    // IPluginFactory2
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
    // IPluginFactory3
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    struct Entry
    {
        PClassInfo2 info;
        CreateFunction create;
        void* context;
    };
    const Entry* find(int32 index) const;

    PFactoryInfo factoryInfo;
    std::vector<Entry> classes;
};

// The process's one factory while it exists; the factory forgets itself here
// when it is destroyed.
extern IPluginFactory* gPluginFactory;

} // namespace Steinberg
