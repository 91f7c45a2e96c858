#include "sim/SimUnit.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace sernox {
namespace {

struct UnitKind {
    uint8_t model;
    uint8_t version;
    int32_t flag1;
    size_t engineLength;
};

class LiveBlockLength : public ::testing::TestWithParam<UnitKind> {};

TEST_P(LiveBlockLength, FollowsTheUnitKind)
{
    const auto kind = GetParam();
    SimUnit unit(SimConfig{.identification = {8, 1, kind.model, kind.version}});
    unit.StoreElement(3, 0, kind.flag1);
    std::vector<uint8_t> engine, status;
    ASSERT_TRUE(unit.ReadLive(0, engine));
    ASSERT_TRUE(unit.ReadLive(1, status));
    EXPECT_EQ(engine.size(), kind.engineLength);
    EXPECT_EQ(status.size(), 3u);
    EXPECT_EQ((status[2] & 4) != 0, kind.engineLength == 16) << "probe 2 enabled with two probes";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LiveBlockLength,
    ::testing::Values(UnitKind{1, 15, 0, 16},    // two probes fitted
                      UnitKind{1, 15, 4, 12},    // one probe on a newer unit
                      UnitKind{1, 11, 4, 16},    // old software ignores the flag
                      UnitKind{0x41, 18, 0, 16}, // high bits are not the model
                      UnitKind{3, 15, 0, 15},
                      UnitKind{3, 15, 4, 15},
                      UnitKind{2, 15, 0, 12}));

int Word(const std::vector<uint8_t>& b, int at) { return b[at] | (b[at + 1] << 8); }
int Correction(const std::vector<uint8_t>& b) { return static_cast<int8_t>(b[6]); }

// Holds a running point that sits exactly on RifGiri[9] and RifMAP[3].
class EngineLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        rpm = unit.StoredElement(12, 9);
        map = unit.StoredElement(13, 3);
        unit.engine().SetTarget(rpm, 100, map);
    }

    std::vector<uint8_t> Run(int steps)
    {
        std::vector<uint8_t> block;
        for (int i = 0; i < steps; ++i)
            EXPECT_TRUE(unit.ReadLive(0, block));
        return block;
    }

    void SetCell(int percentOfDemand)
    {
        unit.StoreElement(14, 3 * 20 + 9, EngineModel::TrueDemand(rpm, map) * percentOfDemand / 100);
    }

    SimUnit unit;
    int rpm = 0;
    int map = 0;
};

TEST_F(EngineLoop, FrameCarriesTheRunningPointLittleEndian)
{
    const auto block = Run(60);
    EXPECT_EQ(Word(block, 0), rpm);
    EXPECT_EQ(block[4], map);
    EXPECT_EQ(block[3], 100);
    std::vector<uint8_t> status;
    ASSERT_TRUE(unit.ReadLive(1, status));
    EXPECT_EQ(status[2] & 8, 8) << "warm and past the changeover speed: on gas";
    EXPECT_GT(block[5], 5) << "gas pressure reads on gas";
}

TEST_F(EngineLoop, CorrectionSettlesAtZeroOnlyWhenTheMapMeetsTheDemand)
{
    SetCell(100);
    EXPECT_LE(std::abs(Correction(Run(150))), 1);

    SetCell(80); // lean cell: the unit has to add about 25%
    const int lean = Correction(Run(150));
    EXPECT_GE(lean, 20);

    SetCell(125); // rich cell: about -20%
    EXPECT_LE(Correction(Run(150)), -15);

    SetCell(100); // calibrated: back toward zero
    EXPECT_LE(std::abs(Correction(Run(150))), 1);
}

TEST_F(EngineLoop, CorrectionStaysWithinTheUnitsLimits)
{
    SetCell(50);
    unit.StoreElement(38, 0, 30);
    EXPECT_EQ(Correction(Run(200)), 30);
}

TEST(EngineChangeover, ColdEngineStaysOnPetrol)
{
    SimUnit unit;
    unit.engine().SetReducerTemperature(200);
    unit.engine().SetTarget(3000, 100, 57);
    std::vector<uint8_t> block, status;
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(unit.ReadLive(0, block));
    ASSERT_TRUE(unit.ReadLive(1, status));
    EXPECT_EQ(status[2] & 8, 0);
    EXPECT_EQ(Correction(block), 0);
}

TEST(EngineChangeover, DefaultScenarioEndsAtIdleOnGas)
{
    SimUnit unit;
    std::vector<uint8_t> block, status;
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(unit.ReadLive(0, block));
    ASSERT_TRUE(unit.ReadLive(1, status));
    EXPECT_EQ(Word(block, 0), EngineModel::kIdleRpm);
    EXPECT_EQ(block[11] & 1, 1) << "throttle at idle";
    EXPECT_EQ(status[2] & 8, 8);
}

} // namespace
} // namespace sernox
