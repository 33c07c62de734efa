// The effect as the channel-strip host runs it, as a module showing the
// compact panel. Only that host switches an effect into module mode, so the
// tool builds the effect from the same sources in its own process, with the
// bundle's Resources and Documentation.
#pragma once

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <string>

// An initialized effect in module mode. Returns an empty string on success,
// else a one-line message; `component` is then null.
std::string createModuleEffect(const std::string& bundlePath, Steinberg::IPtr<Steinberg::Vst::IComponent>& component);
