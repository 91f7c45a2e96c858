// What the calibrations rely on in the simulated engine: a probe that holds
// each side for a few frames at balance, a reducer that reads mid-band, and
// a drive cycle that comes round again.

#include "sim/SimUnit.h"

#include <gtest/gtest.h>

namespace sernox {
namespace {

int DifferentialKpa(const std::vector<uint8_t>& b, double coefficient)
{
    auto kpa = [](int raw) { return raw * 1000 / 1020 + 10; };
    return static_cast<int>((kpa(b[5]) - 100) - (kpa(b[4]) - 100) * coefficient);
}

std::vector<uint8_t> Read(SimUnit& unit, int steps)
{
    std::vector<uint8_t> block;
    for (int i = 0; i < steps; ++i)
        EXPECT_TRUE(unit.ReadLive(0, block));
    return block;
}

TEST(DriveCycle, ProbeHoldsEachSideForThePeriodAtBalance)
{
    SimUnit unit;
    unit.engine().SetScenario({{2000, 60, 40, 10}, {1600, 60, 28, 0}}); // on gas, then hold
    Read(unit, 200);
    int run = 0;
    int shortest = 1000;
    int switches = 0;
    uint8_t last = Read(unit, 1)[2];
    for (int i = 0; i < 120; ++i) {
        const uint8_t probe = Read(unit, 1)[2];
        ++run;
        if (probe != last) {
            if (switches > 0) // the first run began before the count did
                shortest = std::min(shortest, run);
            run = 0;
            ++switches;
        }
        last = probe;
    }
    EXPECT_GE(switches, 20) << "it still switches regularly";
    EXPECT_GE(shortest, EngineModel::kIntegratorPeriod);
}

TEST(DriveCycle, ReducerReadsMidBandForTheFuel)
{
    SimUnit unit;
    for (int map : {28, 43, 57, 85}) {
        unit.engine().SetTarget(2000, 80, map);
        const auto block = Read(unit, 60);
        EXPECT_NEAR(DifferentialKpa(block, 1.8), EngineModel::kReducerLpg, 1) << map;
    }
    unit.StoreElement(53, 0, 64); // methane
    EXPECT_NEAR(DifferentialKpa(Read(unit, 5), 2.4), EngineModel::kReducerCng, 1);
    unit.engine().SetReducerPressure(60);
    EXPECT_LT(DifferentialKpa(Read(unit, 5), 2.4), 124) << "a reducer set low shows low";
}

TEST(DriveCycle, DefaultCycleIdlesHolds1600DrivesAndComesBack)
{
    SimUnit unit;
    std::vector<uint8_t> block;
    std::vector<int> rpm;
    for (int i = 0; i < 2 * 830; ++i) {
        ASSERT_TRUE(unit.ReadLive(0, block));
        rpm.push_back(block[0] | (block[1] << 8));
    }
    EXPECT_EQ(rpm[200], EngineModel::kIdleRpm);
    EXPECT_EQ(rpm[350], 1600);
    EXPECT_EQ(rpm[470], 1850);
    EXPECT_EQ(rpm[590], 2450);
    EXPECT_EQ(rpm[710], 3100);
    EXPECT_EQ(rpm[830], 2150);
    EXPECT_EQ(rpm[1030], EngineModel::kIdleRpm) << "round again";
    EXPECT_EQ(rpm[1180], 1600);
}

} // namespace
} // namespace sernox
