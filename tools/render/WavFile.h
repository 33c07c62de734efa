// Reading and writing the render tool's WAV files through libsndfile.
#pragma once

#include "tools/render/AudioClip.h"

#include <string>

// Reads any file libsndfile understands into a clip of mono or stereo audio.
// Returns an empty string on success, else a one-line message.
std::string readWavFile(const std::string& path, AudioClip& clip);

// Writes the clip as a 32-bit float WAV file, so nothing above full scale is
// clipped. Returns an empty string on success, else a one-line message.
std::string writeWavFile(const std::string& path, const AudioClip& clip);
