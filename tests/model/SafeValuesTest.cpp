// Values from files and setters stay inside their parameter's range; whole transfers
// say what the unit refused and how far they got when the link went.

#include "LinkObject.h"
#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/Ntc.h"
#include "model/ParamIds.h"
#include "model/ParamCatalogue.h"
#include "sim/ParamTable.h"
#include "sim/SimUnit.h"
#include "support/FakeClock.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

using namespace vapora;
namespace fs = std::filesystem;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Every element of every raw field that lies outside its parameter's range, by key.
std::vector<std::string> OutOfRange(ConfCar& car)
{
    std::vector<std::string> bad;
    for (const params::Param* p : params::All())
        for (int i = 0; p->HasField() && i < p->Count(); ++i)
            if (!p->Range().Contains(p->Data(car)[i]))
                bad.push_back(p->ElementKey(i) + "=" + std::to_string(p->Data(car)[i]));
    return bad;
}

struct LoadedValues : test::FileTest {
    fs::path Plain(const std::string& body)
    {
        const fs::path file = root / "plain.vap";
        std::ofstream(file, std::ios::binary) << "DVMF\r\n[Generale]\r\nNomeConfigurazione=plain.vap\r\n" << body;
        return file;
    }
};

} // namespace

TEST(RawRanges, TheSimulatedUnitEnforcesTheRecordsRanges)
{
    ASSERT_EQ(sernox::ParamTable().size(), params::All().size());
    for (const params::Param* p : params::All()) {
        const sernox::ParamDef* def = sernox::FindParam(p->number);
        ASSERT_NE(def, nullptr) << p->number;
        const ids::RawRange range = p->Range();
        EXPECT_EQ(def->minValue(), range.min) << p->number;
        EXPECT_EQ(def->maxValue(), range.max) << p->number;
        EXPECT_EQ(def->word, p->Word()) << p->number;
        EXPECT_EQ(def->isSigned, p->Signed()) << p->number;
    }
}

TEST_F(LoadedValues, OutOfRangeValuesAreHeldAtTheNearestEndAndNamed)
{
    ConfCar car("x.vap", nullptr);
    const fs::path file = Plain("Cilindrata=-1\r\nFlag1=256\r\n"
                                "[MappaCarburazione]\r\nMappa0_0=99999\r\nMappa0_1=-5\r\nMappa0_2=300\r\n"
                                "[Carburazione]\r\nMinErroreIntegrale=-129\r\nEffettoClima=500\r\n"
                                "[Arricchimento]\r\nTempoArrBenzina=-7\r\nTempoArrBenzina3=12\r\n"
                                "[Temperatura]\r\nRif9=255\r\n");
    const std::string before = test::ReadAll(file);
    ASSERT_TRUE(car.LoadFromFile(file.string(), 0));
    EXPECT_EQ(car.MappaCarburazione[0][0], 65535);
    EXPECT_EQ(car.MappaCarburazione[0][1], 0);
    EXPECT_EQ(car.MappaCarburazione[0][2], 300); // a word: within the unit's range
    EXPECT_EQ(car.Cilindrata, 0);
    EXPECT_EQ(car.Flag1, 255);
    EXPECT_EQ(car.MinErroreIntegrale, -128);
    EXPECT_EQ(car.EffettoClima, 127);
    EXPECT_EQ(car.TempoArrBenzina[0], 0);
    EXPECT_EQ(car.TempoArrBenzina[1], 0); // takes slot 0's corrected value
    EXPECT_EQ(car.TempoArrBenzina[3], 12);
    EXPECT_EQ(car.TempRif[9], 255);
    EXPECT_EQ(car.CorrectedKeys(),
              (std::vector<std::string>{"Mappa0_0", "Mappa0_1", "Cilindrata", "Flag1", "MinErroreIntegrale",
                                        "EffettoClima", "TempoArrBenzina"}));
    EXPECT_EQ(test::ReadAll(file), before);

    // A clean load forgets the corrections of the one before.
    ASSERT_TRUE(car.LoadFromFile(Plain("[Generale]\r\nFlag1=4\r\n").string(), 0));
    EXPECT_TRUE(car.CorrectedKeys().empty());
}

TEST_F(LoadedValues, ResetFileClimateEffectIsCorrectedBeforeItShiftsTheMap)
{
    ConfCar car("x.vap", nullptr);
    car.WriteThrough = false;
    ASSERT_TRUE(car.LoadFromFile(Plain("[Carburazione]\r\nEffettoClima=-1000\r\n").string(), 2));
    EXPECT_EQ(car.CorrectedKeys(), std::vector<std::string>{"EffettoClima"});
    EXPECT_EQ(car.EffettoClima, -10);
    EXPECT_TRUE(OutOfRange(car).empty());
}

// Random files of the keys a configuration file has (and a few it has not), with values
// from every corner of the integer range and text that is no number at all.
TEST_F(LoadedValues, FuzzedFilesNeverLeaveAValueOutOfRangeNorChangeTheFile)
{
    ConfCar reference("ref.vap", nullptr);
    std::vector<std::pair<std::string, std::string>> keys; // section, key
    {
        // The sections and keys a whole save writes.
        const fs::path saved = root / "all.vap";
        ASSERT_TRUE(reference.SaveToFile(saved.string(), 0));
        std::string section;
        std::istringstream in(CryptBytes(test::ReadAll(saved), true, true, ""));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.size() > 2 && line.front() == '[')
                section = line.substr(1, line.size() - 2);
            else if (const auto eq = line.find('='); eq != std::string::npos)
                keys.emplace_back(section, line.substr(0, eq));
        }
    }
    ASSERT_GT(keys.size(), 300u);

    std::mt19937 rng(20261209);
    const std::vector<std::string> corners = {"-2147483648", "2147483647", "99999999999", "-99999999999", "65536",
                                              "-32769", "256", "-129", "128", "-1", "0", "x", "", "1e9", " 7 "};
    for (int round = 0; round < 60; ++round) {
        std::string body;
        std::string section;
        const int lines = std::uniform_int_distribution<int>(1, 400)(rng);
        for (int l = 0; l < lines; ++l) {
            const auto& [sec, key] = keys[std::uniform_int_distribution<size_t>(0, keys.size() - 1)(rng)];
            if (sec != section) {
                body += "[" + sec + "]\r\n";
                section = sec;
            }
            std::string value;
            if (rng() % 3 == 0)
                value = corners[rng() % corners.size()];
            else
                value = std::to_string(static_cast<int32_t>(rng()));
            body += key + "=" + value + "\r\n";
        }
        const fs::path file = Plain(body);
        const std::string before = test::ReadAll(file);
        ConfCar car("x.vap", nullptr);
        car.WriteThrough = false;
        const int scope = round % 3;
        car.LoadFromFile(file.string(), scope);
        EXPECT_EQ(OutOfRange(car), std::vector<std::string>{}) << "round " << round << " scope " << scope;
        EXPECT_EQ(test::ReadAll(file), before);
    }
}

TEST(SafeSetters, ValuesAreHeldInTheRawRangeAndNaNIsRefused)
{
    ConfCar car("x.vap", nullptr);
    // Offline: nothing stops a value but the record itself.
    EXPECT_EQ(car.SetParam(ids::kFlag1, 300), 1);
    EXPECT_EQ(car.Flag1, 255);
    EXPECT_EQ(car.SetParam(ids::kFlag1, 1e12), 1);
    EXPECT_EQ(car.Flag1, 255);
    EXPECT_EQ(car.SetParam(ids::kFlag1, -1e12), 1);
    EXPECT_EQ(car.Flag1, 0);
    EXPECT_EQ(car.SetParam(ids::kFuoriGiri, 1e9), 1);
    EXPECT_EQ(car.FuoriGiri, 65535);
    EXPECT_EQ(car.SetParam(ids::kMaxErroreIntegrale, 1000), 1);
    EXPECT_EQ(car.MaxErroreIntegrale, 127);
    EXPECT_EQ(car.SetParam(ids::kMinErroreIntegrale, 1e12), 1); // shown negated
    EXPECT_EQ(car.MinErroreIntegrale, -128);
    EXPECT_EQ(car.SetParam(ids::kTempoSovrapposizione, 1e6), 1); // seconds
    EXPECT_EQ(car.TempoSovrapposizione, 255);
    EXPECT_EQ(car.SetParam(ids::kNumeroCilindri, 1e12), 0);   // no such list index

    // The changeover rpm keeps its mode bit when held at the word's end.
    car.GiriPerCambio = 1801;
    EXPECT_EQ(car.SetParam(ids::kGiriPerCambio, 1e9), 1);
    EXPECT_EQ(car.GiriPerCambio, 65535);
    car.GiriPerCambio = 1800;
    EXPECT_EQ(car.SetParam(ids::kGiriPerCambio, 1e9), 1);
    EXPECT_EQ(car.GiriPerCambio, 65534);

    const int32_t flag1 = car.Flag1, temp = car.TemperaturaCambio, ref3 = car.TempRif[3];
    for (double bad : {kNaN, kInf, -kInf}) {
        EXPECT_EQ(car.SetParam(ids::kFlag1, bad), 0);
        EXPECT_EQ(car.SetParam(ids::kTemperaturaCambio, bad), 0);
        EXPECT_EQ(car.SetParam(ids::kTpsBits3to5, bad), 0);
        car.SetTempParam(3, 2, bad);
        car.SetTempParam(0, 2, bad);
        car.SetTempParam(2, 1, bad);
        car.SetPetrolEnrichTime(1, kNaN);
    }
    EXPECT_EQ(car.Flag1, flag1);
    EXPECT_EQ(car.TemperaturaCambio, temp);
    EXPECT_EQ(car.TempRif[3], ref3);
    EXPECT_TRUE(OutOfRange(car).empty());

    // The curve's ends for the infinities, no reading for NaN.
    EXPECT_EQ(CelsiusToNtcRaw(kNaN), 0);
    EXPECT_EQ(CelsiusToNtcRaw(kInf), CelsiusToNtcRaw(175));
    EXPECT_EQ(CelsiusToNtcRaw(-kInf), CelsiusToNtcRaw(-55));
    car.SetTempParam(4, 2, 1e300);
    EXPECT_EQ(car.TempRif[4], CelsiusToNtcRaw(175));
}

// ---- whole transfers ----

namespace {

struct Outcomes : ::testing::Test {
    sernox::SimUnit* unit = nullptr;
    std::unique_ptr<sernox::LinkObject> link;
    test::FakeClock clock;

    void SetUp() override
    {
        auto sim = std::make_unique<sernox::SimUnit>();
        unit = sim.get();
        link = std::make_unique<sernox::LinkObject>(std::move(sim));
        ASSERT_TRUE(link->OpenLink());
        link->Connect();
    }
    std::unique_ptr<ConfCar> Record() { return std::make_unique<ConfCar>("default.mur", link.get(), clock); }

    // Drops the link once the bar has passed `at`.
    void DropAt(ConfCar& car, int32_t at)
    {
        car.SetProgressSink([this, at, pos = int32_t{0}](int32_t amount, bool add) mutable {
            pos = add ? pos + amount : amount;
            if (pos >= at && pos < 100)
                unit->DropLink();
        });
    }
};

} // namespace

TEST_F(Outcomes, RefusedWritesAreCountedNamedAndReadBack)
{
    auto car = Record();
    ASSERT_TRUE(car->ReadAll());
    ASSERT_TRUE(car->LastTransfer().Complete());
    unit->StoreElement(14, 2 * 20 + 7, 33);
    // One cell the unit cannot hold refuses its whole row.
    for (int c = 0; c < ConfCar::kMapCols; ++c)
        car->MappaCarburazione[2][c] = 40 + c;
    car->MappaCarburazione[2][7] = 70000;
    car->Flag1 = 5;
    unit->RefuseWritesOf(3);

    EXPECT_EQ(car->WriteAll(), 21);
    const TransferOutcome& out = car->LastTransfer();
    EXPECT_EQ(out.direction, TransferOutcome::Direction::Write);
    EXPECT_FALSE(out.linkLost);
    EXPECT_EQ(out.groupsDone, out.groupsTotal);
    EXPECT_EQ(out.refusedGroups, 2);
    ASSERT_EQ(out.refused.size(), 21u);
    EXPECT_EQ(out.FirstRefusedKeys(3), (std::vector<std::string>{"Mappa2_0", "Mappa2_1", "Mappa2_2"}));
    EXPECT_EQ(out.refused[7].key, "Mappa2_7");
    EXPECT_EQ(out.refused[7].sent, 70000);
    EXPECT_EQ(out.refused[7].held, 33);
    EXPECT_EQ(out.refused.back().key, "Flag1");
    EXPECT_EQ(out.refused.back().id, ids::kFlag1);
    // The record now holds what the unit holds.
    for (int c = 0; c < ConfCar::kMapCols; ++c)
        EXPECT_EQ(car->MappaCarburazione[2][c], unit->StoredElement(14, 2 * 20 + c)) << c;
    EXPECT_EQ(car->Flag1, unit->StoredElement(3));
    EXPECT_TRUE(car->Modified);

    // Everything taken: a complete outcome.
    unit->RefuseWritesOf(3, false);
    EXPECT_EQ(car->WriteAll(), 0);
    EXPECT_TRUE(car->LastTransfer().Complete());
}

TEST_F(Outcomes, AReadCutByTheLinkSaysHowFarItGot)
{
    auto full = Record();
    ASSERT_TRUE(full->ReadAll());
    const int total = full->LastTransfer().groupsTotal;
    EXPECT_GE(total, 100);
    EXPECT_EQ(full->LastTransfer().groupsDone, total);

    unit->StoreElement(85, 0, 1234); // beyond the cut
    auto car = Record();
    DropAt(*car, 40);
    EXPECT_FALSE(car->ReadAll());
    const TransferOutcome& out = car->LastTransfer();
    EXPECT_TRUE(out.linkLost);
    EXPECT_EQ(out.groupsTotal, total);
    EXPECT_GT(out.groupsDone, 10);
    EXPECT_LT(out.groupsDone, total / 2);
    EXPECT_EQ(car->MappaBenzina[0][0], 0); // never read: the record keeps what it held
    EXPECT_EQ(link->IsConnected(), 0);
}

TEST_F(Outcomes, AWriteCutByTheLinkSaysHowFarItGot)
{
    auto car = Record();
    DropAt(*car, 30);
    EXPECT_EQ(car->WriteAll(), 0);
    const TransferOutcome& out = car->LastTransfer();
    EXPECT_TRUE(out.linkLost);
    EXPECT_FALSE(out.Complete());
    EXPECT_GT(out.groupsDone, 0);
    EXPECT_LT(out.groupsDone, out.groupsTotal);
}

TEST_F(Outcomes, AReadTheUnitRefusesIsIncompleteNamesItsGroupsAndSendsNothingBack)
{
    auto car = Record();
    // The unit holds a methane configuration and gas map row 3 unlike the record's defaults.
    for (int c = 0; c < ConfCar::kMapCols; ++c)
        unit->StoreElement(14, 3 * ConfCar::kMapCols + c, 100 + c);
    unit->StoreElement(53, 0, unit->StoredElement(53, 0) | ConfCar::kMethane);
    const int32_t status = unit->StoredElement(53, 0);
    unit->RefuseReadsOf(14, 3);
    unit->RefuseReadsOf(53);
    unit->ResetCounts();

    const int32_t rowBefore = car->MappaCarburazione[3][5];
    const int32_t statusBefore = car->StatoConfigurazione[0];
    EXPECT_FALSE(car->ReadAll());
    const TransferOutcome& out = car->LastTransfer();
    EXPECT_FALSE(out.linkLost);
    EXPECT_FALSE(out.Complete());
    EXPECT_FALSE(out.RecordMatchesUnit());
    EXPECT_EQ(out.groupsDone, out.groupsTotal);
    EXPECT_EQ(out.refusedGroups, 2);
    EXPECT_EQ(out.RefusedGroupKeys(),
              (std::vector<std::string>{"Mappa3_0..Mappa3_19", "StatoConfigurazione0..StatoConfigurazione19"}));
    EXPECT_EQ(out.refusals[0].row, 3);
    EXPECT_EQ(out.refusals[0].id, ids::kGasMapRow);
    EXPECT_TRUE(out.KeptGroupKeys().empty()) << "a read keeps nothing of its own";
    // The refused fields keep what they held; their neighbours are the unit's.
    EXPECT_EQ(car->MappaCarburazione[3][5], rowBefore);
    EXPECT_EQ(car->MappaCarburazione[2][5], unit->StoredElement(14, 2 * ConfCar::kMapCols + 5));
    EXPECT_EQ(car->StatoConfigurazione[0], statusBefore);
    // The record's own status word was not sent back in place of the unit's.
    EXPECT_EQ(unit->WriteCount(), 0);
    EXPECT_EQ(unit->StoredElement(53, 0), status);

    unit->RefuseReadsOf(14, 3, false);
    unit->RefuseReadsOf(53, -1, false);
    EXPECT_TRUE(car->ReadAll());
    EXPECT_TRUE(car->LastTransfer().Complete());
    EXPECT_TRUE(car->LastTransfer().RecordMatchesUnit());
    EXPECT_EQ(car->MappaCarburazione[3][5], 105);
    EXPECT_TRUE(car->GetStatusFlag(ConfCar::kMethane));
}

TEST_F(Outcomes, AWriteRefusalOfWhatTheUnitHoldsIsKeptNotLost)
{
    auto car = Record();
    ASSERT_TRUE(car->ReadAll());
    car->Flag1 = unit->StoredElement(3); // what the unit holds
    car->NumeroCilindri = unit->StoredElement(20) == 4 ? 6 : 4;
    unit->RefuseWritesOf(3);
    unit->RefuseWritesOf(20);
    EXPECT_EQ(car->WriteAll(), 1);
    const TransferOutcome& out = car->LastTransfer();
    EXPECT_TRUE(out.RecordMatchesUnit());
    EXPECT_EQ(out.RefusedGroupKeys(), (std::vector<std::string>{"Flag1", "NumeroCilindri"}));
    EXPECT_EQ(out.FirstRefusedKeys(5), (std::vector<std::string>{"NumeroCilindri"}));
    EXPECT_EQ(out.KeptGroupKeys(), (std::vector<std::string>{"Flag1"}));
}
