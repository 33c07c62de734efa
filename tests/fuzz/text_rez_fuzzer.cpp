// Fuzz target of the text-resource reader: any bytes load without a crash,
// and no stored key or value outgrows the reader's limits.
#include "pal/CTextRez.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZVNPal::CTextRez table;
    table.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [key, alternatives] : table.GetEntries()) {
        size_t valueBytes = alternatives.size() - 1; // the cuts
        for (const auto& text : alternatives)
            valueBytes += text.size();
        if (key.size() > ZVNPal::CBaseRez::kMaxKeyBytes || valueBytes > ZVNPal::CBaseRez::kMaxValueBytes)
            __builtin_trap();
    }
    table.GetString("IDS_PARAM_GAIN");
    return 0;
}
