// The preset file layout, all numbers little-endian: "VST3", version 1, the
// class ID as 32 ASCII characters and the 64-bit offset of the chunk list;
// then the chunks' data; then "List", the entry count and per entry its ID,
// 64-bit offset and 64-bit size.
#include "tools/presets/VstPresetFile.h"

#include <algorithm>


namespace {

constexpr int32_t kFormatVersion = 1;
constexpr size_t kClassIdLength = 32;

void putBytes(std::vector<uint8_t>& out, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

void putTag(std::vector<uint8_t>& out, const char (&tag)[5])
{
    putBytes(out, tag, 4);
}

template <typename Integer>
void putLittleEndian(std::vector<uint8_t>& out, Integer value)
{
    for (size_t i = 0; i < sizeof(Integer); ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
}

} // namespace

std::vector<uint8_t> makeVstPresetFile(const std::string& classId, const std::vector<uint8_t>& componentState)
{
    std::vector<uint8_t> out;
    putTag(out, "VST3");
    putLittleEndian<int32_t>(out, kFormatVersion);
    std::string id = classId.substr(0, kClassIdLength);
    id.resize(kClassIdLength, '0');
    putBytes(out, id.data(), kClassIdLength);
    const size_t listOffsetAt = out.size();
    putLittleEndian<int64_t>(out, 0);

    const int64_t componentOffset = static_cast<int64_t>(out.size());
    putBytes(out, componentState.data(), componentState.size());
    // The effect keeps no controller state of its own: its chunk is empty.
    const int64_t controllerOffset = static_cast<int64_t>(out.size());

    const int64_t listOffset = static_cast<int64_t>(out.size());
    putTag(out, "List");
    putLittleEndian<int32_t>(out, 2);
    putTag(out, "Comp");
    putLittleEndian<int64_t>(out, componentOffset);
    putLittleEndian<int64_t>(out, static_cast<int64_t>(componentState.size()));
    putTag(out, "Cont");
    putLittleEndian<int64_t>(out, controllerOffset);
    putLittleEndian<int64_t>(out, 0);

    std::vector<uint8_t> offset;
    putLittleEndian<int64_t>(offset, listOffset);
    std::copy(offset.begin(), offset.end(), out.begin() + static_cast<std::ptrdiff_t>(listOffsetAt));
    return out;
}
