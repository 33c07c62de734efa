// The built-in demo programme: a deterministic stereo piece that shows what
// the leveling amplifier does with speech, drums, a swelling tone and silence.
#pragma once

#include "tools/render/AudioClip.h"

// Sections in order: speech-like phrases at changing levels, a drum pattern,
// a sustained tone that swells and fades, and silence for the release. Their
// lengths scale with `seconds`; the result is the same on every run.
AudioClip makeDemoProgramme(int sampleRate, double seconds);
