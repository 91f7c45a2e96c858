#include "calib/GuidedCalibration.h"

#include <gtest/gtest.h>

using namespace vapora;

namespace {

constexpr double kThreshold = 0.5;
EngineValues Engine(int rpm, bool lean, int correction = 0, int pressure = 75)
{
    EngineValues e;
    e.giri = rpm;
    e.lambda = lean ? 0.1 : 0.8; // direction bit clear: lean below the threshold
    e.correttore = correction;
    e.pressione = pressure;
    return e;
}

StatusValues Status(bool onGas, double celsius = 80)
{
    StatusValues s;
    s.flags = onGas ? kUnitOnGas : 0;
    s.temperaturaValid = celsius != 0;
    s.temperatura = celsius;
    return s;
}

class Guided : public ::testing::Test {
protected:
    explicit Guided(bool idleOnly = false)
        : cal(GuidedSettings{idleOnly, kThreshold, false, false})
    {
    }

    // Engine and status ticks alternate, as the window reads them.
    void Tick(const EngineValues& e, const StatusValues& s = Status(true))
    {
        cal.OnEngineTick(e);
        cal.OnStatusTick(s);
    }

    void ToStep3(int idleRpm = 850)
    {
        cal.Begin();
        Tick(Engine(idleRpm, false));
        ASSERT_TRUE(cal.PressEnter());
        for (int i = 0; i < 3; ++i)
            Tick(Engine(idleRpm, false));
        ASSERT_EQ(cal.step(), 2);
        ASSERT_TRUE(cal.PressEnter());
        ASSERT_EQ(cal.step(), 3);
    }

    // Lambda flips every `hold` engine ticks at this point.
    void Oscillate(int rpm, int correction, int engineTicks, int hold = 3)
    {
        for (int i = 0; i < engineTicks; ++i) {
            lean = (i % hold == 0) ? !lean : lean;
            Tick(Engine(rpm, lean, correction));
        }
    }

    GuidedCalibration cal;
    bool lean = false;
};

class GuidedIdleOnly : public Guided {
protected:
    GuidedIdleOnly() : Guided(true) {}
};

TEST_F(Guided, EnterAtStepZeroNeedsGasAndIdle)
{
    cal.Begin();
    Tick(Engine(1000, false));
    EXPECT_FALSE(cal.PressEnter()) << "1000 rpm is not below 1000";
    Tick(Engine(850, false), Status(false));
    EXPECT_FALSE(cal.PressEnter()) << "on petrol";
    Tick(Engine(850, false));
    EXPECT_TRUE(cal.PressEnter());
    EXPECT_EQ(cal.step(), 1);
    EXPECT_EQ(cal.message(), GuidedText::WarmUp);
}

TEST_F(Guided, WarmUpNeedsFiveTicksInARowAtTheThreshold)
{
    cal.Begin();
    Tick(Engine(850, false));
    cal.PressEnter();
    Tick(Engine(850, false), Status(true, 45)); // 2 ticks
    cal.OnEngineTick(Engine(850, false));       // 3
    cal.OnStatusTick(Status(true, 44));         // reset
    EXPECT_EQ(cal.warmCount(), 0);
    Tick(Engine(850, false), Status(true, 0)); // no reading counts as cold
    EXPECT_EQ(cal.warmCount(), 0);
    Tick(Engine(850, false), Status(true, 50));
    Tick(Engine(850, false), Status(true, 50));
    cal.OnEngineTick(Engine(850, false));
    EXPECT_EQ(cal.step(), 1);
    cal.OnStatusTick(Status(true, 50));
    EXPECT_EQ(cal.step(), 2);
    EXPECT_TRUE(cal.pressureVisible());
}

TEST_F(Guided, PressureBandIsInclusive)
{
    ToStep3();
    for (auto [p, band] : {std::pair{73, PressureBand::Low}, {74, PressureBand::Ok}, {76, PressureBand::Ok},
                           {77, PressureBand::High}, {0, PressureBand::Low}}) {
        cal.OnEngineTick(Engine(850, false, 0, p));
        EXPECT_EQ(cal.pressureBand(), band) << p;
    }
}

TEST_F(Guided, SwitchCountsOnlyTwoToThirtyNineTicksAfterTheLast)
{
    ToStep3();
    auto hold = [&](int ticks) {
        for (int i = 0; i < ticks; ++i)
            cal.OnEngineTick(Engine(850, lean));
    };
    auto flip = [&] {
        lean = !lean;
        cal.OnEngineTick(Engine(850, lean));
    };
    flip();
    hold(1);
    flip();
    EXPECT_EQ(cal.switchCount(), 0) << "one tick after the last switch";
    cal.OnStatusTick(Status(true)); // the switch seen again: not counted twice
    hold(2);
    flip();
    EXPECT_EQ(cal.switchCount(), 1);
    hold(39);
    flip();
    EXPECT_EQ(cal.switchCount(), 2);
    hold(40);
    flip();
    EXPECT_EQ(cal.switchCount(), 2) << "40 ticks is too slow";
    EXPECT_EQ(cal.progress(), 40);
}

TEST_F(Guided, IdleCaptureThenSecondBandKeepsCountForShortExcursions)
{
    ToStep3();
    Oscillate(850, 1, 10);
    Tick(Engine(1200, lean, 1)); // out of the idle band: capture restarts
    EXPECT_EQ(cal.switchCount(), 0);
    EXPECT_FALSE(cal.messageVisible());
    Oscillate(850, 12, 20);
    ASSERT_EQ(cal.step(), 4);
    EXPECT_EQ(cal.idleCorrection(), 12);
    EXPECT_EQ(cal.idleSpeed(), 850);
    EXPECT_EQ(cal.operation(), GuidedText::Step3);

    Tick(Engine(1200, lean)); // leftover count from step 3 is cleared at once
    EXPECT_EQ(cal.switchCount(), 0);
    Oscillate(1600, -4, 7);
    const int count = cal.switchCount();
    ASSERT_GT(count, 0);
    for (int i = 0; i < 19; ++i) // 38 ticks outside the band
        Tick(Engine(1800, lean, -4));
    EXPECT_EQ(cal.switchCount(), count);
    Tick(Engine(1800, lean, -4));
    Tick(Engine(1800, lean, -4));
    EXPECT_EQ(cal.switchCount(), 0) << "40 ticks out of band";

    Oscillate(1600, -4, 15);
    EXPECT_EQ(cal.switchCount(), 4);
    lean = !lean;
    cal.OnEngineTick(Engine(1600, lean, -4));
    ASSERT_EQ(cal.step(), 5);
    EXPECT_EQ(cal.secondCorrection(), -4);
    EXPECT_EQ(cal.secondSpeed(), 1600);
    EXPECT_FALSE(cal.ApplyRequested()) << "the map is changed on the next tick";
    cal.OnStatusTick(Status(true));
    EXPECT_TRUE(cal.ApplyRequested());
    cal.ApplyDone();
    EXPECT_EQ(cal.step(), 6);
    EXPECT_EQ(cal.message(), GuidedText::Success);
}

TEST_F(GuidedIdleOnly, SkipsTheSecondCaptureWithZeroAt1600)
{
    ToStep3();
    Oscillate(850, 9, 20);
    EXPECT_EQ(cal.message(), GuidedText::Updating);
    Tick(Engine(850, lean));
    ASSERT_EQ(cal.step(), 5);
    EXPECT_EQ(cal.secondCorrection(), 0);
    EXPECT_EQ(cal.secondSpeed(), 1600);
    EXPECT_TRUE(cal.closeAfterApply());
}

} // namespace
