// A thin LV2 host for the benchmark: loads one installed plug-in through
// lilv, connects every port (controls at their defaults, atom ports to
// empty sequences) and runs it on stereo float blocks, as a host would.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Lv2Peer
{
public:
    // Null when the plug-in is not installed or does not instantiate.
    static std::unique_ptr<Lv2Peer> load(const std::string& uri, double rate, uint32_t maxBlock);
    ~Lv2Peer();
    Lv2Peer(const Lv2Peer&) = delete;
    Lv2Peer& operator=(const Lv2Peer&) = delete;

    // One block: the first two audio inputs get `left` and `right`, further
    // audio inputs silence; the first two audio outputs land in `outLeft` and
    // `outRight`.
    void run(const float* left, const float* right, float* outLeft, float* outRight, uint32_t n);

private:
    Lv2Peer() = default;
    bool connect(const LilvPlugin* plugin, uint32_t maxBlock);

    struct AtomBuffer
    {
        LV2_Atom_Sequence* sequence;
        bool output;
    };

    LilvInstance* instance = nullptr;
    std::vector<float> controls;
    std::vector<std::vector<float>> spareAudio;
    std::vector<std::unique_ptr<uint64_t[]>> atomStorage;
    std::vector<AtomBuffer> atoms;
    std::vector<uint32_t> audioIn, audioOut;
};
