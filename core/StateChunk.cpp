// The effect's saved settings: the eight normalized parameter values behind a
// small little-endian header, written and read through the host's stream.
#include "core/ol7t.h"

#include "core/NormalizedValue.h"

#include "pal/DebugTrace.h"

#include "base/source/fstreamer.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg::Vst;

namespace {

constexpr int32 kStateVersion = 1;

} // namespace

tresult PLUGIN_API ol7t::getState(IBStream* state)
{
    ZVNPal::DebugTrace("ol7t::getState\n");
    if (!state)
        return kResultFalse;
    IBStreamer streamer(state, kLittleEndian);
    if (!streamer.writeInt32(kStateMagic) || !streamer.writeInt32(kStateVersion)
        || !streamer.writeInt32(static_cast<int32>(PARAM_COUNT)))
        return kResultFalse;
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        if (!streamer.writeDouble(getParamNormalized(id)))
            return kResultFalse;
    }
    return kResultOk;
}

tresult PLUGIN_API ol7t::setState(IBStream* state)
{
    ZVNPal::DebugTrace("ol7t::setState\n");
    if (!state)
        return kResultFalse;
    IBStreamer streamer(state, kLittleEndian);
    int32 magic = 0, version = 0, count = 0;
    if (!streamer.readInt32(magic) || magic != kStateMagic)
        return kResultFalse;
    if (!streamer.readInt32(version) || version == 0)
        return kResultFalse;
    if (!streamer.readInt32(count) || count == 0)
        return kResultFalse;

    // A count above eight, or negative, still means the eight values we know.
    const uint32_t n = std::min(static_cast<uint32_t>(count), static_cast<uint32_t>(PARAM_COUNT));
    double values[PARAM_COUNT];
    for (uint32_t i = 0; i < n; ++i) {
        // A chunk cut short, or one holding a value that is not a number, is
        // refused whole: it cannot be a state we wrote.
        if (!streamer.readDouble(values[i]) || !std::isfinite(values[i]))
            return kResultFalse;
    }
    // Finite values outside the range are held to it, as at every other entry.
    for (uint32_t i = 0; i < n; ++i)
        program->setParamValue(i, static_cast<float>(*heldToNormalizedRange(values[i])));
    applyProgram();
    return kResultOk;
}
