// The screenshot tool's picture is the screen as the user sees it: a tool
// tip shows its own light face over the panel (not a dark hole), and a menu
// the script leaves open is in the picture and is closed so the tool ends.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>

namespace {

struct Shot
{
    std::string output;
    std::string picture;
};

Shot runShot(const std::string& name, const std::string& script)
{
    const std::string dir = testing::TempDir();
    const std::string scriptPath = dir + name + ".txt";
    std::ofstream(scriptPath) << script;
    Shot shot{{}, dir + name + ".png"};
    const std::string command = std::string("'") + OL7T_SHOT + "' --signal 0 --script '" + scriptPath + "' --out '" +
                                shot.picture + "' 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            shot.output += buffer;
        pclose(pipe);
    }
    return shot;
}

class ShotPicture : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (set DISPLAY)";
    }
};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface load(const std::string& path)
{
    return Surface(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy);
}

uint32_t pixel(cairo_surface_t* s, int x, int y)
{
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
}

int luma(uint32_t rgb)
{
    return static_cast<int>(((rgb >> 16) & 0xFF) * 3 + ((rgb >> 8) & 0xFF) * 6 + (rgb & 0xFF)) / 10;
}

TEST_F(ShotPicture, AToolTipShowsItsFaceOverThePanel)
{
    const Shot plain = runShot("shot-plain", "move 5 5\n");
    const Shot tip = runShot("shot-tip", "move 246 135\nwait 1200\n");
    ASSERT_NE(tip.output.find("(765 x 212)"), std::string::npos) << tip.output;
    const Surface a = load(plain.picture);
    const Surface b = load(tip.picture);
    ASSERT_EQ(cairo_surface_status(a.get()), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_surface_status(b.get()), CAIRO_STATUS_SUCCESS);
    // Where the pictures differ lies the tip, mostly its light face.
    int changed = 0, light = 0;
    for (int y = 0; y < 212; ++y)
        for (int x = 0; x < 765; ++x)
            if (pixel(a.get(), x, y) != pixel(b.get(), x, y)) {
                ++changed;
                light += luma(pixel(b.get(), x, y)) > 200;
            }
    EXPECT_GT(changed, 200);
    EXPECT_GT(light * 2, changed);
}

TEST_F(ShotPicture, AMenuLeftOpenIsInThePictureAndClosedAfterwards)
{
    const Shot menu = runShot("shot-menu", "move 746 19\ndown 1\nup 1\nwait 400\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(menu.output, m, std::regex(R"(wrote .* \(([0-9]+) x ([0-9]+)\))"))) << menu.output;
    // The options menu opens at the panel's right edge and reaches past it.
    EXPECT_GT(std::stoi(m[1]), 765);
}

} // namespace
