// Invalidation from another thread (the audio thread moves controls) while
// the user-interface thread pumps and paints: no race, and every area asked
// for is painted.
#include "X11Harness.h"

#include "pal/CPalColor.h"
#include "pal/CPalDC.h"

#include <algorithm>
#include <atomic>
#include <thread>

using namespace ZVNPal;
using ZVNPal::Testing::X11Harness;

namespace {

// Remembers the union of every area it painted.
class PaintedArea : public CPalWindow {
public:
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    int paints = 0;
    int onPaint(IPalDC* dc, const CPalRect& dirty) override
    {
        dc->FillRect(dirty.Left(), dirty.Top(), dirty.Width(), dirty.Height(), CPalColor(0xFF203040u));
        left = std::min(left, dirty.Left()), top = std::min(top, dirty.Top());
        right = std::max(right, dirty.Right()), bottom = std::max(bottom, dirty.Bottom());
        ++paints;
        return 1;
    }
};

class PalInvalidateConcurrencyTest : public X11Harness {};

} // namespace

TEST_F(PalInvalidateConcurrencyTest, AreasInvalidatedFromAnotherThreadArePaintedByThePump)
{
    CPalWindow wrapper;
    PaintedArea window;
    Embed(wrapper, window, 0, 0, 300, 200);
    RunEventLoop(30);
    window.paints = 0;
    window.left = window.top = 1 << 20;
    window.right = window.bottom = -1;

    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 0; i < 20000; ++i)
            window.InvalidateRect(CPalRect(10 + i % 50, 20 + i % 30, 40, 30));
        done = true;
    });
    while (!done)
        PumpEvents();
    audio.join();
    PumpEvents();
    EXPECT_GE(window.paints, 1);
    // Nothing asked for is lost (a late expose may add more).
    EXPECT_LE(window.left, 10);
    EXPECT_LE(window.top, 20);
    EXPECT_GE(window.right, 10 + 49 + 40);
    EXPECT_GE(window.bottom, 20 + 29 + 30);
    window.Destroy();
    wrapper.Destroy();
}
