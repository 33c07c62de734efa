// WAV input and output of the Windows build, which has no libsndfile: a RIFF
// reader for PCM (8 to 32 bits) and IEEE float (32 and 64 bits) data, and a
// 32-bit float writer. The clip keeps one array per channel.
#include "tools/render/WavFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t readLittle(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

struct Format {
    uint16_t code = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
};

// One sample of `bits` at `at`, scaled to [-1, 1) for integers.
float decodeSample(const unsigned char* at, const Format& format)
{
    const int bytes = format.bits / 8;
    if (format.code == kFormatFloat) {
        if (bytes == 4) {
            float value;
            std::memcpy(&value, at, 4);
            return value;
        }
        double value;
        std::memcpy(&value, at, 8);
        return static_cast<float>(value);
    }
    if (bytes == 1)
        return (static_cast<int>(at[0]) - 128) / 128.f; // 8-bit data is unsigned
    const uint32_t raw = readLittle(at, bytes);
    const int shift = 32 - format.bits;
    const auto value = static_cast<int32_t>(raw << shift) >> shift;
    return static_cast<float>(static_cast<double>(value) / static_cast<double>(1u << (format.bits - 1)));
}

bool supported(const Format& format)
{
    if (format.code == kFormatFloat)
        return format.bits == 32 || format.bits == 64;
    return format.code == kFormatPcm && (format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32);
}

void putLittle(std::vector<unsigned char>& out, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

} // namespace

std::string readWavFile(const std::string& path, AudioClip& clip)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return "cannot read '" + path + "': it cannot be opened";
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0
        || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return "cannot read '" + path + "': not a WAV file";
    Format format;
    const unsigned char* data = nullptr;
    size_t dataSize = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const size_t size = readLittle(&bytes[at + 4], 4);
        const size_t body = at + 8;
        const size_t available = std::min(size, bytes.size() - body);
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && available >= 16) {
            format = {static_cast<uint16_t>(readLittle(&bytes[body], 2)), static_cast<uint16_t>(readLittle(&bytes[body + 2], 2)),
                      readLittle(&bytes[body + 4], 4), static_cast<uint16_t>(readLittle(&bytes[body + 14], 2))};
            // The extensible form names its real format in the first two bytes of its sub-format.
            if (format.code == kFormatExtensible && available >= 26)
                format.code = static_cast<uint16_t>(readLittle(&bytes[body + 24], 2));
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            data = &bytes[body];
            dataSize = available;
        }
        at = body + size + (size & 1);
    }
    if (format.channels < 1 || format.channels > 2)
        return "cannot use '" + path + "': it has " + std::to_string(format.channels) +
               " channels; only mono and stereo files are supported";
    if (!supported(format))
        return "cannot read '" + path + "': unsupported sample format";
    const size_t frameBytes = static_cast<size_t>(format.bits / 8) * format.channels;
    const size_t frames = data ? dataSize / frameBytes : 0;
    if (format.rate == 0 || frames == 0)
        return "cannot use '" + path + "': it holds no audio";
    clip = AudioClip(static_cast<int>(format.rate), format.channels, frames);
    for (size_t i = 0; i < frames; ++i)
        for (size_t c = 0; c < format.channels; ++c)
            clip.channels[c][i] = decodeSample(data + i * frameBytes + c * (format.bits / 8), format);
    return {};
}

std::string writeWavFile(const std::string& path, const AudioClip& clip)
{
    const auto channels = static_cast<uint32_t>(clip.channelCount());
    const auto dataSize = static_cast<uint32_t>(clip.frames() * channels * sizeof(float));
    std::vector<unsigned char> out;
    out.reserve(44 + dataSize);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    putLittle(out, 36 + dataSize, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittle(out, 16, 4);
    putLittle(out, kFormatFloat, 2);
    putLittle(out, channels, 2);
    putLittle(out, static_cast<uint32_t>(clip.sampleRate), 4);
    putLittle(out, static_cast<uint32_t>(clip.sampleRate) * channels * 4, 4);
    putLittle(out, channels * 4, 2);
    putLittle(out, 32, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLittle(out, dataSize, 4);
    for (size_t i = 0; i < clip.frames(); ++i)
        for (size_t c = 0; c < channels; ++c) {
            uint32_t bits;
            std::memcpy(&bits, &clip.channels[c][i], 4);
            putLittle(out, bits, 4);
        }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return file.good() ? std::string() : "cannot write '" + path + "'";
}
