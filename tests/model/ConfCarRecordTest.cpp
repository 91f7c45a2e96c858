#include "model/ConfCar.h"
#include "model/Ntc.h"
#include "support/FakeClock.h"
#include "support/FakeLink.h"

#include <gtest/gtest.h>

using namespace vapora;

namespace {

struct Fresh : ::testing::Test {
    test::FakeLink link;
    test::FakeClock clock;
    ConfCar car{"default.mur", &link, clock};
};

} // namespace

TEST_F(Fresh, HoldsTheResetConfiguration)
{
    EXPECT_EQ(car.FileName, "default.mur");
    EXPECT_EQ(car.GetConfigName(), "ResetLpg");
    EXPECT_FALSE(car.GetStatusFlag(ConfCar::kOfficial));
    EXPECT_FALSE(car.GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(car.SoftwareVersion(), 15);
    EXPECT_EQ(car.ModelCode(), 1);
    EXPECT_EQ(car.IdUnita[0], 8);
    EXPECT_EQ(car.IdUnita[1], 1);
    EXPECT_FALSE(car.Modified);
    EXPECT_TRUE(car.WriteThrough);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 20; ++c) {
            EXPECT_EQ(car.MappaCarburazione[r][c], 0);
            EXPECT_EQ(car.Adattativita[r][c], 0);
        }
    for (const auto& row : car.MappaBenzina)
        for (int32_t cell : row)
            EXPECT_EQ(cell, 0);
    EXPECT_TRUE(car.IsPetrolMapSupported());
    EXPECT_FALSE(car.HasPetrolMap());
    EXPECT_TRUE(car.NoLearnedPoints());
    EXPECT_EQ(car.ProssimoPunto, 0);
}

TEST_F(Fresh, HasTheDefaultBreakpointsAndTables)
{
    const int rpm[20] = {450,  550,  650,  800,  950,  1150, 1350, 1600, 1850, 2150,
                         2450, 2750, 3100, 3500, 3900, 4350, 4850, 5350, 5900, 6500};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(car.RifGiri[i], rpm[i]) << i;
    // (i + 1) * 2.5 / 9 V: 0.2778 V -> raw 14, ..., 2.2222 V -> raw 113.
    const int map[8] = {14, 28, 43, 57, 71, 85, 99, 113};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(car.RifMAP[i], map[i]) << i;
    const int petrolMap[12] = {26, 42, 60, 77, 92, 110, 126, 143, 161, 176, 193, 210};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(car.RifMAPB[i], petrolMap[i]) << i;
        EXPECT_EQ(car.RifGiriB[i], 500 + 500 * i);
    }
    for (int c = 0; c < 20; ++c) {
        EXPECT_EQ(car.RifOpenLoop[c], 0);
        EXPECT_EQ(car.PassiInv[c], 0x22);
        EXPECT_EQ(car.GetStepParam(c, 3), c <= 4 ? 300 : 80);
        EXPECT_EQ(car.GetStepParam(c, 4), c <= 4 ? 300 : 80);
    }
    EXPECT_EQ(car.PassiIngr[0], 15);
    EXPECT_EQ(car.PassiIngr[5], 4);
}

TEST_F(Fresh, HasTheDefaultScalars)
{
    EXPECT_EQ(car.TipoDiLambda, 2);
    EXPECT_EQ(car.RifLambda, 28);
    EXPECT_EQ(car.TemperaturaCambio, 128);
    EXPECT_EQ(car.GiriPerCambio, 1801); // changeover while decelerating
    EXPECT_EQ(car.TempoSovrapposizione, 20);
    EXPECT_EQ(car.FuoriGiri, 6500);
    EXPECT_EQ(car.NumeroCilindri, 4);
    EXPECT_EQ(car.TipoSensore, 129);
    EXPECT_EQ(car.RifSensore[0], 55); // code 129 reads inverted: 255 - 200
    EXPECT_EQ(car.RifSensore[3], 215);
    EXPECT_EQ(car.GetSensorRef(0), 200);
    EXPECT_FALSE(car.SensoreResistivo);
    EXPECT_EQ(car.GetEmulationType(), 2);
    EXPECT_EQ(car.MinErroreIntegrale, -40);
    EXPECT_EQ(car.MinErroreIntegraleAlMinimo, -30);
    EXPECT_EQ(car.DecrCumulo[0], 2);
    EXPECT_EQ(car.Arricc2UscitaMin[2], 40);
    EXPECT_EQ(car.VarCumulo[1], 6);
    for (int32_t t : car.TempoArrBenzina)
        EXPECT_EQ(t, 10);
    EXPECT_EQ(car.Abilitazione[0], 65);
    EXPECT_EQ(car.TempRif[0], 0);
    EXPECT_EQ(car.TempRif[9], 255);
    EXPECT_EQ(car.GetTempParam(1, 2), 80);
    EXPECT_EQ(car.GetTempParam(8, 2), 10);
    for (int32_t c : car.TempCoeff)
        EXPECT_EQ(c, 100);
    EXPECT_EQ(car.CorrRientroMin, 100);
    EXPECT_EQ(car.EffettoClima, 0);
}

TEST_F(Fresh, DefaultsKeepingMapsKeepTheMapsAndShiftBackTheClimateEffect)
{
    car.SetGasMapCell(0, 0, 100);
    car.SetGasMapCell(0, 2, 100);
    car.SetClimateEffect(5);
    ASSERT_EQ(car.MappaCarburazione[0][0], 105);
    car.SetConfigName("Mine");
    car.WriteThrough = false;
    car.SetDefaults(true);
    car.WriteThrough = true;
    EXPECT_EQ(car.MappaCarburazione[0][0], 100);
    EXPECT_EQ(car.MappaCarburazione[0][2], 100);
    EXPECT_EQ(car.EffettoClima, 0);
    EXPECT_EQ(car.GetConfigName(), "Mine");
    EXPECT_FALSE(car.Modified);
}

TEST_F(Fresh, LearnedPointsUpdateOnSameRpmAndMapThousandths)
{
    EXPECT_EQ(car.AddLearnedPoint(2000, 1.5, 3.2, 3, 4, 0), 0);
    EXPECT_EQ(car.AddLearnedPoint(2500, 1.5, 3.3, 4, 4, 0), 1);
    EXPECT_EQ(car.PuntiAppresi[1]->n, 2);
    // 1.5004 has the same thousandths as 1.5: the first point is updated.
    EXPECT_EQ(car.AddLearnedPoint(2000, 1.5004, 4.25, 9, 9, 0), 0);
    ASSERT_EQ(car.PuntiAppresi.size(), 2u);
    EXPECT_EQ(car.PuntiAppresi[0]->Iniezione, 4250);
    EXPECT_EQ(car.PuntiAppresi[0]->n, 3);
    EXPECT_EQ(car.PuntiAppresi[0]->nGiri, 3);
    EXPECT_FALSE(car.IsCellLearned(9, 9));
    // A given number is used as it is and does not advance the counter.
    EXPECT_EQ(car.AddLearnedPoint(3000, 2.0, 1.0, 5, 6, 40), 2);
    EXPECT_EQ(car.PuntiAppresi[2]->n, 40);
    EXPECT_EQ(car.ProssimoPunto, 3);
    EXPECT_EQ(car.PuntiAppresi[2]->Map, 2000);
}

TEST_F(Fresh, LearnedCellsAreFlaggedAndBounded)
{
    car.AddLearnedPoint(2000, 1.0, 1.0, 3, 4, 0);
    EXPECT_TRUE(car.IsCellLearned(4, 3));
    EXPECT_FALSE(car.IsCellLearned(3, 4));
    EXPECT_FALSE(car.IsCellLearned(12, 3));
    EXPECT_FALSE(car.IsCellLearned(4, -1));
    // A point with cell numbers outside the map is kept without touching memory.
    EXPECT_EQ(car.AddLearnedPoint(2100, 1.0, 1.0, 12, -1, 0), 1);
    car.ClearLearnedPoints();
    EXPECT_TRUE(car.NoLearnedPoints());
    EXPECT_FALSE(car.IsCellLearned(4, 3));
    EXPECT_EQ(car.ProssimoPunto, 0);
}

TEST(Ntc, ConvertsBothWays)
{
    EXPECT_EQ(NtcRawToCelsius(0), -1000);
    EXPECT_EQ(NtcRawToCelsius(255), -1000);
    EXPECT_NEAR(NtcRawToCelsius(128), 24.84, 0.005);
    EXPECT_EQ(CelsiusToNtcRaw(25), 128);
    // The 0.5 rounding of the getter brings 24.84 back to 25.
    EXPECT_EQ(static_cast<int>(NtcRawToCelsius(CelsiusToNtcRaw(25)) + 0.5), 25);
    for (int t = -50; t <= 170; t += 10) {
        const double back = NtcRawToCelsius(CelsiusToNtcRaw(t));
        EXPECT_NEAR(back, t, t > 100 ? 5.0 : 1.5) << t; // few raw steps when hot
    }
    // Hotter means a lower resistance, so a lower raw value.
    EXPECT_GT(CelsiusToNtcRaw(0), CelsiusToNtcRaw(80));
    EXPECT_EQ(CelsiusToNtcRaw(300), CelsiusToNtcRaw(175));
    EXPECT_EQ(CelsiusToNtcRaw(-80), CelsiusToNtcRaw(-55));
}
