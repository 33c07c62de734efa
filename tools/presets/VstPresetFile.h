// A VST 3 preset file (.vstpreset): the header with the effect's class ID,
// the component state chunk, an empty controller chunk and the chunk list
// that tells a host where each lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file's bytes, for the class whose ID is `classId` (32 hex characters,
// as the SDK writes an ID as text) and the component state `componentState`.
std::vector<uint8_t> makeVstPresetFile(const std::string& classId, const std::vector<uint8_t>& componentState);
