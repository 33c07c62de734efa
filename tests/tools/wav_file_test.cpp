// The render tool's WAV files: what is written reads back unchanged, and
// files the tool cannot use are refused with a message instead of a crash.
#include "tools/render/WavFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class WavFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("ol7t-wav-test-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const char* name) const { return (folder / name).string(); }

    // A 16-bit file with `channels` channels of silence.
    void writePcm(const std::string& file, int channels, int frames) const
    {
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        std::vector<short> samples(static_cast<size_t>(channels * frames), 0);
        sf_writef_short(f, samples.data(), frames);
        sf_close(f);
    }

    std::filesystem::path folder;
};

TEST_F(WavFileTest, WrittenClipsReadBackUnchangedEvenAboveFullScale)
{
    for (size_t channels : {1u, 2u}) {
        AudioClip clip(44100, channels, 70000); // longer than one transfer chunk
        for (size_t c = 0; c < channels; ++c)
            for (size_t i = 0; i < clip.frames(); ++i)
                clip.channels[c][i] = static_cast<float>((i % 7) * 0.5 - 1.5) * (c == 0 ? 1.f : -1.f);
        const std::string file = path("clip.wav");
        ASSERT_EQ(writeWavFile(file, clip), "");
        AudioClip back;
        ASSERT_EQ(readWavFile(file, back), "");
        EXPECT_EQ(back.sampleRate, 44100);
        EXPECT_EQ(back.channels, clip.channels);
    }
}

TEST_F(WavFileTest, UnusableFilesAreRefusedWithOneLine)
{
    {
        std::ofstream(path("text.wav")) << "not a sound file\n";
    }
    writePcm(path("three.wav"), 3, 100);
    writePcm(path("empty.wav"), 1, 0);
    const struct
    {
        std::string file;
        const char* mentions;
    } cases[] = {
        {path("missing.wav"), "missing.wav"},
        {path("text.wav"), "text.wav"},
        {path("three.wav"), "3 channels"},
        {path("empty.wav"), "no audio"},
        {folder.string(), "cannot read"},
    };
    for (const auto& c : cases) {
        AudioClip clip;
        const std::string error = readWavFile(c.file, clip);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.file << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    EXPECT_NE(writeWavFile(path("no/such/folder/out.wav"), AudioClip(8000, 1, 10)), "");
}

} // namespace
