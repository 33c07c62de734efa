// A host parameter whose value may be set from the audio thread (automation
// inside process) and from the user-interface thread (host, editor, state) at
// once: the value lives in an atomic instead of the base class's plain field.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

#include <atomic>

class SharedParameter : public Steinberg::Vst::Parameter
{
public:
    SharedParameter(const Steinberg::Vst::TChar* title, Steinberg::Vst::ParamID tag, Steinberg::int32 stepCount,
                    Steinberg::Vst::ParamValue defaultValue, Steinberg::int32 flags);

    // Clamps to [0, 1] like the base class and ignores a value that is not a
    // finite number; true when the value changed.
    bool setNormalized(Steinberg::Vst::ParamValue value) override;
    Steinberg::Vst::ParamValue normalized() const { return value.load(std::memory_order_relaxed); }

private:
    std::atomic<Steinberg::Vst::ParamValue> value;
};
