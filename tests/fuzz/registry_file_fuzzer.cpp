// Fuzz target of the registry-file reader: any text parses without a crash,
// and every value read back keeps a well-formed type and size.
#include "pal/CRegistryFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZVNPal::CRegistryFile store;
    store.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const char* key = "Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0";
    for (const char* name : {"AppData Path", "Language", "SV7TCompatabilityMode", ""}) {
        const ZVNPal::RegistryValue* value = store.Find(key, name);
        if (!value)
            continue;
        const bool wellFormed = value->type == ZVNPal::RegistryValue::kNumber
            ? value->data.size() == 4
            : !value->data.empty() && value->data.back() == '\0';
        if (!wellFormed)
            __builtin_trap();
        uint32_t number = 0;
        value->ReadAsFourBytes(number);
    }
    return 0;
}
