#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "support/FakeClock.h"
#include "support/FakeLink.h"

#include <gtest/gtest.h>

using namespace vapora;

namespace {

struct Accessors : ::testing::Test {
    test::FakeLink link;
    test::FakeClock clock;
    ConfCar car{"default.mur", &link, clock};
    void SetUp() override { link.calls.clear(); }
};

} // namespace

TEST_F(Accessors, TableSettersKeepTheirLimits)
{
    car.SetGasMapCell(0, 0, 511);
    EXPECT_EQ(car.GetGasMapCell(0, 0), 0);
    EXPECT_FALSE(car.Modified);
    car.SetGasMapCell(0, 0, 510);
    EXPECT_EQ(car.GetGasMapCell(0, 0), 510);
    EXPECT_TRUE(car.Modified);
    car.SetGasMapCell(8, 0, 5);
    car.SetGasMapCell(0, 20, 5);
    EXPECT_EQ(car.GetGasMapCell(8, 0), 0);

    car.SetAdaptCell(1, 1, -128);
    EXPECT_EQ(car.GetAdaptCell(1, 1), 0);
    car.SetAdaptCell(1, 1, -127);
    EXPECT_EQ(car.GetAdaptCell(1, 1), -127);

    car.SetMapRef(0, 5.0);
    EXPECT_EQ(car.RifMAP[0], 255);
    car.SetMapRef(1, 5.01);
    car.SetMapRef(2, -0.1);
    EXPECT_EQ(car.RifMAP[1], 28);
    EXPECT_EQ(car.RifMAP[2], 43);

    car.SetRpmRef(3, 10001);
    EXPECT_EQ(car.GetRpmRef(3), 800);
    car.SetRpmRef(3, 10000);
    EXPECT_EQ(car.GetRpmRef(3), 10000);
    EXPECT_EQ(car.GetRpmRef(20), 0);
}

TEST_F(Accessors, SettersWriteTheRightIdentifierFirst)
{
    link.connected = true;
    car.SetGasMapCell(2, 3, 77);
    car.SetAdaptCell(4, 5, -9);
    car.SetRpmRef(6, 2000);
    car.SetMapRef(1, 1.0);
    car.SetPetrolMapCell(7, 8, 2.0);
    car.SetPetrolRpmRef(2, 1500);
    car.SetPetrolMapRef(3, 2.0);
    ASSERT_GE(link.calls.size(), 7u);
    auto is = [](const test::LinkCall& c, const char* op, int32_t id, int32_t a, int32_t b, int32_t v) {
        return c.op == op && c.id == id && c.a == a && c.b == b && c.value == v;
    };
    EXPECT_TRUE(is(link.calls[0], "cell", 526, 2, 3, 77));
    EXPECT_TRUE(is(link.calls[1], "cell", 1079, 4, 5, -9));
    EXPECT_TRUE(is(link.calls[2], "element", 524, 6, 0, 2000));
    EXPECT_TRUE(is(link.calls[3], "element", 13, 1, 0, 51));
    EXPECT_TRUE(is(link.calls[4], "cell", 597, 7, 8, 500));
    EXPECT_TRUE(is(link.calls[5], "element", 596, 2, 0, 1500));
    EXPECT_TRUE(is(link.calls[6], "element", 83, 3, 0, 102));
}

TEST_F(Accessors, RefusalLeavesTheRecordUnchanged)
{
    link.refuseAll = true;
    car.SetGasMapCell(0, 0, 100);
    car.SetRpmRef(0, 999);
    car.SetStepParam(0, 3, 1000);
    car.SetClimateEffect(4);
    car.SetChangeoverMode(2);
    car.SetEmulationType(0);
    car.SetSensorType(1);
    car.SetConfigName("Other");
    EXPECT_EQ(car.GetGasMapCell(0, 0), 0);
    EXPECT_EQ(car.GetRpmRef(0), 450);
    EXPECT_EQ(car.GetStepParam(0, 3), 300);
    EXPECT_EQ(car.EffettoClima, 0);
    EXPECT_EQ(car.GiriPerCambio, 1801);
    EXPECT_EQ(car.GetEmulationType(), 2);
    EXPECT_EQ(car.TipoSensore, 129);
    EXPECT_EQ(car.GetConfigName(), "ResetLpg");
    EXPECT_EQ(car.SetParam(3, 7), 0);
    EXPECT_EQ(car.Flag1, 0);
}

TEST_F(Accessors, WithoutWriteThroughNothingIsSentButFlagsAndNameTerminator)
{
    car.WriteThrough = false;
    car.SetGasMapCell(0, 0, 100);
    car.SetPetrolEnrichTime(0, 0.5);
    EXPECT_TRUE(link.calls.empty());
    EXPECT_EQ(car.GetGasMapCell(0, 0), 100);
    car.SetConfigName("Abc");
    ASSERT_EQ(link.calls.size(), 1u); // only the terminating zero
    EXPECT_EQ(link.calls[0].a, 5);
    EXPECT_EQ(link.calls[0].value, 0);
    EXPECT_EQ(car.GetConfigName(), "Abc");
}

TEST_F(Accessors, OfficialFlagIsClearedByAChange)
{
    ASSERT_TRUE(car.SetStatusFlag(ConfCar::kOfficial, true));
    car.SetGasMapCell(0, 0, 5);
    EXPECT_FALSE(car.GetStatusFlag(ConfCar::kOfficial));

    // SetParam clears it only when the stored value really changes.
    car.SetStatusFlag(ConfCar::kOfficial, true);
    EXPECT_EQ(car.SetParam(ids::kFlag1, 0), 1);
    EXPECT_TRUE(car.GetStatusFlag(ConfCar::kOfficial));
    EXPECT_EQ(car.SetParam(ids::kFlag1, 4), 1);
    EXPECT_FALSE(car.GetStatusFlag(ConfCar::kOfficial));
}

TEST_F(Accessors, StatusFlagsAreSentEvenOfflineAndStoredOnlyWhenTaken)
{
    car.WriteThrough = false;
    EXPECT_TRUE(car.SetStatusFlag(ConfCar::kMethane, true));
    EXPECT_EQ(link.calls.back().op, "element");
    EXPECT_EQ(link.calls.back().id, 53);
    EXPECT_EQ(link.calls.back().value, 0x40);
    EXPECT_TRUE(car.GetStatusFlag(ConfCar::kMethane));
    link.refuseAll = true;
    EXPECT_FALSE(car.SetStatusFlag(ConfCar::kMethane, false));
    EXPECT_TRUE(car.GetStatusFlag(ConfCar::kMethane));
    // Any flag but 64 reads the official bit.
    EXPECT_FALSE(car.GetStatusFlag(3));
}

TEST_F(Accessors, ConfigNameIsCutTo18AndAnnounced)
{
    int announced = 0;
    car.SetNameChangedSink([&] { ++announced; });
    car.SetConfigName("ABCDEFGHIJKLMNOPQRSTUV");
    EXPECT_EQ(car.GetConfigName(), "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(announced, 1);
    car.SetConfigName("Short");
    EXPECT_EQ(car.GetConfigName(), "Short");
    // Characters after the terminator stay as they were.
    EXPECT_EQ(car.StatoConfigurazione[2 + 6], 'G');
    EXPECT_EQ(announced, 2);
}

TEST_F(Accessors, PetrolMapCellMarksThePresenceOnTheGivenValue)
{
    car.SetPetrolMapCell(0, 0, 25.0);
    EXPECT_EQ(car.MappaBenzina[0][0], 6250);
    car.SetPetrolMapCell(0, 0, 25.01);
    EXPECT_EQ(car.MappaBenzina[0][0], 6250);
    car.SetPetrolMapCell(0, 0, 0);
    car.CheckPetrolMap();
    EXPECT_FALSE(car.HasPetrolMap());
    car.SetPetrolMapCell(1, 1, 0.001);
    EXPECT_EQ(car.MappaBenzina[1][1], 0);
    EXPECT_TRUE(car.HasPetrolMap());
}

// Half steps: the reciprocal factors taken in extended precision lie just below
// 250, 50 and 200, so these values round down where plain doubles round up.
TEST_F(Accessors, HalfStepsRoundWithTheExtendedFactors)
{
    car.SetPetrolMapCell(1, 2, 0.022);
    EXPECT_EQ(car.MappaBenzina[1][2], 5);
    car.SetPetrolMapCell(1, 2, 0.03);
    EXPECT_EQ(car.MappaBenzina[1][2], 7);
    car.SetPetrolMapCell(1, 2, 0.0221);
    EXPECT_EQ(car.MappaBenzina[1][2], 6);

    EXPECT_EQ(car.SetParam(ids::kTempoSovrapposizione, 0.03), 1);
    EXPECT_EQ(car.TempoSovrapposizione, 1);
    car.SetParam(ids::kTempoSovrapposizione, 0.11);
    EXPECT_EQ(car.TempoSovrapposizione, 5);
    car.SetParam(ids::kTempoSovrapposizione, 0.031);
    EXPECT_EQ(car.TempoSovrapposizione, 2);

    car.SetParam(ids::kTempoMinArrBenzina, 0.0275);
    EXPECT_EQ(car.TempoMinArrBenzina, 5);
}

TEST_F(Accessors, OpenLoopAndStepFieldsShareTheirBytes)
{
    car.SetOpenLoop(0, 1, 3);
    car.SetOpenLoop(0, 2, 7);
    EXPECT_EQ(car.RifOpenLoop[0], 3 | (7 << 2));
    car.SetOpenLoop(0, 1, 4);
    car.SetOpenLoop(0, 2, 8);
    EXPECT_EQ(car.GetOpenLoop(0, 1), 3);
    EXPECT_EQ(car.GetOpenLoop(0, 9), 7);
    car.SetOpenLoop(0, 1, 1);
    EXPECT_EQ(car.GetOpenLoop(0, 2), 7);

    car.SetStepParam(1, 1, 15);
    car.SetStepParam(1, 2, 9);
    EXPECT_EQ(car.PassiInv[1], 0xF9);
    car.SetStepParam(1, 1, 16);
    EXPECT_EQ(car.PassiInv[1], 0xF9);
    car.SetStepParam(1, 3, 5100);
    EXPECT_EQ(car.PassiIngr[1], 255);
    car.SetStepParam(1, 3, 5101);
    EXPECT_EQ(car.PassiIngr[1], 255);
    car.SetStepParam(1, 4, 45); // 45 / 20 = 2.25 -> 2
    EXPECT_EQ(car.GetStepParam(1, 4), 40);
    // Modified is set even when the value is refused.
    car.Modified = false;
    car.SetStepParam(1, 3, 9999);
    EXPECT_TRUE(car.Modified);
}

TEST_F(Accessors, SensorTypesAndReferences)
{
    EXPECT_EQ(car.GetSensorTypeIndex(), 0);
    car.TipoSensore = 4;
    EXPECT_EQ(car.GetSensorTypeIndex(), 2);
    EXPECT_TRUE(car.SensoreResistivo);
    car.TipoSensore = 200;
    EXPECT_EQ(car.GetSensorTypeIndex(), -1);
    EXPECT_FALSE(car.SensoreResistivo);

    // Index 0 is code 129 with bit 7: references are mirrored.
    car.SetSensorType(0);
    EXPECT_TRUE(car.IsSensorInverted());
    EXPECT_EQ(car.RifSensore[0], 55);
    EXPECT_EQ(car.GetSensorRef(0), 200);

    // Index 2 reads resistances.
    car.SetSensorType(2);
    EXPECT_EQ(car.TipoSensore, 4);
    EXPECT_TRUE(car.SensoreResistivo);
    EXPECT_EQ(car.RifSensore[0], 17);
    EXPECT_EQ(car.GetSensorRef(0), 9);  // 17 * 120 / 238 = 8.57
    EXPECT_EQ(car.GetSensorRef(3), 77); // 100 * 120 / 155 = 77.4
    car.SetSensorRef(1, 120);
    EXPECT_EQ(car.RifSensore[1], 128); // 120 * 255 / 240 = 127.5 -> 128
    car.SetSensorRef(1, 100001);
    EXPECT_EQ(car.RifSensore[1], 128);
    car.RifSensore[2] = 255;
    EXPECT_EQ(car.GetSensorRef(2), 100000);

    car.SetSensorType(3);
    EXPECT_FALSE(car.SensoreResistivo);
    car.SetSensorRef(0, 256);
    car.SetSensorRef(0, 7);
    EXPECT_EQ(car.RifSensore[0], 7);
}

TEST_F(Accessors, ChangeoverOffAndBackRestoresTheKeptValues)
{
    car.GiriPerCambio = 2201;
    car.TempoSovrapposizione = 33;
    car.SetChangeoverMode(2);
    EXPECT_EQ(car.GetChangeoverMode(), 2);
    EXPECT_EQ(car.GiriPerCambio, 0);
    EXPECT_TRUE(car.CambioSospeso);
    // Switching off again must not forget what was kept.
    car.SetChangeoverMode(2);
    car.SetChangeoverMode(0);
    EXPECT_EQ(car.GiriPerCambio, 2200);
    EXPECT_EQ(car.TempoSovrapposizione, 33);
    EXPECT_EQ(car.GetChangeoverMode(), 0);
    EXPECT_FALSE(car.CambioSospeso);

    car.GiriPerCambio = 0;
    car.TempoSovrapposizione = 5;
    car.SetChangeoverMode(2);
    car.SetChangeoverMode(1);
    EXPECT_EQ(car.GiriPerCambio, 1001);
    EXPECT_EQ(car.TempoSovrapposizione, 5);
}

TEST_F(Accessors, ChangeoverRefusedBackKeepsTheKeptValues)
{
    car.SetChangeoverMode(2);
    link.refuseAll = true;
    car.SetChangeoverMode(1);
    EXPECT_TRUE(car.CambioSospeso);
    link.refuseAll = false;
    car.SetChangeoverMode(1);
    EXPECT_EQ(car.GiriPerCambio, 1801);
    EXPECT_EQ(car.TempoSovrapposizione, 20);
}

TEST_F(Accessors, EmulationPresets)
{
    struct Case {
        int type;
        int32_t alto, basso, sconnessa, onde;
    };
    for (const Case& c : {Case{0, 0, 0, 50, 1}, Case{1, 0, 50, 0, 1}, Case{2, 18, 18, 0, 1}, Case{4, 18, 18, 0, 255}}) {
        link.calls.clear();
        car.SetEmulationType(c.type);
        EXPECT_EQ(car.TempoAlto, c.alto);
        EXPECT_EQ(car.TempoBasso, c.basso);
        EXPECT_EQ(car.TempoSondaSconnessa, c.sconnessa);
        EXPECT_EQ(car.NumeroOnde, c.onde);
        EXPECT_EQ(car.GetEmulationType(), c.type);
        ASSERT_EQ(link.calls.size(), 4u);
        EXPECT_EQ(link.calls[0].id, 32);
        EXPECT_EQ(link.calls[1].id, 33);
        EXPECT_EQ(link.calls[2].id, 546);
        EXPECT_EQ(link.calls[3].id, 35);
    }
    car.SetEmulationType(3);
    EXPECT_EQ(car.GetEmulationType(), 4);
    car.TempoAlto = 7;
    car.NumeroOnde = 3;
    EXPECT_EQ(car.GetEmulationType(), 3);
    // A refusal part way leaves all four fields alone.
    link.refusedIds = {546};
    car.SetEmulationType(1);
    EXPECT_EQ(car.TempoAlto, 7);
    EXPECT_EQ(car.TempoBasso, 18);
}

TEST_F(Accessors, ClimateEffectShiftsTheFirstTwoColumns)
{
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 3; ++c)
            car.MappaCarburazione[r][c] = r == 0 ? 5 : 100;
    car.SetClimateEffect(15);
    EXPECT_EQ(car.EffettoClima, 10);
    EXPECT_EQ(car.MappaCarburazione[1][0], 110);
    EXPECT_EQ(car.MappaCarburazione[1][1], 110);
    EXPECT_EQ(car.MappaCarburazione[1][2], 100);
    car.SetClimateEffect(-10);
    EXPECT_EQ(car.MappaCarburazione[1][0], 90);
    // 15 - 20 would be below 0: that cell keeps its value.
    EXPECT_EQ(car.MappaCarburazione[0][0], 15);
    link.calls.clear();
    car.SetClimateEffect(-10);
    EXPECT_TRUE(link.calls.empty());
}

TEST_F(Accessors, PetrolEnrichTimeFollowsTheSoftwareVersion)
{
    car.SetPetrolEnrichTime(2, 0.3);
    EXPECT_EQ(car.TempoArrBenzina[2], 60);
    EXPECT_EQ(car.TempoArrBenzina[0], 10);
    EXPECT_EQ(link.calls.back().op, "element");
    EXPECT_EQ(link.calls.back().id, 80);
    car.SetPetrolEnrichTime(3, 5.0);
    EXPECT_EQ(car.TempoArrBenzina[3], 200);

    car.IdUnita[3] = 14;
    car.SetPetrolEnrichTime(4, 0.1);
    EXPECT_EQ(link.calls.back().op, "value");
    EXPECT_EQ(link.calls.back().id, 52);
    for (int32_t t : car.TempoArrBenzina)
        EXPECT_EQ(t, 20);
    car.TempoArrBenzina[0] = 40;
    EXPECT_DOUBLE_EQ(car.GetPetrolEnrichTime(5), 0.2);
}

TEST_F(Accessors, ProbesTpsWireAndUnitKinds)
{
    EXPECT_TRUE(car.HasTwoProbes());
    link.connected = true;
    link.values[ids::kStatoBlock] = 0x7FF;
    car.SetProbeCount(1);
    EXPECT_EQ(car.Flag1 & 4, 4);
    EXPECT_EQ(car.GetProbeCount(), 1);
    EXPECT_EQ(car.Stato[0], 0x0FF);
    car.IdUnita[3] = 11; // old units always have two probes
    EXPECT_TRUE(car.HasTwoProbes());
    car.IdUnita[2] = 0x43;
    EXPECT_FALSE(car.HasTwoProbes());
    EXPECT_TRUE(car.IsUnitKind3());

    car.TipoDiTps = 0x09;
    car.SetTpsWire(2);
    EXPECT_EQ(car.TipoDiTps, 0x51);
    EXPECT_EQ(car.GetTpsWire(), 2);
    car.SetTpsWire(1);
    EXPECT_EQ(car.TipoDiTps, 0x41);
    car.ClearTpsWire();
    EXPECT_EQ(car.TipoDiTps, 0x01);
    EXPECT_EQ(car.GetTpsWire(), 0);
}

TEST_F(Accessors, EnrichmentTemperaturesDiagnosisAndBands)
{
    car.SetEnrichParam(0, 4, 1275);
    EXPECT_EQ(car.DecrCumulo[0], 255);
    car.SetEnrichParam(0, 4, 1276);
    EXPECT_EQ(car.GetEnrichParam(0, 4), 1275);
    car.SetStartEnrich(44);
    EXPECT_EQ(car.ArriccUscitaMin[0], 44);
    EXPECT_EQ(car.ArriccUscitaMin[1], 44);
    EXPECT_EQ(car.ArriccUscitaMin[2], 30);
    EXPECT_EQ(car.GetStartEnrich(), 44);

    car.SetTempParam(3, 2, 25);
    EXPECT_EQ(car.TempRif[3], 128);
    EXPECT_EQ(car.GetTempParam(3, 2), 25);
    car.SetTempParam(2, 1, 77);
    EXPECT_EQ(car.GetTempParam(2, 1), 77);

    car.SetDiagParam(1, 2, 65536);
    EXPECT_EQ(car.Abilitazione[1], 0);
    car.SetDiagParam(1, 2, 65535);
    EXPECT_EQ(car.Abilitazione[1], 65535);

    EXPECT_EQ(car.GetEnrichBandRpm(1), 700);
    EXPECT_EQ(car.GetEnrichBandRpm(0), 0);
    EXPECT_EQ(car.GetEnrichBandRpm(6), 0);
}

TEST_F(Accessors, VehicleDataIsCutAndTouchesNeitherUnitNorModified)
{
    car.SetVehicleText(1, std::string(60, 'x'));
    car.SetVehicleText(2, "EURO4-ABCDEFG");
    car.SetVehicleNumber(6, 1400);
    car.SetPower(75.5f);
    EXPECT_EQ(car.GetVehicleText(1).size(), 50u);
    EXPECT_EQ(car.GetVehicleText(2), "EURO4-ABCD");
    EXPECT_EQ(car.GetVehicleNumber(6), 1400);
    EXPECT_FLOAT_EQ(car.GetPower(), 75.5f);
    EXPECT_TRUE(link.calls.empty());
    EXPECT_FALSE(car.Modified);
}

TEST_F(Accessors, AdaptationResetAndAdaptEnable)
{
    car.Adattativita[3][3] = 9;
    link.refusedIds = {ids::kAdaptRow};
    EXPECT_FALSE(car.ResetAdaptation());
    EXPECT_EQ(car.Adattativita[3][3], 9);
    link.refusedIds.clear();
    EXPECT_TRUE(car.ResetAdaptation());
    EXPECT_EQ(car.Adattativita[3][3], 0);
    EXPECT_EQ(link.WritesTo(ids::kAdaptRow), 9u);

    car.SetAdaptEnabled(true);
    EXPECT_TRUE(car.IsAdaptEnabled());
    EXPECT_EQ(car.Adattativo, 2);
    car.SetAdaptEnabled(false);
    EXPECT_FALSE(car.IsAdaptEnabled());
}

TEST_F(Accessors, LambdaCodeIsFreeOfflineOrWithoutBit6)
{
    EXPECT_TRUE(car.IsLambdaCodeFree());
    link.connected = true;
    link.values[ids::kTipoDiLambda] = 0x42;
    EXPECT_FALSE(car.IsLambdaCodeFree());
    EXPECT_EQ(car.TipoDiLambda, 0x42);
    link.values[ids::kTipoDiLambda] = 0x02;
    EXPECT_TRUE(car.IsLambdaCodeFree());
}
