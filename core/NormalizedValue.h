// Values that reach the parameter set from outside: the host, its
// automation, a saved state, the adapters and the editor. One that is not a
// number means nothing and is dropped; a finite one is held to the
// normalized range, so no setting can drive the model past its ends.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

inline std::optional<double> heldToNormalizedRange(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return std::clamp(value, 0.0, 1.0);
}
