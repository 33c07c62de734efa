// The VU scale printed on the meter faces against the needle positions the meter
// is driven to.
#include "MeterScale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int frameOf(double position) { return int((MeterScale::kFrames - 1) * position + 0.5); }

TEST(MeterScale, ReadingsLandOnTheRightPositions)
{
    struct Case
    {
        MeterPanel panel;
        double reductionDb;
        double position;
    };
    const Case cases[] = {
        {MeterPanel::Full, 0.0, 0.6391},   {MeterPanel::Compact, 0.0, 0.63},   // rest mark
        {MeterPanel::Full, 20.0, 0.0},     {MeterPanel::Compact, 20.0, 0.0},   // left stop
        {MeterPanel::Full, 40.0, 0.0},     {MeterPanel::Full, 10.0, 0.1002},
        {MeterPanel::Full, 3.0, 0.3838},   {MeterPanel::Full, -3.0, 0.64},    // the needle ceiling
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reductionDb);
        EXPECT_NEAR(MeterScale(c.panel).positionForReduction(c.reductionDb), c.position, 2e-4);
    }
    EXPECT_NEAR(MeterScale::positionForLevel(0.0), 0.6226, 2e-4);
    EXPECT_NEAR(MeterScale::positionForLevel(3.0), 1.0, 1e-4);
}

TEST(MeterScale, PrintedZeroIsWhereTheIdleNeedleSettles)
{
    // The needle settles on the rest target 0.64 (full) or 0.63 (compact) when no
    // audio arrives; the face's 0 must lie in that frame.
    EXPECT_EQ(frameOf(MeterScale(MeterPanel::Full).positionForReduction(0.0)), frameOf(0.64f));
    EXPECT_EQ(frameOf(MeterScale(MeterPanel::Compact).positionForReduction(0.0)), frameOf(0.63f));
}

TEST(MeterScale, MarksRunLeftToRightAcrossTheWholeSweep)
{
    for (MeterPanel panel : {MeterPanel::Full, MeterPanel::Compact}) {
        const auto marks = MeterScale(panel).marks();
        ASSERT_GE(marks.size(), 8u);
        EXPECT_EQ(marks.front().db, -20);
        EXPECT_NEAR(marks.front().position, 0.0, 1e-6);
        EXPECT_EQ(marks.back().db, 3);
        EXPECT_NEAR(marks.back().position, 1.0, 1e-4);
        for (size_t i = 1; i < marks.size(); ++i) {
            EXPECT_GT(marks[i].db, marks[i - 1].db);
            EXPECT_GT(marks[i].position, marks[i - 1].position + 0.02) << "marks " << i - 1 << " and " << i;
        }
    }
    EXPECT_NEAR(MeterScale::angleForPosition(0.0), -45.0, 1e-9);
    EXPECT_NEAR(MeterScale::angleForPosition(1.0), 45.0, 1e-9);
}

} // namespace
