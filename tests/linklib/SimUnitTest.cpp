#include "sim/SimUnit.h"

#include <gtest/gtest.h>

namespace sernox {
namespace {

TEST(SimUnitFaults, RefusedWritesLeaveTheStoreAlone)
{
    SimUnit unit;
    unit.RefuseNextWrites(2);
    EXPECT_FALSE(unit.WriteValue(5, 1));
    EXPECT_FALSE(unit.WriteValue(5, 2));
    EXPECT_TRUE(unit.WriteValue(5, 3));
    EXPECT_EQ(unit.StoredElement(5), 3);

    unit.RefuseWritesOf(26);
    EXPECT_FALSE(unit.WriteValue(26, 1));
    EXPECT_FALSE(unit.WriteValue(50331674, 1)) << "bit-field codes are parameter 26 too";
    EXPECT_TRUE(unit.WriteCell(526, 0, 0, 7));
    unit.RefuseWritesOf(26, false);
    EXPECT_TRUE(unit.WriteValue(26, 1));

    unit.RefuseAllWrites(true);
    EXPECT_FALSE(unit.WriteRow(82702, 0, std::vector<int32_t>(20, 9)));
    EXPECT_EQ(unit.StoredElement(14, 0), 7);
}

TEST(SimUnitFaults, FailedReadsAreNotALostLink)
{
    SimUnit unit;
    unit.FailReads(true);
    int32_t value = 0;
    std::vector<int32_t> block;
    std::vector<uint8_t> live;
    uint8_t id[4];
    EXPECT_FALSE(unit.ReadValue(5, value));
    EXPECT_FALSE(unit.ReadBlock(82700, block));
    EXPECT_FALSE(unit.ReadLive(0, live));
    EXPECT_FALSE(unit.Identify(id));
    EXPECT_TRUE(unit.Alive());
    EXPECT_TRUE(unit.Open());
}

TEST(SimUnitFaults, DroppedLinkAnswersNothing)
{
    SimUnit unit;
    unit.DropLink();
    int32_t value = 0;
    EXPECT_FALSE(unit.Alive());
    EXPECT_FALSE(unit.Open());
    EXPECT_FALSE(unit.ReadValue(5, value));
    EXPECT_FALSE(unit.WriteValue(5, 1));
    unit.RestoreLink();
    EXPECT_TRUE(unit.ReadValue(5, value));
}

TEST(SimUnitConfig, ReadyStatusAfterConfiguredPollsRestartsOnOpen)
{
    SimUnit unit(SimConfig{.readyAfterPolls = 3});
    const auto poll = [&] {
        int32_t status = -1;
        EXPECT_TRUE(unit.ReadValue(2, status));
        return status;
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(poll(), SimUnit::kReady);
    EXPECT_EQ(poll(), SimUnit::kReady);
    EXPECT_EQ(poll(), SimUnit::kReady);
    unit.Open();
    EXPECT_NE(poll(), SimUnit::kReady);
}

TEST(SimUnitConfig, IdentificationCompatibilityAndStatusFlags)
{
    SimUnit plain;
    uint8_t id[4] = {};
    ASSERT_TRUE(plain.Identify(id));
    EXPECT_EQ(std::vector<uint8_t>(id, id + 4), (std::vector<uint8_t>{8, 1, 1, 15}));
    uint8_t flags = 0xFF;
    ASSERT_TRUE(plain.StatusFlags(flags));
    EXPECT_EQ(flags & 4, 0);

    SimUnit configured(SimConfig{.identification = {8, 1, 65, 18},
                                 .compatibility588 = 0x8406,
                                 .compatibility594 = 0x0406,
                                 .petrolMapBlocked = true});
    int32_t a = 0, b = 0;
    EXPECT_TRUE(configured.ReadValue(588, a));
    EXPECT_TRUE(configured.ReadValue(594, b));
    EXPECT_EQ(a, 0x8406);
    EXPECT_EQ(b, 0x0406);
    ASSERT_TRUE(configured.StatusFlags(flags));
    EXPECT_EQ(flags & 4, 4);
    ASSERT_TRUE(configured.Identify(id));
    EXPECT_EQ(id[3], 18);
}

TEST(SimUnitConfig, StartsWithTheResetConfigurationAndARunnableGasMap)
{
    SimUnit unit;
    std::string name;
    for (int i = 2; i < 20 && unit.StoredElement(53, i) != 0; ++i)
        name += static_cast<char>(unit.StoredElement(53, i));
    EXPECT_EQ(name, "ResetLpg");
    EXPECT_EQ(unit.StoredElement(53, 0) & 128, 0) << "not official";
    const int cell = unit.StoredElement(14, 3 * 20 + 9);
    const int demand = EngineModel::TrueDemand(unit.StoredElement(12, 9), unit.StoredElement(13, 3));
    EXPECT_GT(cell, 0);
    EXPECT_LT(cell, demand);
}

TEST(SimUnitCounts, EveryRequestCountsWhateverItsAnswer)
{
    SimUnit unit;
    int32_t value = 0;
    std::vector<int32_t> row;
    unit.ReadValue(5, value);
    unit.ReadRow(82702, 0, row);
    unit.ReadValue(1, value); // refused, still a request
    unit.WriteValue(5, 1);
    unit.WriteValue(5, 999);
    EXPECT_EQ(unit.ReadCount(), 3);
    EXPECT_EQ(unit.WriteCount(), 2);
    EXPECT_EQ(unit.RequestCount(), 5);
    unit.ResetCounts();
    EXPECT_EQ(unit.RequestCount(), 0);
}

} // namespace
} // namespace sernox
