// Writing and checking the VST 2 chunk envelope.
#include "sdk/Vst2Chunk.h"

namespace Steinberg {

namespace {

void appendSize(std::vector<uint8_t>& out, uint64_t size)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<uint8_t>(size >> (8 * i)));
}

uint64_t readSize(const uint8_t* p)
{
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = (size << 8) | p[i];
    return size;
}

} // namespace

std::vector<uint8_t> Vst2Chunk::join(std::span<const uint8_t> component, std::span<const uint8_t> controller)
{
    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + component.size() + controller.size());
    appendSize(out, component.size());
    appendSize(out, controller.size());
    out.insert(out.end(), component.begin(), component.end());
    out.insert(out.end(), controller.begin(), controller.end());
    return out;
}

bool Vst2Chunk::split(std::span<const uint8_t> chunk, std::span<const uint8_t>& component,
                      std::span<const uint8_t>& controller)
{
    if (chunk.size() < kHeaderSize)
        return false;
    const uint64_t componentSize = readSize(chunk.data());
    const uint64_t controllerSize = readSize(chunk.data() + 8);
    const uint64_t room = chunk.size() - kHeaderSize;
    // Compared one by one so that huge announced sizes cannot wrap around.
    if (componentSize > room || controllerSize > room - componentSize)
        return false;
    component = chunk.subspan(kHeaderSize, componentSize);
    controller = chunk.subspan(kHeaderSize + componentSize, controllerSize);
    return true;
}

} // namespace Steinberg
