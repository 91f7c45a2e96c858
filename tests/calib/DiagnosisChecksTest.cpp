#include "calib/DiagnosisChecks.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vapora;

namespace {

std::array<bool, kDiagChecks> Visible(bool kind2, bool twoProbes)
{
    std::array<bool, kDiagChecks> v{};
    for (int n = 1; n <= kDiagChecks; ++n)
        v[n - 1] = DiagCheckVisible(n, kind2, twoProbes);
    return v;
}

std::array<int, kDiagChecks> DesignTops()
{
    std::array<int, kDiagChecks> t{};
    for (int i = 0; i < kDiagChecks; ++i)
        t[i] = 100 + 31 * i; // 100 .. 410
    return t;
}

} // namespace

TEST(DiagnosisChecks, VisibilityByModelAndProbes)
{
    auto count = [](const std::array<bool, kDiagChecks>& v) { return std::count(v.begin(), v.end(), true); };
    EXPECT_EQ(count(Visible(false, false)), 7);
    EXPECT_EQ(count(Visible(true, false)), 8);
    EXPECT_EQ(count(Visible(false, true)), 10);
    EXPECT_TRUE(Visible(true, false)[7]);
    EXPECT_FALSE(Visible(false, true)[7]);
    EXPECT_FALSE(DiagCheckVisible(0, true, true));
    EXPECT_FALSE(DiagCheckVisible(12, true, true));
}

TEST(DiagnosisChecks, SevenChecksSpreadOverTheWholeColumn)
{
    const auto tops = LayoutDiagChecks(Visible(false, false), DesignTops());
    // (410 - 100) / 6 = 51 in integer division.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(tops[i], 100 + 51 * i) << "check " << i + 1;
}

TEST(DiagnosisChecks, HiddenChecksAreSkippedInTheSpacing)
{
    const auto tops = LayoutDiagChecks(Visible(false, true), DesignTops()); // 1-7, 9-11
    EXPECT_EQ(tops[6], 100 + 34 * 6);
    EXPECT_EQ(tops[8], 100 + 34 * 7);
    EXPECT_EQ(tops[10], 100 + 34 * 9);
}

TEST(DiagnosisChecks, OneVisibleCheckDoesNotDivideByZero)
{
    std::array<bool, kDiagChecks> one{};
    one[0] = true;
    EXPECT_EQ(LayoutDiagChecks(one, DesignTops())[0], 100);
    std::array<bool, kDiagChecks> none{};
    EXPECT_EQ(LayoutDiagChecks(none, DesignTops()), DesignTops());
}

TEST(DiagnosisChecks, EnableAndErrorWords)
{
    EXPECT_EQ(EnableWordAfterClick(0x0F, 0x10, true), 0x1F);
    EXPECT_EQ(EnableWordAfterClick(0x1F, 0x10, false), 0x0F);
    EXPECT_EQ(EnableWordAfterClick(0x0F, 0x10, false), 0x0F);
    EXPECT_EQ(ErrorWordBeforeDisable(0x0410, 0x10), 0x0400);
}

TEST(DiagnosisChecks, OperatingTimeInHoursAndMinutes)
{
    EXPECT_EQ(FormatOperatingTime(125, "ore", "minuti"), "2 ore, 5 minuti");
    EXPECT_EQ(FormatOperatingTime(59, "ore", "minuti"), "0 ore, 59 minuti");
    EXPECT_EQ(FormatOperatingTime(0, "h", "min"), "0 h, 0 min");
    EXPECT_EQ(FormatOperatingTime(65535 * 20, "ore", "minuti"), "21845 ore, 0 minuti");
}
