// What the Windows layer's window tests share: GDI+ running for each test and
// a message pump that waits for a condition.
#pragma once

#include <gtest/gtest.h>

#include "pal/PalRunLoop.h"

#include <chrono>
#include <functional>

namespace ZVNPal::Testing {

class GraphicsRuntime : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartGraphicsRuntime()); }
    void TearDown() override { ShutdownGraphicsRuntime(); }

    // Pumps messages until the condition holds or a generous time passed.
    static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            RunEventLoop(5);
        }
        return true;
    }
};

} // namespace ZVNPal::Testing
