// The plug-in factory: class records in their three versions and creation.
#include "sdk/CPluginFactory.h"

#include "pluginterfaces/base/ustring.h"

#include <cstring>

namespace Steinberg {

IPluginFactory* gPluginFactory = nullptr;

namespace {

// The records are fixed-size C strings; copies are always terminated.
template <size_t N>
void copyString(char8 (&to)[N], const char8* from)
{
    const size_t n = strnlen(from, N - 1);
    std::memcpy(to, from, n);
    to[n] = 0;
}

template <size_t N>
void copyWide(char16 (&to)[N], const char8* from)
{
    UString(to, N).fromAscii(from);
}

} // namespace

// The factory answers as every interface version it implements.
tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
    QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
    QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
    QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
    *obj = nullptr;
    return kNoInterface;
}

IMPLEMENT_REFCOUNT(CPluginFactory)

CPluginFactory::CPluginFactory(const PFactoryInfo& info)
    : factoryInfo(info)
{
    FUNKNOWN_CTOR
}

CPluginFactory::~CPluginFactory()
{
    if (gPluginFactory == this)
        gPluginFactory = nullptr;
    FUNKNOWN_DTOR
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction createFunc, void* context)
{
    if (!info || !createFunc)
        return false;
    classes.push_back(Entry{*info, createFunc, context});
    return true;
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const
{
    for (const Entry& e : classes) {
        if (FUID::fromTUID(e.info.cid) == cid)
            return true;
    }
    return false;
}

const CPluginFactory::Entry* CPluginFactory::find(int32 index) const
{
    return index >= 0 && index < static_cast<int32>(classes.size()) ? &classes[index] : nullptr;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
    if (!info)
        return kInvalidArgument;
    *info = factoryInfo;
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
    return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
    const Entry* e = find(index);
    if (!info || !e)
        return kInvalidArgument;
    std::memcpy(info->cid, e->info.cid, sizeof(TUID));
    info->cardinality = e->info.cardinality;
    copyString(info->category, e->info.category);
    copyString(info->name, e->info.name);
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
    const Entry* e = find(index);
    if (!info || !e)
        return kInvalidArgument;
    *info = e->info;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
    const Entry* e = find(index);
    if (!info || !e)
        return kInvalidArgument;
    std::memcpy(info->cid, e->info.cid, sizeof(TUID));
    info->cardinality = e->info.cardinality;
    copyString(info->category, e->info.category);
    copyWide(info->name, e->info.name);
    info->classFlags = e->info.classFlags;
    copyString(info->subCategories, e->info.subCategories);
    copyWide(info->vendor, e->info.vendor);
    copyWide(info->version, e->info.version);
    copyWide(info->sdkVersion, e->info.sdkVersion);
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid)
        return kInvalidArgument;
    for (const Entry& e : classes) {
        if (std::memcmp(e.info.cid, cid, sizeof(TUID)) != 0)
            continue;
        FUnknown* instance = e.create(e.context);
        if (!instance)
            return kOutOfMemory;
        // The caller keeps the reference its interface query added.
        const tresult result = instance->queryInterface(iid, obj);
        instance->release();
        return result == kResultOk ? kResultOk : kNoInterface;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown*)
{
    return kNotImplemented;
}

} // namespace Steinberg
