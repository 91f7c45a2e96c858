// The parameter display against scripted engine blocks.

#include "MonitorSupport.h"
#include "calib/LiveFrame.h"
#include "calib/forms/MonitorUi.h"
#include "calib/forms/TFormVisualizza.h"

#include <QFrame>
#include <QLabel>

#include <gtest/gtest.h>

using namespace vapora;

namespace {

const QColor kGreen(0, 128, 0), kRed(255, 0, 0), kAqua(0, 255, 255), kYellow(255, 255, 0);

struct ParamDisplay : ::testing::Test {
    test::ScriptedLiveLink link;
    test::FakeClock clock;
    test::ScriptedDialogs dialogs;
    ConfCar car{"x.vap", &link, clock};
    AppContext ctx;
    std::unique_ptr<TFormVisualizza> form;

    void SetUp() override
    {
        car.IdUnita[2] = 2; // model 2: one probe
        car.IdUnita[3] = 15;
        car.TipoDiLambda = 2;                 // type index 0: 0..1 V, direction bit clear
        car.RifLambda = 23;                   // 0.45 V
        ctx.link = &link;
        ctx.car = &car;
        ctx.dialogs = &dialogs;
    }

    TFormVisualizza& Open()
    {
        form = std::make_unique<TFormVisualizza>(ctx);
        form->show();
        return *form;
    }

    template <class T = QWidget>
    T* Child(const char* name) const
    {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QColor Color(const char* name) const { return monitor_ui::ShapeColor(Child(name)); }
    int Inner(const char* panel) const { return Child<QFrame>(panel)->contentsRect().width(); }
    int Bar(const char* shape) const { return Child(shape)->width(); }

    // Engine block with MAP at 100 kPa, so the differential pressure is Pg - 100.
    void Frame(int rpm, int lambdaRaw, int tpsRaw, int gasRaw, uint8_t flags = 0)
    {
        link.block = {};
        link.block[0] = static_cast<uint8_t>(rpm & 0xFF);
        link.block[1] = static_cast<uint8_t>(rpm >> 8);
        link.block[2] = static_cast<uint8_t>(lambdaRaw);
        link.block[3] = static_cast<uint8_t>(tpsRaw);
        link.block[4] = 92;
        link.block[5] = static_cast<uint8_t>(gasRaw);
        link.block[11] = flags;
    }

    static int GasRawFor(int differential, double coefficient)
    {
        for (int raw = 6; raw < 256; ++raw)
            if (DifferentialPressure(raw, 92, coefficient) == differential)
                return raw;
        ADD_FAILURE() << "no raw byte gives " << differential;
        return 0;
    }

    void ExpectPressureZone(int differential, double coefficient, const char* lit)
    {
        Frame(0, 0, 0, GasRawFor(differential, coefficient));
        form->Timer1Timer();
        ASSERT_EQ(form->Values().pressione, differential);
        const QColor face = QPalette().color(QPalette::Button);
        EXPECT_EQ(Color("ShapePressioneBassa"), std::string(lit) == "low" ? kAqua : face) << differential;
        EXPECT_EQ(Color("ShapePressioneOK"), std::string(lit) == "ok" ? kGreen : face) << differential;
        EXPECT_EQ(Color("ShapePressioneAlta"), std::string(lit) == "high" ? kYellow : face) << differential;
    }
};

} // namespace

TEST_F(ParamDisplay, LpgPressureBand74To76LightsTheMiddle)
{
    Open();
    ExpectPressureZone(73, 1.8, "low");
    ExpectPressureZone(74, 1.8, "ok");
    ExpectPressureZone(75, 1.8, "ok");
    ExpectPressureZone(76, 1.8, "ok");
    ExpectPressureZone(77, 1.8, "high");
}

TEST_F(ParamDisplay, CngUsesItsOwnBandAndCoefficient)
{
    car.StatoConfigurazione[0] |= ConfCar::kMethane;
    Open();
    ExpectPressureZone(123, 2.4, "low");
    ExpectPressureZone(124, 2.4, "ok");
    ExpectPressureZone(126, 2.4, "ok");
    ExpectPressureZone(127, 2.4, "high");
}

TEST_F(ParamDisplay, NoReadingLightsTheLowSegmentFromTheStart)
{
    Open();
    EXPECT_EQ(Color("ShapePressioneBassa"), kAqua);
    EXPECT_EQ(Color("ShapeMiddle"), kYellow);
    EXPECT_EQ(Bar("ShapeGiri"), 0);
    EXPECT_EQ(Child<QLabel>("LabGiri")->text(), "0 rpm");
}

TEST_F(ParamDisplay, SpeedBarIsHalfAt3000AndFullFrom6000)
{
    Open();
    Frame(3000, 0, 0, 0);
    form->Timer1Timer();
    EXPECT_EQ(Bar("ShapeGiri"), Inner("PanelGiri") / 2);
    EXPECT_EQ(Child<QLabel>("LabGiri")->text(), "3000 rpm");
    Frame(6000, 0, 0, 0);
    form->Timer1Timer();
    EXPECT_EQ(Bar("ShapeGiri"), Inner("PanelGiri"));
    Frame(9000, 0, 0, 0);
    form->Timer1Timer();
    EXPECT_EQ(Bar("ShapeGiri"), Inner("PanelGiri"));
}

TEST_F(ParamDisplay, ProbeType3At1Point6VoltsFillsHalfTheBar)
{
    car.TipoDiLambda = 4; // type index 3: 0.8 .. 2.4 V
    Open();
    Frame(0, 82, 0, 0); // 1.61 V, the nearest byte to 1.6 V
    form->Timer1Timer();
    EXPECT_NEAR(Bar("ShapeLambda"), Inner("PanelLambda") / 2, Inner("PanelLambda") / 100 + 1);
    EXPECT_EQ(Child<QLabel>("LabLambda")->text(), "1.61 V");
}

TEST_F(ParamDisplay, DirectionBitFillsTheWholeBarAtZeroVolts)
{
    car.TipoDiLambda = 25; // type index 2: 0..5 V, bit 0 set
    Open();
    Frame(0, 1, 0, 0);
    form->Timer1Timer();
    Frame(0, 0, 0, 0);
    form->Timer1Timer();
    EXPECT_EQ(Bar("ShapeLambda"), Inner("PanelLambda"));
    // Above the 0.45 V threshold is the good side with the bit set.
    EXPECT_EQ(Color("ShapeLambda"), kRed);
    Frame(0, 51, 0, 0);
    form->Timer1Timer();
    EXPECT_EQ(Color("ShapeLambda"), kGreen);
}

TEST_F(ParamDisplay, LambdaIsGreenBelowTheThresholdWithoutTheDirectionBit)
{
    Open();
    Frame(0, 10, 0, 0); // 0.2 V
    form->Timer1Timer();
    EXPECT_EQ(Color("ShapeLambda"), kGreen);
    EXPECT_EQ(Child<QLabel>("LabLambda")->text(), "0.2 V");
    Frame(0, 41, 0, 0); // 0.8 V
    form->Timer1Timer();
    EXPECT_EQ(Color("ShapeLambda"), kRed);
    EXPECT_EQ(Bar("ShapeLambda"), Inner("PanelLambda") * 41 * 5 / 255);
}

TEST_F(ParamDisplay, ThrottleSegmentsFollowIdleAndUpperZone)
{
    Open();
    Frame(0, 0, 30, 0, kEngineIdle);
    form->Timer1Timer();
    EXPECT_EQ(Color("ShapeTpsMin"), kAqua);
    EXPECT_FALSE(Color("ShapeMiddle").isValid());
    EXPECT_FALSE(Color("ShapeSbana").isValid());
    Frame(0, 0, 200, 0, kEngineTpsHigh);
    form->Timer1Timer();
    EXPECT_FALSE(Color("ShapeTpsMin").isValid());
    EXPECT_FALSE(Color("ShapeMiddle").isValid());
    EXPECT_EQ(Color("ShapeSbana"), kRed);
    EXPECT_EQ(Child<QLabel>("LabTps")->text(), "3.92 V");
}

TEST_F(ParamDisplay, WithoutTwoProbesTheProbe2RowIsHiddenAndRowsSpreadInThirds)
{
    Open();
    EXPECT_FALSE(Child("PanelLambda2")->isVisible());
    EXPECT_FALSE(Child("LabelLambda2")->isVisible());
    EXPECT_FALSE(Child("LabLambda2")->isVisible());
    const int speed = Child("PanelGiri")->y();
    const int lambda = Child("PanelLambda")->y();
    const int tps = Child("PanelTps")->y();
    EXPECT_NEAR(lambda - speed, tps - lambda, 2);
}

TEST_F(ParamDisplay, TwoProbesShowTheSecondProbeFromTheTail)
{
    car.IdUnita[2] = 1; // model 1, Flag1 bit 2 clear: two probes
    Open();
    ASSERT_TRUE(Child("PanelLambda2")->isVisible());
    Frame(0, 0, 0, 0);
    link.length = 16;
    link.block[12] = 41; // 0.8 V
    form->Timer1Timer();
    EXPECT_EQ(Child<QLabel>("LabLambda2")->text(), "0.8 V");
    EXPECT_EQ(Color("ShapeLambda2"), kRed);
    EXPECT_GT(Bar("ShapeLambda2"), 0);
}

TEST_F(ParamDisplay, NoUnitOrAFailedReadKeepsTheLastValues)
{
    Open();
    Frame(3000, 0, 0, 0);
    form->Timer1Timer();
    Frame(5000, 0, 0, 0);
    link.failLive = true;
    form->Timer1Timer();
    link.failLive = false;
    link.connected = false;
    const int reads = link.liveReads;
    form->Timer1Timer();
    EXPECT_EQ(link.liveReads, reads); // not even asked
    EXPECT_EQ(form->Values().giri, 3000);
    EXPECT_EQ(Bar("ShapeGiri"), Inner("PanelGiri") / 2);
}
