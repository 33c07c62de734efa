// The effect's VST 3 class ID: the factory registers the effect under it,
// and the AAX description names the class it wraps by it.
#pragma once

#include "pluginterfaces/base/funknown.h"

extern const Steinberg::FUID kEffectClassId;
