// Hands parameter values from any thread to one consumer without a lock: one
// slot per parameter, the last value written wins, and the consumer takes
// each changed slot once.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <atomic>
#include <memory>
#include <vector>

namespace Steinberg {
namespace Vst {

class ParameterTransfer
{
public:
    // One slot per entry of `ids` (the parameter ID of each index). Called
    // while nobody adds or takes.
    void setParameterIds(const std::vector<ParamID>& ids);
    int32 size() const { return static_cast<int32>(ids.size()); }

    // Any thread; an index without a slot is ignored.
    void addChange(int32 index, ParamValue value);
    // Any thread: forgets a change of `index` not yet taken.
    void discardChange(int32 index);

    // The consumer: calls apply(id, value) for each slot changed since the
    // last take, in index order.
    template <typename Apply>
    void takeChanges(Apply&& apply)
    {
        for (size_t i = 0; i < ids.size(); ++i) {
            // Sequentially consistent, so that a consumer may order its
            // takes against marks of its own (Vst2Wrapper's block sequence).
            if (slots[i].changed.exchange(false))
                apply(ids[i], slots[i].value.load(std::memory_order_relaxed));
        }
    }

private:
    struct Slot
    {
        std::atomic<ParamValue> value{0};
        std::atomic<bool> changed{false};
    };
    std::vector<ParamID> ids;
    std::unique_ptr<Slot[]> slots;
};

} // namespace Vst
} // namespace Steinberg
