// The render tool's command line: what to render, through which bundle, with
// which parameter values, and where the results go.
#pragma once

#include "core/ParameterIds.h"

#include <array>
#include <string>
#include <vector>

struct RenderOptions
{
    RenderOptions();

    std::string inputPath;     // empty: render the built-in demo programme
    std::string outputPath;
    std::string sideChainPath; // empty: the detector listens to the main input
    std::string bundlePath;    // empty: the default bundle
    std::string plotPath;      // empty: no plot

    // Normalized values sent to the effect at the first block, by parameter ID;
    // they start at the effect's own defaults.
    std::array<double, PARAM_COUNT> parameters{};

    int blockSize = 512;
    int demoRate = 48000;
    double demoSeconds = 20.0;
    bool quiet = false;
    bool help = false;
    bool listPresets = false;
    std::string presetName; // the factory preset chosen, as the table spells it
};

// Fills `options` from the arguments after the program name. Returns an empty
// string on success, otherwise a one-line message for the user.
std::string parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options);

// The text printed for --help.
const char* renderUsage();
