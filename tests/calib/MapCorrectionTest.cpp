#include "calib/MapCorrection.h"
#include "model/ConfCar.h"

#include <gtest/gtest.h>

using namespace vapora;

namespace {

RpmBreakpoints Spaced(int first, int step)
{
    RpmBreakpoints b{};
    for (int i = 0; i < kRpmColumns; ++i)
        b[i] = first + i * step;
    return b;
}

// 450 ... 6500: the simulated unit's default breakpoints.
const RpmBreakpoints kDefault{450, 550, 650, 800, 950, 1150, 1350, 1600, 1850, 2150,
                              2450, 2750, 3100, 3500, 3900, 4350, 4850, 5350, 5900, 6500};

TEST(GuidedColumns, SpeedBelongsToTheColumnBelowTheFirstHigherMidpoint)
{
    EXPECT_EQ(GuidedColumnFor(kDefault, 850), 3);
    EXPECT_EQ(GuidedColumnFor(kDefault, 1600), 7);
    EXPECT_EQ(GuidedColumnFor(kDefault, 100), 0);
    EXPECT_EQ(GuidedColumnFor(kDefault, 9000), 19) << "past every midpoint: the last column, not the first";
}

TEST(GuidedColumns, IdleOnlyFormBlendsFromIdleToZeroAt1600)
{
    const auto add = GuidedColumnDeltas(kDefault, 12, 850, 0, 1600);
    for (int c = 0; c <= 3; ++c)
        EXPECT_EQ(add[c], 12) << c;
    EXPECT_EQ(add[4], 10); // (950-850) * -12 / 750 + 12 = 10.4
    EXPECT_EQ(add[5], 7);  // 7.2
    EXPECT_EQ(add[6], 4);
    for (int c = 7; c < kRpmColumns; ++c)
        EXPECT_EQ(add[c], 0) << c;
}

TEST(GuidedColumns, EqualSpeedsDoNotDivideByZero)
{
    const auto b = Spaced(1000, 0); // every breakpoint equal
    const auto add = GuidedColumnDeltas(b, 5, 1000, -3, 1000);
    for (int c = 0; c < kRpmColumns; ++c)
        EXPECT_TRUE(add[c] == 5 || add[c] == -3) << c;
    const auto rising = GuidedColumnDeltas(kDefault, 5, 1600, -3, 1600);
    EXPECT_EQ(rising[7], 5) << "the idle value wins where the columns meet";
    EXPECT_EQ(rising[8], -3);
}

TEST(RoadDeltas, WeightsFollowTheSampleCount)
{
    std::array<float, kRpmColumns> m{};
    std::array<int, kRpmColumns> n{};
    m[8] = 10;
    n[8] = 1;
    EXPECT_EQ(RoadColumnDeltas(kDefault, m, n).add[8], 7);
    n[8] = 4;
    EXPECT_EQ(RoadColumnDeltas(kDefault, m, n).add[8], 9);
    n[8] = 5;
    EXPECT_EQ(RoadColumnDeltas(kDefault, m, n).add[8], 10);
}

TEST(RoadDeltas, InterpolateBetweenSampledColumnsAndHoldOutside)
{
    std::array<float, kRpmColumns> m{};
    std::array<int, kRpmColumns> n{};
    m[8] = 6.0f;
    m[12] = -2.0f;
    n[8] = n[12] = 10;
    const auto d = RoadColumnDeltas(Spaced(500, 250), m, n);
    ASSERT_TRUE(d.any);
    for (int c = 0; c <= 8; ++c)
        EXPECT_EQ(d.add[c], 6) << c;
    EXPECT_EQ(d.add[9], 4);
    EXPECT_EQ(d.add[10], 2);
    EXPECT_EQ(d.add[11], 0);
    for (int c = 12; c < kRpmColumns; ++c)
        EXPECT_EQ(d.add[c], -2) << c;
}

TEST(RoadDeltas, FlatBreakpointsTakeTheLeftValueAndNoMeansChangeNothing)
{
    std::array<float, kRpmColumns> m{};
    std::array<int, kRpmColumns> n{};
    EXPECT_FALSE(RoadColumnDeltas(kDefault, m, n).any);
    m[8] = 6;
    m[12] = -2;
    n[8] = n[12] = 10;
    auto b = kDefault;
    b[12] = b[8];
    const auto d = RoadColumnDeltas(b, m, n);
    EXPECT_EQ(d.add[10], 6);
    EXPECT_EQ(d.add[12], -2);
}

TEST(AddToGasMap, SumsOutsideTheRangeKeepTheCell)
{
    ConfCar car("c.vap", nullptr);
    car.SetGasMapCell(0, 0, 505);
    car.SetGasMapCell(1, 0, 3);
    car.SetGasMapCell(2, 0, 100);
    ColumnValues add{};
    add[0] = 6;
    AddToGasMap(car, add);
    EXPECT_EQ(car.GetGasMapCell(0, 0), 505);
    EXPECT_EQ(car.GetGasMapCell(2, 0), 106);
    EXPECT_EQ(car.GetGasMapCell(1, 0), 9);
    add[0] = -10;
    AddToGasMap(car, add);
    EXPECT_EQ(car.GetGasMapCell(1, 0), 9);
    EXPECT_EQ(car.GetGasMapCell(2, 0), 96);
}

} // namespace
