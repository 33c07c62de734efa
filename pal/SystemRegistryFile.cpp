// The registry reads of the Linux build, over the registry file.
#include "pal/SystemRegistry.h"

#include "pal/CRegistryFile.h"

#include <new>

namespace ZVNPal {

PalResult ReadRegistryString(const std::string& keyPath, const std::string& name, std::string& value)
{
    const CRegistryFile store = CRegistryFile::LoadSystem();
    const RegistryValue* stored = store.Find(keyPath, name);
    if (!stored || stored->type != RegistryValue::kString || stored->data.empty())
        return kPalFail;
    try {
        // The text ends at its first zero byte, as a C string read from the registry does.
        value.assign(stored->data.c_str());
    } catch (const std::bad_alloc&) {
        return kPalOutOfMemory;
    }
    return kPalOk;
}

bool ReadRegistryFourBytes(const std::string& keyPath, const std::string& name, uint32_t& number)
{
    const CRegistryFile store = CRegistryFile::LoadSystem();
    const RegistryValue* stored = store.Find(keyPath, name);
    return stored && stored->ReadAsFourBytes(number);
}

} // namespace ZVNPal
