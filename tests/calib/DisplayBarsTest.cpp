#include "calib/DisplayBars.h"

#include "calib/LiveFrame.h"

#include <gtest/gtest.h>

using namespace vapora;

TEST(DisplayPressure, LpgBandIs74To76Inclusive)
{
    const DisplayPressureBand lpg = DisplayPressureBandFor(false);
    EXPECT_DOUBLE_EQ(lpg.coefficient, 1.8);
    EXPECT_EQ(DisplayPressureZoneFor(73, lpg), DisplayPressureZone::Low);
    EXPECT_EQ(DisplayPressureZoneFor(74, lpg), DisplayPressureZone::Ok);
    EXPECT_EQ(DisplayPressureZoneFor(75, lpg), DisplayPressureZone::Ok);
    EXPECT_EQ(DisplayPressureZoneFor(76, lpg), DisplayPressureZone::Ok);
    EXPECT_EQ(DisplayPressureZoneFor(77, lpg), DisplayPressureZone::High);
    // No reading lights the low segment.
    EXPECT_EQ(DisplayPressureZoneFor(0, lpg), DisplayPressureZone::Low);
}

TEST(DisplayPressure, CngBandIs124To126Inclusive)
{
    const DisplayPressureBand cng = DisplayPressureBandFor(true);
    EXPECT_DOUBLE_EQ(cng.coefficient, 2.4);
    EXPECT_EQ(DisplayPressureZoneFor(123, cng), DisplayPressureZone::Low);
    EXPECT_EQ(DisplayPressureZoneFor(124, cng), DisplayPressureZone::Ok);
    EXPECT_EQ(DisplayPressureZoneFor(126, cng), DisplayPressureZone::Ok);
    EXPECT_EQ(DisplayPressureZoneFor(127, cng), DisplayPressureZone::High);
    EXPECT_EQ(DisplayPressureZoneFor(75, cng), DisplayPressureZone::Low);
}

TEST(DisplayBars, SpeedFillsHalfAt3000AndAllFrom6000)
{
    EXPECT_EQ(SpeedBarLength(400, 0), 0);
    EXPECT_EQ(SpeedBarLength(400, 3000), 200);
    EXPECT_EQ(SpeedBarLength(400, 6000), 400);
    EXPECT_EQ(SpeedBarLength(400, 9000), 400);
    EXPECT_EQ(SpeedBarLength(401, 3000), 200); // truncated
    EXPECT_EQ(SpeedBarLength(0, 3000), 0);
}

TEST(DisplayBars, LambdaSpanAndOffsetFollowTheProbeType)
{
    EXPECT_DOUBLE_EQ(DisplayLambdaScaleFor(1).span, 5.0);
    EXPECT_DOUBLE_EQ(DisplayLambdaScaleFor(2).span, 5.0);
    EXPECT_DOUBLE_EQ(DisplayLambdaScaleFor(0).span, 1.0);
    EXPECT_DOUBLE_EQ(DisplayLambdaScaleFor(7).span, 1.0);
    const DisplayLambdaScale t3 = DisplayLambdaScaleFor(3);
    EXPECT_DOUBLE_EQ(t3.span, 1.6);
    EXPECT_DOUBLE_EQ(t3.offset, 0.8);
    // 1.6 V on a 0.8 + 1.6 V bar is half of it.
    EXPECT_EQ(LambdaBarLength(400, 1.6, t3, false), 200);
    EXPECT_EQ(LambdaBarLength(400, 0.5, t3, false), 0); // below the offset
    EXPECT_EQ(LambdaBarLength(400, 3.0, t3, false), 400);
}

TEST(DisplayBars, DirectionBitTurnsTheLambdaBarRound)
{
    const DisplayLambdaScale narrow = DisplayLambdaScaleFor(0);
    EXPECT_EQ(LambdaBarLength(300, 0.0, narrow, true), 300);
    EXPECT_EQ(LambdaBarLength(300, 1.0, narrow, true), 0);
    EXPECT_EQ(LambdaBarLength(300, 0.0, narrow, false), 0);
    EXPECT_EQ(LambdaBarLength(300, 0.5, narrow, false), 150);

    EXPECT_TRUE(LambdaIsGreen(0.8, 0.45, true));
    EXPECT_FALSE(LambdaIsGreen(0.2, 0.45, true));
    EXPECT_TRUE(LambdaIsGreen(0.2, 0.45, false));
    EXPECT_FALSE(LambdaIsGreen(0.45, 0.45, false)); // at the threshold neither side
}

TEST(DisplayBars, ThrottleSegmentFromTheEngineFlags)
{
    EXPECT_EQ(DisplayTpsSegmentFor(0), DisplayTpsSegment::Middle);
    EXPECT_EQ(DisplayTpsSegmentFor(kEngineIdle), DisplayTpsSegment::Min);
    EXPECT_EQ(DisplayTpsSegmentFor(kEngineIdle | kEngineTpsHigh), DisplayTpsSegment::Min);
    EXPECT_EQ(DisplayTpsSegmentFor(kEngineTpsHigh), DisplayTpsSegment::Upper);
    EXPECT_EQ(DisplayTpsSegmentFor(kEngineCutoff), DisplayTpsSegment::Middle);
}

TEST(DisplayBars, VoltsTextsKeepTwoDigitsBelowOneVoltAndThreeAbove)
{
    EXPECT_EQ(FormatDisplayVolts(0), "0");
    EXPECT_EQ(FormatDisplayVolts(0.8039), "0.8");
    EXPECT_EQ(FormatDisplayVolts(0.456), "0.46");
    EXPECT_EQ(FormatDisplayVolts(2.3529), "2.35");
    EXPECT_EQ(FormatDisplayVolts(5.0), "5");
}
