// Pure helpers of the map pages: completion, petrol correction, breakpoint
// order, paste text.

#include "editor/BreakpointChecks.h"
#include "editor/MapCompletion.h"
#include "editor/MapPaste.h"
#include "editor/PetrolCorrection.h"
#include "model/ConfCar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vapora {
namespace {

std::array<int, 12> Rpm()
{
    std::array<int, 12> r{};
    for (int i = 0; i < 12; ++i)
        r[i] = 800 + 500 * i; // 800 .. 6300
    return r;
}

std::array<double, 12> Load()
{
    std::array<double, 12> l{};
    for (int i = 0; i < 12; ++i)
        l[i] = 0.4 + 0.4 * i; // 0.4 .. 4.8 V
    return l;
}

TEST(MapCompletion, SingleLearnedCellIsSingular)
{
    PetrolCells out{};
    // Two points in the same cell still make one centre.
    EXPECT_FALSE(CompletePetrolCells({{1800, 1200, 2, 2, 3000}, {1850, 1250, 2, 2, 3100}}, Rpm(), Load(), out));
}

TEST(MapCompletion, SurfacePassesThroughTheCentres)
{
    // Three centres placed exactly on breakpoints, so the cells there must get v(g).
    const std::vector<LearnedSample> points{
        {1800, 1200, 2, 2, 3000}, {4300, 2400, 7, 5, 5500}, {2800, 4000, 4, 9, 8200}};
    PetrolCells out{};
    ASSERT_TRUE(CompletePetrolCells(points, Rpm(), Load(), out));
    EXPECT_EQ(out[2][2], 3000);
    EXPECT_EQ(out[5][7], 5500);
    EXPECT_EQ(out[9][4], 8200);
    // Three points give a plane: values elsewhere are finite and not negative.
    for (const auto& row : out)
        for (int v : row)
            EXPECT_GE(v, 0);
}

TEST(MapCompletion, AveragesPointsOfOneCellAndTruncatesTheValue)
{
    // Cell (2,2) holds 3000 and 3001: average 3000 (integer division), centre unchanged.
    const std::vector<LearnedSample> points{{1800, 1200, 2, 2, 3000}, {4300, 2400, 7, 5, 5500},
                                            {1800, 1200, 2, 2, 3001}, {2800, 4000, 4, 9, 8200}};
    PetrolCells out{};
    ASSERT_TRUE(CompletePetrolCells(points, Rpm(), Load(), out));
    EXPECT_EQ(out[2][2], 3000);
}

TEST(MapCompletion, ZeroLastBreakpointFailsInsteadOfDividingByZero)
{
    const std::vector<LearnedSample> points{
        {1800, 1200, 2, 2, 3000}, {4300, 2400, 7, 5, 5500}, {2800, 4000, 4, 9, 8200}};
    PetrolCells out{};
    auto rpm = Rpm();
    rpm[11] = 0;
    EXPECT_FALSE(CompletePetrolCells(points, rpm, Load(), out));
    auto load = Load();
    load[11] = 0;
    EXPECT_FALSE(CompletePetrolCells(points, Rpm(), load, out));
}

TEST(MapCompletion, WritesAllCellsOfTheRecordAndRefusesAbove25ms)
{
    ConfCar car("x.vap", nullptr);
    car.MappaBenzinaAmmessa = true;
    for (int i = 0; i < 12; ++i) {
        car.SetPetrolRpmRef(i, Rpm()[i]);
        car.SetPetrolMapRef(i, Load()[i]);
    }
    car.MappaBenzina[11][11] = 777; // the plane goes above 25 ms there: the cell keeps this
    // Learned on the breakpoints, so that the cells there reproduce the times.
    car.AddLearnedPoint(1800, car.GetPetrolMapRef(2), 3.0, 2, 2, 0);
    car.AddLearnedPoint(3800, car.GetPetrolMapRef(2), 13.0, 6, 2, 0);
    car.AddLearnedPoint(1800, car.GetPetrolMapRef(8), 5.0, 2, 8, 0);
    ASSERT_TRUE(CompletePetrolMap(car));
    EXPECT_NEAR(car.GetPetrolMapCell(2, 2), 3.0, 0.004);
    EXPECT_NEAR(car.GetPetrolMapCell(2, 6), 13.0, 0.004);
    EXPECT_NEAR(car.GetPetrolMapCell(8, 2), 5.0, 0.004);
    // Three centres give a plane: 2 ms from row 2 to row 8 along the stored voltages.
    const double perVolt = 2.0 / (car.GetPetrolMapRef(8) - car.GetPetrolMapRef(2));
    EXPECT_NEAR(car.GetPetrolMapCell(1, 2), 3.0 - perVolt * (car.GetPetrolMapRef(2) - car.GetPetrolMapRef(1)), 0.005);
    EXPECT_EQ(car.GetPetrolMapCell(0, 0), 0); // below zero: 0
    EXPECT_EQ(car.MappaBenzina[11][11], 777);
}

class PetrolCorrectionTest : public ::testing::Test {
protected:
    PetrolCorrectionTest() : car("x.vap", nullptr)
    {
        for (int i = 0; i < 12; ++i) {
            car.SetPetrolRpmRef(i, Rpm()[i]);
            car.SetPetrolMapRef(i, Load()[i]);
            for (int j = 0; j < 12; ++j)
                car.SetPetrolMapCell(j, i, 2.0 + 0.5 * i + 0.25 * j);
        }
    }
    ConfCar car;
};

TEST_F(PetrolCorrectionTest, OnTheBreakpointsComparesWithTheCell)
{
    // Cell (row 4, column 3) holds 2 + 1.5 + 1 = 4.5 ms.
    const double p = car.GetPetrolMapRef(4);
    EXPECT_EQ(PetrolCorrection(car, 3, 4, p, car.GetPetrolRpmRef(3), 4.5), 0);
    EXPECT_EQ(PetrolCorrection(car, 3, 4, p, car.GetPetrolRpmRef(3), 4.95), 100);
}

TEST_F(PetrolCorrectionTest, MeasuredAgainstMapValueInThousandths)
{
    car.SetPetrolMapCell(4, 3, 5.0);
    EXPECT_EQ(PetrolCorrection(car, 3, 4, car.GetPetrolMapRef(4), car.GetPetrolRpmRef(3), 5.5), 100);
}

TEST_F(PetrolCorrectionTest, InterpolatesBetweenNeighbours)
{
    // Half way to the next column and a quarter way down to the previous row:
    // 4.5 + 0.25 - 0.0625 = 4.6875.
    const int s = car.GetPetrolRpmRef(3) + 250;
    const double p = car.GetPetrolMapRef(4) - 0.1;
    EXPECT_EQ(PetrolCorrection(car, 3, 4, p, s, 4.6875 * 1.02), 20);
}

TEST_F(PetrolCorrectionTest, EqualNeighbouringBreakpointsOrEmptyMapGiveZero)
{
    car.RifGiriB[4] = car.RifGiriB[3];
    EXPECT_EQ(PetrolCorrection(car, 3, 4, car.GetPetrolMapRef(4), car.GetPetrolRpmRef(3) + 10, 9.0), 0);
    car.SetPetrolRpmRef(4, Rpm()[4]);
    car.RifMAPB[5] = car.RifMAPB[4];
    EXPECT_EQ(PetrolCorrection(car, 3, 4, car.GetPetrolMapRef(4) + 0.01, car.GetPetrolRpmRef(3), 9.0), 0);
    ConfCar empty("y.vap", nullptr);
    EXPECT_EQ(PetrolCorrection(empty, 0, 0, 0, 0, 3.0), 0);
}

TEST(BreakpointChecks, SpeedsMustRiseStrictly)
{
    EXPECT_EQ(FirstBadSpeedPair({1000, 1000, 1200}), 0);
    EXPECT_EQ(FirstBadSpeedPair({800, 1000, 900, 700}), 1);
    EXPECT_EQ(FirstBadSpeedPair({800, 1000, 1200}), -1);
}

TEST(BreakpointChecks, InvertedLoadsMayRepeatButNotRise)
{
    EXPECT_EQ(FirstBadLoadPair({0.5, 0.4}, false), 0);
    EXPECT_EQ(FirstBadLoadPair({0.5, 0.5}, false), 0);
    EXPECT_EQ(FirstBadLoadPair({4.5, 4.5, 4.0}, true), -1);
    EXPECT_EQ(FirstBadLoadPair({4.5, 4.0, 4.1}, true), 1);
}

TEST(MapPaste, SplitsLinesAndCountsColumnsFromTheFirstLine)
{
    const PasteText t = SplitPasteText("1\t2\t3\r\n4\n5\r");
    ASSERT_EQ(t.lines.size(), 3u);
    EXPECT_EQ(t.columns, 3);
    EXPECT_EQ(t.lines[1], "4");
    EXPECT_EQ(SplitPasteText("7\t8\r\n").lines.size(), 1u);
}

TEST(MapPaste, LineWithoutTabsFillsOnlyTheLastColumn)
{
    EXPECT_EQ(LineCells("12", 3), (std::vector<std::string>{"", "", "12"}));
    EXPECT_EQ(LineCells("1\t2\t3\t4", 3), (std::vector<std::string>{"1", "2", "3\t4"}));
}

TEST(MapPaste, NumbersThatDoNotConvertAreZero)
{
    EXPECT_EQ(ParseCellInt(" 42 "), 42);
    EXPECT_EQ(ParseCellInt("-5"), -5);
    EXPECT_EQ(ParseCellInt("4x"), 0);
    EXPECT_EQ(ParseCellInt(""), 0);
    EXPECT_EQ(ParseCellInt("99999999999"), 0);
    EXPECT_DOUBLE_EQ(ParseCellDecimal("3,52", ','), 3.52);
    EXPECT_DOUBLE_EQ(ParseCellDecimal("3.52", ','), 0);
    EXPECT_DOUBLE_EQ(ParseCellDecimal("abc", '.'), 0);
    EXPECT_EQ(FormatCellMs(3.52, ','), "3,52");
    EXPECT_EQ(FormatCellMs(0.3, '.'), "0.30");
    EXPECT_EQ(JoinCells({{"1", "2"}, {"3", "4"}}), "1\t2\r\n3\t4");
}

} // namespace
} // namespace vapora
