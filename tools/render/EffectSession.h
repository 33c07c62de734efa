// One effect driven through a whole render as a host drives it: bus set-up,
// processing set-up, activation, block-by-block processing, shut-down.
#pragma once

#include "tools/render/AudioClip.h"

#include "core/ParameterIds.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <array>
#include <functional>
#include <string>

class EffectSession
{
public:
    // Takes an initialized effect; the destructor deactivates and terminates it.
    explicit EffectSession(Steinberg::IPtr<Steinberg::Vst::IComponent> component);
    ~EffectSession();
    EffectSession(const EffectSession&) = delete;
    EffectSession& operator=(const EffectSession&) = delete;

    // Arranges mono or stereo buses (with the side-chain input when asked),
    // sets up processing and activates the effect. Returns an empty string
    // on success, else a one-line message.
    std::string start(size_t channels, bool sideChain, int sampleRate, int blockSize);

    // Renders `input` into `output` in blocks, with `parameters` sent as the
    // first block's changes. `key` feeds the side-chain input: its channels are
    // matched to the input's, and it is cut or padded with silence to its length.
    using Progress = std::function<void(double fraction)>;
    void render(const AudioClip& input, const AudioClip* key, const std::array<double, PARAM_COUNT>& parameters,
                AudioClip& output, const Progress& progress);

private:
    Steinberg::IPtr<Steinberg::Vst::IComponent> component;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
    int blockSize = 0;
    bool active = false;
};
