// The generator's file writers: pixel layout of the bitmaps and PNGs it writes,
// refusal of paths it cannot write, and the manual's pages from a source.
#include "ArtworkSet.h"
#include "Canvas.h"
#include "ManualWriter.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Cairo and fontconfig keep font caches for the life of the process; releasing
// them at the end leaves the leak checker only our own allocations to judge.
class FontCacheRelease : public ::testing::Environment
{
public:
    void TearDown() override
    {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

const ::testing::Environment* const kFontCacheRelease = ::testing::AddGlobalTestEnvironment(new FontCacheRelease);

class ScratchFolder
{
public:
    ScratchFolder()
        : m_path(fs::temp_directory_path() /
                 ("ol7t-artwork-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchFolder() { fs::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 3 x 2 picture: opaque red, green, blue on top; half-transparent white, clear, opaque grey below.
void paintProbe(Canvas& c)
{
    const struct
    {
        double r, g, b, a;
    } colours[6] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 0.5}, {0, 0, 0, 0}, {0.5, 0.5, 0.5, 1}};
    cairo_t* cr = c.context();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    for (int i = 0; i < 6; ++i) {
        cairo_set_source_rgba(cr, colours[i].r, colours[i].g, colours[i].b, colours[i].a);
        cairo_rectangle(cr, i % 3, i / 3, 1, 1);
        cairo_fill(cr);
    }
}

TEST(CanvasFiles, BitmapRowsRunBottomUpInBlueGreenRedWithPadding)
{
    ScratchFolder folder;
    Canvas canvas(3, 2);
    paintProbe(canvas);
    ASSERT_TRUE(canvas.writeBmp24(folder.file("probe.bmp")));
    const std::vector<uint8_t> b = readFile(folder.file("probe.bmp"));
    ASSERT_EQ(b.size(), 54u + 2 * 12u); // 9 bytes of pixels padded to 12 per row
    const uint8_t bottomRow[12] = {128, 128, 128, 0, 0, 0, 128, 128, 128, 0, 0, 0};
    const uint8_t topRow[12] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
    // The bottom row comes first; the half-transparent white lands on black as grey,
    // the clear pixel as black.
    for (int i = 0; i < 12; ++i) {
        EXPECT_NEAR(b[54 + i], bottomRow[i], 1) << "byte " << i;
        EXPECT_EQ(b[66 + i], topRow[i]) << "byte " << i;
    }
}

TEST(CanvasFiles, PngKeepsStraightColoursAndAlpha)
{
    ScratchFolder folder;
    Canvas canvas(3, 2);
    paintProbe(canvas);
    ASSERT_TRUE(canvas.writePng(folder.file("probe.png")));
    cairo_surface_t* back = cairo_image_surface_create_from_png(folder.file("probe.png").c_str());
    ASSERT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_format(back), CAIRO_FORMAT_ARGB32);
    const unsigned char* data = cairo_image_surface_get_data(back);
    const int stride = cairo_image_surface_get_stride(back);
    auto pixel = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(data + y * stride)[x]; };
    EXPECT_EQ(pixel(0, 0), 0xffff0000u);
    EXPECT_EQ(pixel(2, 0), 0xff0000ffu);
    EXPECT_NEAR(double(pixel(0, 1) >> 24), 128.0, 1.0); // half-transparent white survives as such
    EXPECT_EQ(pixel(1, 1), 0u);
    cairo_surface_destroy(back);
}

TEST(CanvasFiles, UnwritablePlacesAreReportedNotFatal)
{
    Canvas canvas(2, 2);
    EXPECT_FALSE(canvas.writePng("/nonexistent-folder/x.png"));
    EXPECT_FALSE(canvas.writeBmp24("/nonexistent-folder/x.bmp"));
}

int countPages(const std::string& path)
{
    const std::vector<uint8_t> bytes = readFile(path);
    const std::string text(bytes.begin(), bytes.end());
    int pages = 0;
    for (size_t at = text.find("/Type /Page"); at != std::string::npos; at = text.find("/Type /Page", at + 1))
        if (text.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    return pages;
}

TEST(ManualWriter, PageBreaksAndLongTextMakePages)
{
    const ArtworkSet artwork;
    ScratchFolder folder;
    struct Case
    {
        std::string source;
        int fewestPages, mostPages;
    };
    std::string longText = "# Long\n";
    for (int i = 0; i < 120; ++i)
        longText += "- A bullet line that is long enough to wrap across the width of the page at least once.\n";
    const Case cases[] = {
        {"# Title\nA paragraph.\n", 1, 1},
        {"# Title\n@page\n## Two\nText\n@page\n= Term: explained\n", 3, 3},
        {"# Title\n@figure full The panel.\n@figure compact The module.\n", 1, 1},
        {"", 1, 1},
        {"Text\n  \ncontinues after a blank-looking line\n\t\n= Term without a colon\n@figure\n", 1, 1},
        {longText, 4, 8}, // 240 wrapped lines flow on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.substr(0, 40));
        std::ofstream(folder.file("manual.txt")) << c.source;
        ASSERT_TRUE(ManualWriter(artwork).write(folder.file("manual.txt"), folder.file("manual.pdf")));
        const int pages = countPages(folder.file("manual.pdf"));
        EXPECT_GE(pages, c.fewestPages);
        EXPECT_LE(pages, c.mostPages);
    }
}

TEST(ManualWriter, MissingSourceFailsWithoutWriting)
{
    const ArtworkSet artwork;
    ScratchFolder folder;
    EXPECT_FALSE(ManualWriter(artwork).write(folder.file("absent.txt"), folder.file("manual.pdf")));
    EXPECT_FALSE(fs::exists(folder.file("manual.pdf")));
}

TEST(ArtworkSet, WritingIntoAMissingFolderFails)
{
    const ArtworkSet artwork;
    EXPECT_FALSE(artwork.writeAll("/nonexistent-folder/Resources"));
}

} // namespace
