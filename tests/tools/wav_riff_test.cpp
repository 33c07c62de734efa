// The Windows build's own WAV reader and writer: float files round-trip,
// integer PCM decodes to the right scale, and broken or unusable files are
// refused with a message rather than read past their end.
#include "tools/render/WavFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string tempFile(const std::string& name)
{
    return (std::filesystem::path(::testing::TempDir()) / ("ol7t-riff-" + name)).string();
}

void putLittle(std::string& out, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        out += static_cast<char>(value >> (8 * i));
}

// A RIFF file with one format chunk and one data chunk of `data`.
std::string riff(uint16_t format, uint16_t channels, uint16_t bits, const std::string& data)
{
    std::string fmt;
    putLittle(fmt, format, 2);
    putLittle(fmt, channels, 2);
    putLittle(fmt, 8000, 4);
    putLittle(fmt, 8000u * channels * bits / 8, 4);
    putLittle(fmt, channels * bits / 8u, 2);
    putLittle(fmt, bits, 2);
    std::string body = "WAVEfmt ";
    putLittle(body, static_cast<uint32_t>(fmt.size()), 4);
    body += fmt + "data";
    putLittle(body, static_cast<uint32_t>(data.size()), 4);
    body += data;
    std::string file = "RIFF";
    putLittle(file, static_cast<uint32_t>(body.size()), 4);
    return file + body;
}

std::string write(const std::string& name, const std::string& bytes)
{
    const std::string path = tempFile(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(WavRiff, FloatClipsRoundTripAndIntegersDecodeToFullScale)
{
    AudioClip clip(48000, 2, 5);
    clip.channels = {{0.f, 1.5f, -2.f, 0.25f, 1e-9f}, {-1.f, 0.5f, 3.f, -0.125f, 0.f}};
    const std::string path = tempFile("float.wav");
    ASSERT_EQ(writeWavFile(path, clip), "");
    AudioClip back;
    ASSERT_EQ(readWavFile(path, back), "");
    EXPECT_EQ(back.sampleRate, 48000);
    EXPECT_EQ(back.channels, clip.channels);

    // 16-bit: -32768 and 16384; 24-bit: the most negative value; 8-bit: unsigned around 128.
    const struct {
        uint16_t bits;
        std::string data;
        float first;
        float second;
    } cases[] = {
        {16, std::string("\x00\x80\x00\x40", 4), -1.f, 0.5f},
        {24, std::string("\x00\x00\x80\x00\x00\x40", 6), -1.f, 0.5f},
        {8, std::string("\x00\xC0", 2), -1.f, 0.5f},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(readWavFile(write("pcm.wav", riff(1, 1, c.bits, c.data)), back), "") << c.bits;
        ASSERT_EQ(back.frames(), 2u) << c.bits;
        EXPECT_EQ(back.channels[0][0], c.first) << c.bits;
        EXPECT_EQ(back.channels[0][1], c.second) << c.bits;
    }
}

TEST(WavRiff, UnusableFilesAreRefusedWithOneLine)
{
    const std::string twoFrames(8, '\0');
    std::string truncated = riff(1, 1, 16, twoFrames);
    truncated.resize(truncated.size() - 5); // the data chunk claims more than is there
    const struct {
        std::string file;
        const char* mentions;
    } cases[] = {
        {tempFile("absent.wav"), "cannot be opened"},
        {write("text.wav", "not a sound file"), "not a WAV file"},
        {write("three.wav", riff(1, 3, 16, std::string(12, '\0'))), "3 channels"},
        {write("alaw.wav", riff(6, 1, 8, twoFrames)), "unsupported"},
        {write("empty.wav", riff(1, 1, 16, "")), "no audio"},
    };
    AudioClip clip;
    for (const auto& c : cases) {
        const std::string error = readWavFile(c.file, clip);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.file << ": " << error;
    }
    ASSERT_EQ(readWavFile(write("cut.wav", truncated), clip), "");
    EXPECT_EQ(clip.frames(), 1u) << "only the whole frames that are there";
}

} // namespace
