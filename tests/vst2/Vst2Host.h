// Test support: a simulated VST 2 host. Its callback records every call an
// effect makes and answers the version request as told; helpers dispatch to
// an AEffect the way hosts do.
#pragma once

#include "sdk/Vst2Abi.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

struct HostCall
{
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    bool hasPointer;
    float opt;
};

class Vst2Host
{
public:
    Vst2Host() { current() = this; }
    ~Vst2Host() { current() = nullptr; }
    Vst2Host(const Vst2Host&) = delete;
    Vst2Host& operator=(const Vst2Host&) = delete;

    // What the host answers to audioMasterVersion.
    intptr_t version = kVstVersion;
    std::vector<HostCall> calls;

    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
    {
        Vst2Host* host = current();
        if (!host)
            return 0;
        host->calls.push_back({effect, opcode, index, value, ptr != nullptr, opt});
        return opcode == audioMasterVersion ? host->version : 0;
    }

    std::vector<HostCall> callsWith(int32_t opcode) const
    {
        std::vector<HostCall> found;
        for (const HostCall& call : calls) {
            if (call.opcode == opcode)
                found.push_back(call);
        }
        return found;
    }

private:
    static Vst2Host*& current()
    {
        static Vst2Host* host = nullptr;
        return host;
    }
};

inline intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.f)
{
    return e->control(e, static_cast<VST_EFFECT_OPCODE>(opcode), index, value, ptr, opt);
}

inline std::string dispatchText(AEffect* e, int32_t opcode, int32_t index = 0)
{
    char text[256] = {};
    dispatch(e, opcode, index, 0, text);
    return text;
}

// A registry file for the plug-in's configuration key with the given value
// lines, made the one the plug-in reads. Each test process writes its own,
// since test runners start several at once.
inline void useRegistry(const std::string& name, const std::string& valueLines)
{
    const std::string path = ::testing::TempDir() + name + "." + std::to_string(getpid()) + ".reg";
    std::ofstream(path) << "Windows Registry Editor Version 5.00\n\n"
                        << "[HKEY_LOCAL_MACHINE\\Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0]\n"
                        << valueLines;
    setenv("OL7T_REGISTRY_FILE", path.c_str(), 1);
}

// Stereo in, side-chain in and stereo out, as a host lays out VST 2 buffers.
struct Vst2Buffers
{
    explicit Vst2Buffers(int32_t inputs, int32_t outputs, int32_t frames)
        : storage(inputs + outputs, std::vector<float>(frames, 0.f))
    {
        for (int32_t c = 0; c < inputs; ++c)
            in.push_back(storage[c].data());
        for (int32_t c = 0; c < outputs; ++c)
            out.push_back(storage[inputs + c].data());
    }
    std::vector<std::vector<float>> storage;
    std::vector<float*> in;
    std::vector<float*> out;
};

} // namespace testing_support
