// The component interfaces through which an AAX host loads a plug-in
// library: result codes, interface and class IDs, the reference-counted
// base interface, the plug-in definition and the class factory.
#pragma once

#include <cstdint>
#include <cstring>

using ACFRESULT = int32_t;

constexpr ACFRESULT ACF_OK = 0;
constexpr ACFRESULT ACF_FALSE = 1;
constexpr ACFRESULT ACF_E_NOTIMPL = static_cast<ACFRESULT>(0x80004001u);
constexpr ACFRESULT ACF_E_NOINTERFACE = static_cast<ACFRESULT>(0x80004002u);
constexpr ACFRESULT ACF_E_POINTER = static_cast<ACFRESULT>(0x80004003u);
constexpr ACFRESULT ACF_E_OUTOFMEMORY = static_cast<ACFRESULT>(0x8007000Eu);
constexpr ACFRESULT ACF_CLASS_E_NOAGGREGATION = static_cast<ACFRESULT>(0x80040110u);
constexpr ACFRESULT ACF_CLASS_E_CLASSNOTAVAILABLE = static_cast<ACFRESULT>(0x80040111u);

struct acfUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];

    bool operator==(const acfUID& other) const { return std::memcmp(this, &other, sizeof other) == 0; }
};
using acfIID = acfUID;
using acfCLSID = acfUID;

inline constexpr acfIID IID_IACFUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr acfIID IID_IACFClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr acfIID IID_IACFPluginDefinition = {0x5A1C3E20, 0x4B7D, 0x4E0F, {0x9C, 0x61, 0x2D, 0x8E, 0x13, 0x57, 0xA4, 0x0B}};
// The class the library's factory makes: the plug-in definition.
inline constexpr acfCLSID CLSID_AAXPluginDefinition = {0x5A1C3E21, 0x4B7D, 0x4E0F, {0x9C, 0x61, 0x2D, 0x8E, 0x13, 0x57, 0xA4, 0x0B}};

class IACFUnknown
{
public:
    virtual ACFRESULT QueryInterface(const acfIID& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IACFUnknown() = default;
};

class AAX_CCollection;

// The plug-in's description, handed to the host on registration.
class IACFPluginDefinition : public IACFUnknown
{
public:
    virtual const AAX_CCollection* GetCollection() const = 0;
};

class IACFClassFactory : public IACFUnknown
{
public:
    virtual ACFRESULT CreateInstance(IACFUnknown* outer, const acfIID& iid, void** object) = 0;
};
