#include "calib/RoadCalibration.h"

#include <gtest/gtest.h>

using namespace vapora;

namespace {

const RpmBreakpoints kBreakpoints{450, 550, 650, 800, 950, 1150, 1350, 1600, 1850, 2150,
                                  2450, 2750, 3100, 3500, 3900, 4350, 4850, 5350, 5900, 6500};

EngineValues Engine(int rpm, bool lean, int correction = 0, bool idleSwitch = false, double tps = 1.5)
{
    EngineValues e;
    e.giri = rpm;
    e.lambda = lean ? 0.1 : 0.8;
    e.correttore = correction;
    e.tps = tps;
    e.flags = idleSwitch ? kEngineIdle : 0;
    return e;
}

class Road : public ::testing::Test {
protected:
    void SetUp() override
    {
        StatusValues gas;
        gas.flags = kUnitOnGas;
        ASSERT_TRUE(road.OnStatus(gas));
        ASSERT_FALSE(road.OnStatus(gas)) << "only the first gas block moves the phase";
    }

    // One tick: read the engine, then sample.
    RoadTick Tick(const EngineValues& e)
    {
        road.OnEngine(e);
        return road.Sample();
    }

    // Lambda flips every third tick; counts the samples taken.
    int Drive(int rpm, int correction, int ticks, bool idleSwitch = false)
    {
        int samples = 0;
        for (int i = 0; i < ticks; ++i) {
            if (i % 3 == 0)
                lean = !lean;
            samples += Tick(Engine(rpm, lean, correction, idleSwitch)) == RoadTick::Sampled;
        }
        return samples;
    }

    RoadCalibration road{kBreakpoints, 0.5, false};
    bool lean = true;
};

TEST(RoadColumns, BoundsAreMidpointsAndTheLastIsOneThousandOn)
{
    RoadCalibration road(kBreakpoints, 0.5, false);
    EXPECT_EQ(road.bounds()[0], 500);
    EXPECT_EQ(road.bounds()[18], 6200);
    EXPECT_EQ(road.bounds()[19], 7200);
    EXPECT_EQ(road.ColumnFor(850), 3);
    EXPECT_EQ(road.ColumnFor(2000), 9) << "at a bound: the upper column";
    EXPECT_EQ(road.ColumnFor(9000), 19);
    EXPECT_EQ(road.ColumnFor(0), 0);
}

TEST(RoadColumns, FallingBreakpointsStillGiveRisingColumns)
{
    auto b = kBreakpoints;
    b[9] = 1000; // falls below its neighbours
    RoadCalibration road(b, 0.5, false);
    for (int i = 1; i < kRpmColumns; ++i)
        EXPECT_GE(road.bounds()[i], road.bounds()[i - 1]) << i;
    int last = 0;
    for (int rpm = 0; rpm < 8000; rpm += 50) {
        EXPECT_GE(road.ColumnFor(rpm), last) << rpm;
        last = road.ColumnFor(rpm);
    }
}

TEST_F(Road, NothingIsSampledBeforeGas)
{
    RoadCalibration fresh(kBreakpoints, 0.5, false);
    for (int i = 0; i < 30; ++i) {
        fresh.OnEngine(Engine(2450, i % 3 == 0));
        EXPECT_EQ(fresh.Sample(), RoadTick::Nothing);
    }
    EXPECT_EQ(fresh.count(10), 0);
}

TEST_F(Road, RegularSwitchesBuildARunningMeanPerColumn)
{
    Tick(Engine(2450, lean, 0)); // settle the previous values
    EXPECT_GT(Drive(2450, 8, 30), 5);
    const int n = road.count(10);
    Drive(2450, 2, 3 * 4);
    EXPECT_EQ(road.count(10), n + 4);
    EXPECT_NEAR(road.mean(10), (8.0 * n + 2 * 4) / (n + 4), 1e-4);
    EXPECT_EQ(road.count(9), 0);
}

TEST_F(Road, IdleColumnsAndThrottleAtMinimumAreNotSampledOnTheRoad)
{
    Tick(Engine(850, lean));
    EXPECT_EQ(Drive(850, 5, 30), 0) << "below the idle column count";
    Tick(Engine(2450, lean));
    EXPECT_EQ(Drive(2450, 5, 30, true), 0) << "throttle on its idle switch";
    EXPECT_GT(Drive(2450, 5, 30, false), 0);
}

TEST_F(Road, SpeedJumpResetsTheSwitchCount)
{
    road.tuning().switchesPerSample = 3;
    Tick(Engine(2450, lean));
    Drive(2450, 5, 7); // two counted switches
    EXPECT_EQ(road.switchCount(), 2);
    Tick(Engine(2700, lean)); // +250
    EXPECT_EQ(road.switchCount(), 0);
    EXPECT_FALSE(road.sampling());
    Tick(Engine(2850, lean)); // +150: samples again
    EXPECT_TRUE(road.sampling());
}

TEST_F(Road, TooFastOrTooSlowSwitchesDoNotCount)
{
    Tick(Engine(2450, lean));
    for (int i = 0; i < 10; ++i) { // a switch every other tick: counter at 1
        lean = !lean;
        Tick(Engine(2450, lean));
        Tick(Engine(2450, lean));
        lean = !lean;
        Tick(Engine(2450, lean));
    }
    EXPECT_EQ(road.count(10), 0);
    for (int i = 0; i < 42; ++i)
        Tick(Engine(2450, lean));
    lean = !lean;
    Tick(Engine(2450, lean));
    EXPECT_EQ(road.count(10), 0) << "41 ticks since the last switch";
}

TEST_F(Road, ColumnStopsAtTheSampleLimit)
{
    Tick(Engine(2450, lean));
    Drive(2450, 4, 3 * 150);
    EXPECT_EQ(road.count(10), 100);
}

TEST_F(Road, IdlePhaseTakesOneSampleOfThreeSwitchesEvenAtMinimumThrottle)
{
    Tick(Engine(2450, lean));
    Drive(2450, 10, 60);
    EXPECT_FALSE(road.AtIdle());
    Tick(Engine(850, lean, 0, true));
    ASSERT_TRUE(road.AtIdle());
    ASSERT_TRUE(road.StartIdlePhase());
    EXPECT_FALSE(road.StartIdlePhase()) << "a second confirmation does nothing";
    EXPECT_EQ(road.tuning().switchesPerSample, 3);
    RoadTick last = RoadTick::Nothing;
    int ticks = 0;
    while (last != RoadTick::IdleDone && ticks < 100) {
        if (ticks % 3 == 0)
            lean = !lean;
        last = Tick(Engine(850, lean, -6, true));
        ++ticks;
    }
    ASSERT_EQ(last, RoadTick::IdleDone);
    EXPECT_EQ(road.mean(3), -6.0f);
    EXPECT_EQ(road.count(3), 0) << "the idle sample replaces, it does not count";
    const auto deltas = road.Deltas();
    EXPECT_EQ(deltas.add[0], -6);
    EXPECT_EQ(deltas.add[10], 10);
}

} // namespace
