// Whole transfers between the record and the simulated unit.

#include "LinkObject.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace vapora;

namespace {

struct Transfer : ::testing::Test {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    test::FakeClock clock;
    std::vector<std::pair<int32_t, bool>> progress;

    void SetUp() override
    {
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
    }

    std::unique_ptr<ConfCar> Record()
    {
        auto car = std::make_unique<ConfCar>("default.mur", link.get(), clock);
        car->SetProgressSink([this](int32_t amount, bool add) { progress.emplace_back(amount, add); });
        return car;
    }

    // Position of the bar after each message, as the wait window keeps it.
    std::vector<int32_t> Positions() const
    {
        std::vector<int32_t> out;
        int32_t pos = 0;
        for (const auto& [amount, add] : progress) {
            pos = add ? pos + amount : amount;
            out.push_back(pos);
        }
        return out;
    }
};

// Fills a record with values different from the defaults in every transferred field.
void Scramble(ConfCar& car)
{
    int k = 1;
    auto next = [&k](int mod) { return (k++ * 37) % mod; };
    for (auto& row : car.MappaCarburazione)
        for (int32_t& c : row)
            c = next(511);
    for (auto& row : car.Adattativita)
        for (int32_t& c : row)
            c = next(255) - 127;
    for (int32_t& v : car.RifGiri) v = next(10001);
    for (int32_t& v : car.RifMAP) v = next(256);
    for (int32_t& v : car.RifOpenLoop) v = next(64);
    for (int32_t& v : car.PassiInv) v = next(256);
    for (int32_t& v : car.PassiIngr) v = next(256);
    for (int32_t& v : car.PassiSmag) v = next(256);
    for (int32_t& v : car.RifSensore) v = next(256);
    for (int32_t* table : {car.DecrCumulo, car.ArriccUscitaMin, car.Arricc2UscitaMin, car.ArrPerTps, car.VarCumulo,
                           car.TempoArrBenzina})
        for (int i = 0; i < 6; ++i)
            table[i] = next(256);
    for (int32_t& v : car.Abilitazione) v = next(65536);
    for (int32_t& v : car.TempRif) v = next(256);
    for (int32_t& v : car.TempCoeff) v = next(256);
    for (auto& row : car.MappaBenzina)
        for (int32_t& c : row)
            c = next(6251);
    for (int32_t& v : car.RifGiriB) v = next(10001);
    for (int32_t& v : car.RifMAPB) v = next(256);
    for (int32_t* f : {&car.Flag1, &car.TipoDiLambda, &car.RifLambda, &car.RitardoLetturaSonda, &car.TempoSondaFredda,
                       &car.RifSupSondaFredda, &car.RifInfSondaFredda, &car.RifSupSondaCalda, &car.RifInfSondaCalda,
                       &car.TemperaturaCambio, &car.RitardoMinimoCambio, &car.TempoSovrapposizione,
                       &car.NumeroCilindri, &car.FasciaGiriMinimo, &car.MotoreCutoff, &car.TempoPassiCutoff,
                       &car.RitardoCutoff, &car.TipoDiTps, &car.Isteresi, &car.TempoAlto, &car.TempoBasso,
                       &car.NumeroOnde, &car.TipoSensore, &car.TpsSbana, &car.PassiSbana, &car.MinCumulo,
                       &car.TempoMinArrBenzina, &car.TpsArrBenzina, &car.Adattativo, &car.TempoRitBenzina,
                       &car.TpsMoltoFuori, &car.TempoChSbana, &car.TempoApSbana, &car.LivelloAlto,
                       &car.LivelloBasso, &car.Cilindrata, &car.MotoreFineCutoff, &car.LimitazioneCorrettore})
        *f = next(256);
    for (int32_t* f : {&car.GiriPerCambio, &car.FuoriGiri, &car.GiriCutoff, &car.TempoSondaSconnessa, &car.GiriSbana,
                       &car.TempoGas, &car.TempoBenzina, &car.GiriArrBenzina})
        *f = next(65536);
    for (int32_t* f : {&car.MaxErroreIntegrale, &car.MinErroreIntegrale, &car.MaxErroreIntegraleAlMinimo,
                       &car.MinErroreIntegraleAlMinimo, &car.CorrRientroMin})
        *f = next(256) - 128;
    car.EffettoClima = -7;
    car.WriteThrough = false;
    car.SetConfigName("Scrambled cfg");
    car.SetStatusFlag(ConfCar::kMethane, true);
    car.SetStatusFlag(ConfCar::kOfficial, true);
    car.WriteThrough = true;
}

template <class T, size_t N>
void ExpectSame(const T (&a)[N], const T (&b)[N], const char* what)
{
    for (size_t i = 0; i < N; ++i)
        EXPECT_EQ(a[i], b[i]) << what << "[" << i << "]";
}

template <class T, size_t R, size_t C>
void ExpectSame(const T (&a)[R][C], const T (&b)[R][C], const char* what)
{
    for (size_t r = 0; r < R; ++r)
        for (size_t c = 0; c < C; ++c)
            EXPECT_EQ(a[r][c], b[r][c]) << what << "[" << r << "][" << c << "]";
}

} // namespace

TEST_F(Transfer, WriteAllThenReadAllGivesBackEveryField)
{
    // Both records exist before the transfer: building one sends its default
    // name terminator and status word, as at start-up.
    auto source = Record();
    auto copy = Record();
    Scramble(*source);
    source->WriteAll();
    ASSERT_TRUE(copy->ReadAll());

    ExpectSame(copy->MappaCarburazione, source->MappaCarburazione, "MappaCarburazione");
    ExpectSame(copy->Adattativita, source->Adattativita, "Adattativita");
    ExpectSame(copy->RifGiri, source->RifGiri, "RifGiri");
    ExpectSame(copy->RifMAP, source->RifMAP, "RifMAP");
    ExpectSame(copy->RifOpenLoop, source->RifOpenLoop, "RifOpenLoop");
    ExpectSame(copy->PassiInv, source->PassiInv, "PassiInv");
    ExpectSame(copy->PassiIngr, source->PassiIngr, "PassiIngr");
    ExpectSame(copy->PassiSmag, source->PassiSmag, "PassiSmag");
    ExpectSame(copy->RifSensore, source->RifSensore, "RifSensore");
    ExpectSame(copy->DecrCumulo, source->DecrCumulo, "DecrCumulo");
    ExpectSame(copy->ArriccUscitaMin, source->ArriccUscitaMin, "ArriccUscitaMin");
    ExpectSame(copy->Arricc2UscitaMin, source->Arricc2UscitaMin, "Arricc2UscitaMin");
    ExpectSame(copy->ArrPerTps, source->ArrPerTps, "ArrPerTps");
    ExpectSame(copy->VarCumulo, source->VarCumulo, "VarCumulo");
    ExpectSame(copy->TempoArrBenzina, source->TempoArrBenzina, "TempoArrBenzina");
    ExpectSame(copy->StatoConfigurazione, source->StatoConfigurazione, "StatoConfigurazione");
    ExpectSame(copy->Abilitazione, source->Abilitazione, "Abilitazione");
    ExpectSame(copy->TempRif, source->TempRif, "TempRif");
    ExpectSame(copy->TempCoeff, source->TempCoeff, "TempCoeff");
    ExpectSame(copy->MappaBenzina, source->MappaBenzina, "MappaBenzina");
    ExpectSame(copy->RifGiriB, source->RifGiriB, "RifGiriB");
    ExpectSame(copy->RifMAPB, source->RifMAPB, "RifMAPB");
    // Every full write clears the diagnosis state words.
    EXPECT_EQ(copy->Stato[0], 0);
    EXPECT_EQ(copy->Stato[1], 0);

    const std::pair<const char*, int32_t ConfCar::*> scalars[] = {
        {"Flag1", &ConfCar::Flag1},
        {"TipoDiLambda", &ConfCar::TipoDiLambda},
        {"RifLambda", &ConfCar::RifLambda},
        {"RitardoLetturaSonda", &ConfCar::RitardoLetturaSonda},
        {"TempoSondaFredda", &ConfCar::TempoSondaFredda},
        {"RifSupSondaFredda", &ConfCar::RifSupSondaFredda},
        {"RifInfSondaFredda", &ConfCar::RifInfSondaFredda},
        {"RifSupSondaCalda", &ConfCar::RifSupSondaCalda},
        {"RifInfSondaCalda", &ConfCar::RifInfSondaCalda},
        {"TemperaturaCambio", &ConfCar::TemperaturaCambio},
        {"GiriPerCambio", &ConfCar::GiriPerCambio},
        {"TempoSovrapposizione", &ConfCar::TempoSovrapposizione},
        {"RitardoMinimoCambio", &ConfCar::RitardoMinimoCambio},
        {"FuoriGiri", &ConfCar::FuoriGiri},
        {"NumeroCilindri", &ConfCar::NumeroCilindri},
        {"FasciaGiriMinimo", &ConfCar::FasciaGiriMinimo},
        {"GiriCutoff", &ConfCar::GiriCutoff},
        {"RitardoCutoff", &ConfCar::RitardoCutoff},
        {"TipoDiTps", &ConfCar::TipoDiTps},
        {"Isteresi", &ConfCar::Isteresi},
        {"TempoAlto", &ConfCar::TempoAlto},
        {"TempoBasso", &ConfCar::TempoBasso},
        {"TempoSondaSconnessa", &ConfCar::TempoSondaSconnessa},
        {"NumeroOnde", &ConfCar::NumeroOnde},
        {"TipoSensore", &ConfCar::TipoSensore},
        {"MaxErroreIntegrale", &ConfCar::MaxErroreIntegrale},
        {"MinErroreIntegrale", &ConfCar::MinErroreIntegrale},
        {"MaxErroreIntegraleAlMinimo", &ConfCar::MaxErroreIntegraleAlMinimo},
        {"MinErroreIntegraleAlMinimo", &ConfCar::MinErroreIntegraleAlMinimo},
        {"TpsSbana", &ConfCar::TpsSbana},
        {"GiriSbana", &ConfCar::GiriSbana},
        {"PassiSbana", &ConfCar::PassiSbana},
        {"MinCumulo", &ConfCar::MinCumulo},
        {"TpsArrBenzina", &ConfCar::TpsArrBenzina},
        {"TempoMinArrBenzina", &ConfCar::TempoMinArrBenzina},
        {"LimitazioneCorrettore", &ConfCar::LimitazioneCorrettore},
        {"TempoGas", &ConfCar::TempoGas},
        {"TempoBenzina", &ConfCar::TempoBenzina},
        {"Adattativo", &ConfCar::Adattativo},
        {"MotoreCutoff", &ConfCar::MotoreCutoff},
        {"MotoreFineCutoff", &ConfCar::MotoreFineCutoff},
        {"TempoPassiCutoff", &ConfCar::TempoPassiCutoff},
        {"TempoRitBenzina", &ConfCar::TempoRitBenzina},
        {"TpsMoltoFuori", &ConfCar::TpsMoltoFuori},
        {"TempoApSbana", &ConfCar::TempoApSbana},
        {"TempoChSbana", &ConfCar::TempoChSbana},
        {"LivelloAlto", &ConfCar::LivelloAlto},
        {"LivelloBasso", &ConfCar::LivelloBasso},
        {"CorrRientroMin", &ConfCar::CorrRientroMin},
        {"GiriArrBenzina", &ConfCar::GiriArrBenzina},
        {"Cilindrata", &ConfCar::Cilindrata},
        {"EffettoClima", &ConfCar::EffettoClima},
    };
    for (const auto& [name, field] : scalars)
        EXPECT_EQ((*copy).*field, (*source).*field) << name;

    EXPECT_TRUE(copy->Modified);
    EXPECT_EQ(copy->DescrizAuto, "Scrambled cfg");
    EXPECT_EQ(copy->CentCubici, source->Cilindrata * 50);
    EXPECT_TRUE(copy->GetStatusFlag(ConfCar::kMethane));
    EXPECT_TRUE(copy->GetStatusFlag(ConfCar::kOfficial));
    EXPECT_TRUE(copy->HasPetrolMap());
}

TEST_F(Transfer, ReadAllProgressReaches100ByItsSteps)
{
    auto car = Record();
    car->ReadAll();
    const auto pos = Positions();
    ASSERT_FALSE(pos.empty());
    EXPECT_EQ(progress.front(), std::make_pair(0, false));
    EXPECT_EQ(pos.back(), 100);
    // With the petrol map the adds themselves reach 100 before the final set.
    EXPECT_EQ(pos[pos.size() - 2], 100);
    int32_t adds = 0;
    for (const auto& [amount, add] : progress)
        if (add)
            adds += amount;
    EXPECT_EQ(adds, 100);
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>{400});
}

TEST_F(Transfer, ReadAllWithoutPetrolMapJumpsFrom74)
{
    unit->SetPetrolMapBlocked(true);
    auto car = Record();
    car->MappaBenzina[3][3] = 77;
    car->ReadAll();
    const auto pos = Positions();
    EXPECT_EQ(pos[pos.size() - 2], 74);
    EXPECT_EQ(pos.back(), 100);
    EXPECT_FALSE(car->IsPetrolMapSupported());
    EXPECT_FALSE(car->HasPetrolMap());
    EXPECT_EQ(car->MappaBenzina[3][3], 77); // kept as it was
}

TEST_F(Transfer, WriteAllProgressWithAndWithoutPetrolMap)
{
    auto car = Record();
    car->WriteAll();
    auto pos = Positions();
    EXPECT_EQ(pos[pos.size() - 2], 74);
    EXPECT_EQ(pos.back(), 100);

    progress.clear();
    car->SetPetrolMapCell(0, 0, 1.0);
    car->WriteAll();
    pos = Positions();
    EXPECT_EQ(pos[pos.size() - 2], 100);
    EXPECT_EQ(unit->StoredElement(85, 0), 250);
}

TEST_F(Transfer, SoftwareVersion14ReadsOnePetrolEnrichmentTime)
{
    unit->SetSoftwareVersion(14);
    unit->StoreElement(52, 0, 33);
    unit->StoreElement(80, 2, 99);
    auto car = Record();
    ASSERT_TRUE(car->ReadIdentification());
    EXPECT_EQ(car->SoftwareVersion(), 14);
    car->ReadAll();
    for (int32_t t : car->TempoArrBenzina)
        EXPECT_EQ(t, 33);

    unit->SetSoftwareVersion(15);
    car->ReadIdentification();
    car->ReadAll();
    EXPECT_EQ(car->TempoArrBenzina[2], 99);
}

TEST_F(Transfer, AFullReadTakesAboutAHundredAndTenCalls)
{
    auto car = Record();
    unit->ResetCounts();
    car->ReadAll();
    EXPECT_GE(unit->RequestCount(), 100);
    EXPECT_LE(unit->RequestCount(), 115);
}

TEST_F(Transfer, ReadsThatFailKeepTheRecordAndTheTransferGoesOn)
{
    auto car = Record();
    car->MappaCarburazione[1][1] = 123;
    unit->FailReads(true);
    EXPECT_FALSE(car->ReadAll()) << "refused reads make no complete read";
    EXPECT_FALSE(car->LastTransfer().linkLost);
    EXPECT_EQ(car->LastTransfer().refusedGroups, car->LastTransfer().groupsTotal);
    EXPECT_EQ(car->MappaCarburazione[1][1], 123);
    EXPECT_EQ(Positions().back(), 100);
}

TEST_F(Transfer, WaitUnitReadyPollsEvery500ms)
{
    auto car = Record();
    unit->SetReadyAfterPolls(3);
    EXPECT_TRUE(car->WaitUnitReady(20000));
    EXPECT_EQ(clock.sleeps.size(), 3u);

    clock.sleeps.clear();
    unit->SetReadyAfterPolls(1000);
    const uint32_t start = clock.now;
    EXPECT_FALSE(car->WaitUnitReady(20000));
    EXPECT_EQ(clock.sleeps.size(), 40u);
    EXPECT_EQ(clock.now - start, 20000u);

    link->Disconnect();
    clock.sleeps.clear();
    EXPECT_FALSE(car->WaitUnitReady(20000));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(Transfer, CountersAdaptTableAndIdentification)
{
    unit->SetCompatibilityWords(0x8406, 0x0406);
    auto car = Record();
    EXPECT_EQ(car->ReadCounter(10), 0x8406);
    EXPECT_EQ(car->ReadCounter(11), 0x0406);

    unit->StoreElement(55, 21, -5); // row 1, column 1
    EXPECT_TRUE(car->ReloadAdaptTable(55));
    EXPECT_EQ(car->Adattativita[1][1], -5);
    EXPECT_TRUE(car->ReloadAdaptTable(14));
    unit->FailReads(true);
    EXPECT_FALSE(car->ReloadAdaptTable(55));
    link->Disconnect();
    EXPECT_FALSE(car->ReloadAdaptTable(14));

    unit->SetIdentification({8, 1, 3, 18});
    EXPECT_FALSE(car->ReadIdentification()); // not connected
    link->Connect();
    unit->FailReads(false);
    EXPECT_TRUE(car->ReadIdentification());
    EXPECT_EQ(car->IdUnita[2], 3);
    EXPECT_EQ(car->IdUnita[3], 18);
}

TEST_F(Transfer, SettersWriteThroughToTheUnit)
{
    auto car = Record();
    car->SetGasMapCell(2, 5, 321);
    EXPECT_EQ(unit->StoredElement(14, 2 * 20 + 5), 321);
    car->SetParam(ids::kMinErroreIntegrale, 25);
    EXPECT_EQ(unit->StoredElement(39), -25);
    car->SetParam(ids::kTpsBit7, 1);
    EXPECT_EQ(unit->StoredElement(26) & 0x80, 0x80);
    car->SetConfigName("Auto");
    EXPECT_EQ(unit->StoredElement(53, 2), 'A');
    EXPECT_EQ(unit->StoredElement(53, 6), 0);

    unit->RefuseWritesOf(14);
    car->SetGasMapCell(2, 5, 100);
    EXPECT_EQ(car->GetGasMapCell(2, 5), 321);
    // The read-only registers are never accepted.
    EXPECT_EQ(car->SetParam(ids::kRegistroDiagnosi, 1), 0);
}
