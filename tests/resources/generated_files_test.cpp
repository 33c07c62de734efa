// The files the build puts into the bundle's Resources and Documentation folders:
// names, formats, sizes, frame counts and alpha as the editor expects them, and
// strips whose parts turn about a fixed centre without skipping a step.
#include "ControlArtwork.h"
#include "MeterFace.h"
#include "MeterScale.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kResources = OL7T_RESOURCES_DIR;
const std::string kDocumentation = OL7T_DOCUMENTATION_DIR;

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

uint32_t littleEndian(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b[at + i];
    return v;
}

enum class Format { PngWithAlpha, Bmp24 };

struct ImageInfo
{
    bool valid = false;
    int width = 0, height = 0;
    std::string problem;
};

ImageInfo readPngHeader(const std::vector<uint8_t>& b)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (b.size() < 33 || !std::equal(kSignature, kSignature + 8, b.begin()) ||
        std::string(b.begin() + 12, b.begin() + 16) != "IHDR")
        return {false, 0, 0, "not a PNG"};
    if (b[24] != 8 || b[25] != 6)
        return {false, 0, 0, "not 8-bit RGBA (no alpha channel)"};
    return {true, int(bigEndian32(b, 16)), int(bigEndian32(b, 20)), ""};
}

ImageInfo readBmpHeader(const std::vector<uint8_t>& b)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || littleEndian(b, 14, 4) != 40)
        return {false, 0, 0, "not a Windows bitmap"};
    const int width = int(littleEndian(b, 18, 4));
    const int height = int(int32_t(littleEndian(b, 22, 4)));
    if (littleEndian(b, 28, 2) != 24 || littleEndian(b, 30, 4) != 0)
        return {false, 0, 0, "not an uncompressed 24-bit bitmap"};
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
    const size_t expected = littleEndian(b, 10, 4) + rowBytes * size_t(std::abs(height));
    if (b.size() < expected || littleEndian(b, 2, 4) != b.size())
        return {false, 0, 0, "size fields disagree with the file"};
    return {true, width, height, ""};
}

struct Binding
{
    const char* fileName;
    Format format;
    int width, height, frames;
};

// The editor's image table: file, format, strip size and frames stacked top to bottom.
const Binding kBindings[] = {
    {"sv_background.bmp", Format::Bmp24, 198, 249, 1},
    {"ol_background.bmp", Format::Bmp24, 765, 212, 1},
    {"sv_meter.png", Format::PngWithAlpha, 113, 3780, 84},
    {"ol_meter.png", Format::PngWithAlpha, 130, 5124, 84},
    {"switch.png", Format::PngWithAlpha, 38, 94, 2},
    {"switch_write.png", Format::PngWithAlpha, 22, 25, 1},
    {"switch_focus.png", Format::PngWithAlpha, 38, 47, 1},
    {"sv_knob1.png", Format::PngWithAlpha, 58, 8909, 151},
    {"sv_knob2.png", Format::PngWithAlpha, 58, 236, 4},
    {"ol_knob1.png", Format::PngWithAlpha, 83, 12986, 151},
    {"ol_knob2.png", Format::PngWithAlpha, 83, 344, 4},
    {"sv_knob_focus.png", Format::PngWithAlpha, 58, 58, 1},
    {"sv_knob_write.png", Format::PngWithAlpha, 58, 58, 1},
    {"screw.png", Format::PngWithAlpha, 32, 4832, 151},
    {"screw_focus.png", Format::PngWithAlpha, 32, 32, 1},
    {"screw_write.png", Format::PngWithAlpha, 32, 32, 1},
    {"ol_about.png", Format::PngWithAlpha, 685, 212, 1},
    {"ol-7t_sv_about.bmp", Format::Bmp24, 198, 249, 1},
};

TEST(GeneratedFiles, EveryImageMatchesTheEditorsTable)
{
    for (const Binding& b : kBindings) {
        SCOPED_TRACE(b.fileName);
        const std::vector<uint8_t> bytes = readFile(kResources + "/" + b.fileName);
        ASSERT_FALSE(bytes.empty()) << "missing";
        const ImageInfo info = b.format == Format::PngWithAlpha ? readPngHeader(bytes) : readBmpHeader(bytes);
        ASSERT_TRUE(info.valid) << info.problem;
        EXPECT_EQ(info.width, b.width);
        EXPECT_EQ(info.height, b.height);
        EXPECT_EQ(info.height % b.frames, 0);
    }
}

TEST(GeneratedFiles, ChannelStripBitmapsAreSmall24BitBitmaps)
{
    for (const char* name : {"SV_Thumbnail.bmp", "SV_Inactive.bmp"}) {
        SCOPED_TRACE(name);
        const ImageInfo info = readBmpHeader(readFile(kResources + "/" + name));
        ASSERT_TRUE(info.valid) << info.problem;
        EXPECT_GT(info.width, 16);
        EXPECT_GT(info.height, 16);
        EXPECT_LE(info.width, 198);
        EXPECT_LE(info.height, 249);
    }
}

// Brightness of pixel (x, y), counted from the top, of a bottom-up 24-bit bitmap.
int bmpBrightness(const std::vector<uint8_t>& b, int x, int y)
{
    const int width = int(littleEndian(b, 18, 4)), height = int(littleEndian(b, 22, 4));
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
    const size_t at = littleEndian(b, 10, 4) + size_t(height - 1 - y) * rowBytes + size_t(x) * 3;
    return (b[at] + b[at + 1] + b[at + 2]) / 3;
}

TEST(GeneratedFiles, BackgroundsStandTheRightWayUp)
{
    // The black name plate is at the top of both panels, bare aluminium below it.
    struct Case
    {
        const char* name;
        int plateX, plateY, metalX, metalY;
    };
    for (const Case c : {Case{"ol_background.bmp", 155, 22, 120, 200}, Case{"sv_background.bmp", 85, 12, 120, 236}}) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = readFile(kResources + "/" + c.name);
        ASSERT_TRUE(readBmpHeader(bytes).valid);
        EXPECT_LT(bmpBrightness(bytes, c.plateX, c.plateY), 60);
        EXPECT_GT(bmpBrightness(bytes, c.metalX, c.metalY), 150);
    }
}

TEST(GeneratedFiles, ManualIsAPdfOfSeveralPages)
{
    const std::vector<uint8_t> bytes = readFile(kDocumentation + "/OL-7TLevelingAmplifier_EN.pdf");
    ASSERT_GT(bytes.size(), 5u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
    const std::string text(bytes.begin(), bytes.end());
    int pages = 0;
    for (size_t at = text.find("/Type /Page"); at != std::string::npos; at = text.find("/Type /Page", at + 1))
        if (text.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    EXPECT_GE(pages, 3);
}

// A strip loaded for pixel checks; frames are read premultiplied, alpha in the top byte.
class Strip
{
public:
    Strip(const std::string& name, int frameHeight)
        : m_surface(cairo_image_surface_create_from_png((kResources + "/" + name).c_str()), cairo_surface_destroy),
          m_frameHeight(frameHeight)
    {
    }
    bool loaded() const { return cairo_surface_status(m_surface.get()) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(m_surface.get()); }
    int frames() const { return cairo_image_surface_get_height(m_surface.get()) / m_frameHeight; }
    int frameHeight() const { return m_frameHeight; }
    uint32_t pixel(int frame, int x, int y) const
    {
        const unsigned char* data = cairo_image_surface_get_data(m_surface.get());
        const int stride = cairo_image_surface_get_stride(m_surface.get());
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(frame * m_frameHeight + y) * stride);
        return row[x];
    }
    bool framesEqual(int a, int b) const
    {
        for (int y = 0; y < m_frameHeight; ++y)
            for (int x = 0; x < width(); ++x)
                if (pixel(a, x, y) != pixel(b, x, y))
                    return false;
        return true;
    }

private:
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> m_surface;
    int m_frameHeight;
};

struct Centroid
{
    double x = 0, y = 0;
};

// Alpha-weighted centre of a frame: the outline of a round part does not move as it turns.
Centroid alphaCentroid(const Strip& s, int frame)
{
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < s.frameHeight(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const double a = s.pixel(frame, x, y) >> 24;
            sum += a;
            sx += a * x;
            sy += a * y;
        }
    return {sx / sum, sy / sum};
}

// Centre of the cream pointer paint (warmer than the knob's aluminium insert).
Centroid pointerCentroid(const Strip& s, int frame)
{
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < s.frameHeight(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const uint32_t p = s.pixel(frame, x, y);
            const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            if ((p >> 24) == 0xff && r > 140 && g > 0.9 * r && b < 0.88 * r) {
                sum += 1;
                sx += x + 0.5; // pixel centres
                sy += y + 0.5;
            }
        }
    return {sx / sum, sy / sum};
}

TEST(GeneratedFiles, TurningPartsStayCentredAndNeverRepeatAFrame)
{
    struct Case
    {
        const char* name;
        int frameHeight;
    };
    for (const Case c : {Case{"ol_knob1.png", 86}, Case{"sv_knob1.png", 59}, Case{"screw.png", 32},
                         Case{"ol_knob2.png", 86}, Case{"sv_knob2.png", 59}, Case{"ol_meter.png", 61},
                         Case{"sv_meter.png", 45}, Case{"switch.png", 47}}) {
        SCOPED_TRACE(c.name);
        const Strip strip(c.name, c.frameHeight);
        ASSERT_TRUE(strip.loaded());
        const Centroid first = alphaCentroid(strip, 0);
        for (int k = 1; k < strip.frames(); ++k) {
            EXPECT_FALSE(strip.framesEqual(k - 1, k)) << "frame " << k << " repeats the one before";
            if (std::string(c.name).find("knob1") != std::string::npos || std::string(c.name) == "screw.png") {
                const Centroid now = alphaCentroid(strip, k);
                EXPECT_NEAR(now.x, first.x, 0.05) << "frame " << k;
                EXPECT_NEAR(now.y, first.y, 0.05) << "frame " << k;
            }
        }
    }
}

TEST(GeneratedFiles, KnobPointerTurnsEvenlyFromStopToStop)
{
    constexpr double kPi = 3.14159265358979323846;
    for (const auto& [name, frameHeight] : {std::pair{"ol_knob1.png", 86}, std::pair{"sv_knob1.png", 59}}) {
        SCOPED_TRACE(name);
        const Strip strip(name, frameHeight);
        ASSERT_TRUE(strip.loaded());
        const double cx = strip.width() / 2.0, cy = frameHeight / 2.0;
        for (int k = 0; k < strip.frames(); k += 5) {
            const Centroid p = pointerCentroid(strip, k);
            const double measured = std::atan2(p.x - cx, cy - p.y) * 180.0 / kPi;
            EXPECT_NEAR(measured, ControlArtwork::knobAngle(k, strip.frames()), 2.0) << "frame " << k;
        }
    }
}

TEST(GeneratedFiles, MeterNeedleStandsOnItsScalePositionInEveryFrame)
{
    constexpr double kPi = 3.14159265358979323846;
    for (const auto& [name, panel] : {std::pair{"sv_meter.png", MeterPanel::Compact},
                                      std::pair{"ol_meter.png", MeterPanel::Full}}) {
        SCOPED_TRACE(name);
        const MeterGeometry g = MeterFace::geometry(panel);
        const Strip strip(name, g.height);
        ASSERT_TRUE(strip.loaded());
        ASSERT_EQ(strip.frames(), MeterScale::kFrames);
        // A ring round the pivot below the numbers and above the legend: only the
        // needle is dark there.
        const double ring = 0.7 * g.scaleRadius;
        for (int k = 0; k < strip.frames(); ++k) {
            double weight = 0, angleSum = 0;
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < strip.width(); ++x) {
                    const double dx = x + 0.5 - g.pivotX, dy = g.pivotY - (y + 0.5);
                    if (std::abs(std::hypot(dx, dy) - ring) > 2.0)
                        continue;
                    const uint32_t p = strip.pixel(k, x, y);
                    const double light = (((p >> 16) & 0xff) + ((p >> 8) & 0xff) + (p & 0xff)) / 765.0;
                    if (light < 0.4) {
                        weight += 0.4 - light;
                        angleSum += (0.4 - light) * std::atan2(dx, dy) * 180.0 / kPi;
                    }
                }
            ASSERT_GT(weight, 0.0) << "no needle in frame " << k;
            EXPECT_NEAR(angleSum / weight, MeterScale::angleForPosition(MeterScale::positionOfFrame(k)), 0.7)
                << "frame " << k;
        }
    }
}

} // namespace
