// Text between the two sides: the effect's UTF-16 strings as the UTF-8 texts
// an AAX host takes, and cuts that never split a character.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cstddef>
#include <string>

// Converts at most `maxUnits` UTF-16 units, stopping at a terminator; an
// unpaired surrogate becomes U+FFFD.
std::string AAX_VST3ToUtf8(const Steinberg::char16* text, size_t maxUnits);

// At most `maxBytes` bytes of `text`, ending on a character boundary.
std::string AAX_VST3CutUtf8(const std::string& text, size_t maxBytes);
