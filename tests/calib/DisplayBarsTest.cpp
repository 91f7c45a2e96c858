#include "calib/DisplayBars.h"

#include "calib/LiveFrame.h"

#include <gtest/gtest.h>

using namespace vapora;

TEST(DisplayPressure, LpgBandIs74To76Inclusive)
{
    const PressureBand lpg = PressureBandFor(false);
    EXPECT_DOUBLE_EQ(lpg.coefficient, 1.8);
    EXPECT_EQ(PressureZoneFor(73, lpg), PressureZone::Low);
    EXPECT_EQ(PressureZoneFor(74, lpg), PressureZone::Ok);
    EXPECT_EQ(PressureZoneFor(75, lpg), PressureZone::Ok);
    EXPECT_EQ(PressureZoneFor(76, lpg), PressureZone::Ok);
    EXPECT_EQ(PressureZoneFor(77, lpg), PressureZone::High);
    // No reading lights the low segment.
    EXPECT_EQ(PressureZoneFor(0, lpg), PressureZone::Low);
}

TEST(DisplayPressure, CngBandIs124To126Inclusive)
{
    const PressureBand cng = PressureBandFor(true);
    EXPECT_DOUBLE_EQ(cng.coefficient, 2.4);
    EXPECT_EQ(PressureZoneFor(123, cng), PressureZone::Low);
    EXPECT_EQ(PressureZoneFor(124, cng), PressureZone::Ok);
    EXPECT_EQ(PressureZoneFor(126, cng), PressureZone::Ok);
    EXPECT_EQ(PressureZoneFor(127, cng), PressureZone::High);
    EXPECT_EQ(PressureZoneFor(75, cng), PressureZone::Low);
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
    EXPECT_DOUBLE_EQ(LambdaScaleFor(1).span, 5.0);
    EXPECT_DOUBLE_EQ(LambdaScaleFor(2).span, 5.0);
    EXPECT_DOUBLE_EQ(LambdaScaleFor(0).span, 1.0);
    EXPECT_DOUBLE_EQ(LambdaScaleFor(7).span, 1.0);
    const LambdaScale t3 = LambdaScaleFor(3);
    EXPECT_DOUBLE_EQ(t3.span, 1.6);
    EXPECT_DOUBLE_EQ(t3.offset, 0.8);
    // 1.6 V on a 0.8 + 1.6 V bar is half of it.
    EXPECT_EQ(LambdaBarLength(400, 1.6, t3, false), 200);
    EXPECT_EQ(LambdaBarLength(400, 0.5, t3, false), 0); // below the offset
    EXPECT_EQ(LambdaBarLength(400, 3.0, t3, false), 400);
}

TEST(DisplayBars, DirectionBitTurnsTheLambdaBarRound)
{
    const LambdaScale narrow = LambdaScaleFor(0);
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
    EXPECT_EQ(TpsSegmentFor(0), TpsSegment::Middle);
    EXPECT_EQ(TpsSegmentFor(kEngineIdle), TpsSegment::Min);
    EXPECT_EQ(TpsSegmentFor(kEngineIdle | kEngineTpsHigh), TpsSegment::Min);
    EXPECT_EQ(TpsSegmentFor(kEngineTpsHigh), TpsSegment::Upper);
    EXPECT_EQ(TpsSegmentFor(kEngineCutoff), TpsSegment::Middle);
}

TEST(DisplayBars, VoltsTextsKeepTwoDigitsBelowOneVoltAndThreeAbove)
{
    EXPECT_EQ(FormatDisplayVolts(0), "0");
    EXPECT_EQ(FormatDisplayVolts(0.8039), "0.8");
    EXPECT_EQ(FormatDisplayVolts(0.456), "0.46");
    EXPECT_EQ(FormatDisplayVolts(2.3529), "2.35");
    EXPECT_EQ(FormatDisplayVolts(5.0), "5");
}
