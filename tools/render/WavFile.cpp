// WAV input and output: libsndfile delivers interleaved frames; the clip
// keeps one array per channel, the layout the effect's buses use.
#include "tools/render/WavFile.h"

#include <sndfile.h>

#include <algorithm>
#include <memory>

namespace {

constexpr sf_count_t kChunkFrames = 65536;

struct SndfileCloser
{
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

std::string failure(const std::string& what, const std::string& path, SNDFILE* file)
{
    return what + " '" + path + "': " + sf_strerror(file);
}

} // namespace

std::string readWavFile(const std::string& path, AudioClip& clip)
{
    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
        return failure("cannot read", path, nullptr);
    if (info.channels < 1 || info.channels > 2)
        return "cannot use '" + path + "': it has " + std::to_string(info.channels) +
               " channels; only mono and stereo files are supported";
    if (info.samplerate <= 0 || info.frames <= 0)
        return "cannot use '" + path + "': it holds no audio";

    const size_t channels = static_cast<size_t>(info.channels);
    clip = AudioClip(info.samplerate, channels, 0);
    std::vector<float> interleaved(static_cast<size_t>(kChunkFrames) * channels);
    sf_count_t got = 0;
    while ((got = sf_readf_float(file.get(), interleaved.data(), kChunkFrames)) > 0) {
        for (size_t c = 0; c < channels; ++c)
            for (sf_count_t i = 0; i < got; ++i)
                clip.channels[c].push_back(interleaved[static_cast<size_t>(i) * channels + c]);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        return failure("cannot read", path, file.get());
    if (clip.frames() == 0)
        return "cannot use '" + path + "': it holds no audio";
    return {};
}

std::string writeWavFile(const std::string& path, const AudioClip& clip)
{
    SF_INFO info{};
    info.samplerate = clip.sampleRate;
    info.channels = static_cast<int>(clip.channelCount());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SndfileHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file)
        return failure("cannot write", path, nullptr);

    const size_t channels = clip.channelCount();
    std::vector<float> interleaved(static_cast<size_t>(kChunkFrames) * channels);
    for (size_t start = 0; start < clip.frames(); start += kChunkFrames) {
        const size_t count = std::min<size_t>(kChunkFrames, clip.frames() - start);
        for (size_t i = 0; i < count; ++i)
            for (size_t c = 0; c < channels; ++c)
                interleaved[i * channels + c] = clip.channels[c][start + i];
        if (sf_writef_float(file.get(), interleaved.data(), static_cast<sf_count_t>(count)) !=
            static_cast<sf_count_t>(count))
            return failure("cannot write", path, file.get());
    }
    return {};
}
