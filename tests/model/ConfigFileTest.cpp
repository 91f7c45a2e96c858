#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/IniFile.h"
#include "model/ParamIds.h"
#include "model/ParamCatalogue.h"
#include "support/FakeClock.h"
#include "support/FakeLink.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

using namespace vapora;
namespace fs = std::filesystem;

namespace {

using Fields = std::vector<std::pair<std::string, int32_t*>>;

void Add(Fields& f, const std::string& name, int32_t* values, int count)
{
    for (int i = 0; i < count; ++i)
        f.emplace_back(name + "[" + std::to_string(i) + "]", values + i);
}

// The integer fields a configuration file carries, by the scope groups they belong to.
Fields GasMapFields(ConfCar& c)
{
    Fields f;
    Add(f, "RifGiri", c.RifGiri, 20);
    Add(f, "RifMAP", c.RifMAP, 8);
    Add(f, "MappaCarburazione", &c.MappaCarburazione[0][0], 160);
    return f;
}

Fields PetrolMapFields(ConfCar& c)
{
    Fields f;
    Add(f, "RifGiriB", c.RifGiriB, 12);
    Add(f, "RifMAPB", c.RifMAPB, 12);
    Add(f, "MappaBenzina", &c.MappaBenzina[0][0], 144);
    return f;
}

Fields ParameterFields(ConfCar& c)
{
#define F(name) {#name, &c.name}
    Fields f = {F(Flag1), F(TipoDiLambda), F(RifLambda), F(RitardoLetturaSonda), F(TempoSondaFredda),
                F(RifSupSondaFredda), F(RifInfSondaFredda), F(RifSupSondaCalda), F(RifInfSondaCalda),
                F(TemperaturaCambio), F(GiriPerCambio), F(TempoSovrapposizione), F(RitardoMinimoCambio),
                F(FuoriGiri), F(NumeroCilindri), F(FasciaGiriMinimo), F(GiriCutoff), F(RitardoCutoff),
                F(MotoreCutoff), F(MotoreFineCutoff), F(TempoPassiCutoff), F(TipoDiTps), F(Isteresi),
                F(TpsMoltoFuori), F(TempoAlto), F(TempoBasso), F(TempoSondaSconnessa), F(NumeroOnde), F(LivelloAlto),
                F(LivelloBasso), F(TipoSensore), F(TempoRitBenzina), F(MinErroreIntegrale), F(MaxErroreIntegrale),
                F(MaxErroreIntegraleAlMinimo), F(MinErroreIntegraleAlMinimo), F(TpsSbana), F(GiriSbana),
                F(PassiSbana), F(TempoApSbana), F(TempoChSbana), F(CorrRientroMin), F(EffettoClima), F(MinCumulo),
                F(TpsArrBenzina), F(TempoMinArrBenzina), F(GiriArrBenzina), F(LimitazioneCorrettore)};
#undef F
    Add(f, "RifOpenLoop", c.RifOpenLoop, 20);
    Add(f, "PassiInv", c.PassiInv, 20);
    Add(f, "PassiIngr", c.PassiIngr, 20);
    Add(f, "PassiSmag", c.PassiSmag, 20);
    Add(f, "RifSensore", c.RifSensore, 4);
    Add(f, "DecrCumulo", c.DecrCumulo, 6);
    Add(f, "ArriccUscitaMin", c.ArriccUscitaMin, 6);
    Add(f, "Arricc2UscitaMin", c.Arricc2UscitaMin, 6);
    Add(f, "ArrPerTps", c.ArrPerTps, 6);
    Add(f, "VarCumulo", c.VarCumulo, 6);
    Add(f, "TempoArrBenzina", c.TempoArrBenzina, 6);
    Add(f, "Stato", c.Stato, 2);
    Add(f, "Abilitazione", c.Abilitazione, 2);
    Add(f, "TempRif", c.TempRif, 10);
    Add(f, "TempCoeff", c.TempCoeff, 9);
    return f;
}

Fields VehicleFields(ConfCar& c)
{
    return {{"Cilindrata", &c.Cilindrata}, {"CentCubici", &c.CentCubici}, {"Valvole", &c.Valvole},
            {"N cilindri", &c.NCilindri}, {"AnnoVettura", &c.AnnoVettura}};
}

// Every field a value of its own within its parameter's range (negatives where the
// parameter is signed, which a load keeps); the climate effect stays within its limits
// so that it can also go through its setter.
void Fill(ConfCar& c, Fields fields)
{
    int32_t v = 11;
    for (auto& [name, field] : fields) {
        v = (v * 37 + 101) % 9973;
        *field = (v % 3 == 0) ? -v : v;
        if (const params::Element e = params::FindElement(c, field)) {
            const ids::RawRange range = e.param->Range();
            const int64_t span = int64_t{range.max} - range.min + 1;
            *field = static_cast<int32_t>(range.min + ((int64_t{*field} % span) + span) % span);
        }
    }
    c.EffettoClima = 7;
}

void FillAll(ConfCar& c)
{
    for (auto group : {GasMapFields, PetrolMapFields, ParameterFields, VehicleFields})
        Fill(c, group(c));
    c.SetStatusFlag(ConfCar::kOfficial, true);
    c.SetStatusFlag(ConfCar::kMethane, true);
    c.ProgFile = std::string(99, 'p');
    c.DescrizAuto = "Utilitaria 1.2 8v " + std::string(32, 'd');
    c.Euro = "Euro 4 abc";
    c.Motore = std::string(50, 'm');
    c.Centralina = "Unita benzina";
    c.Cambio = "Manuale 5";
    c.Potenza = 75.5f;
    c.Modified = true;
}

void ExpectSame(ConfCar& a, ConfCar& b, Fields (*group)(ConfCar&))
{
    const Fields fa = group(a), fb = group(b);
    for (size_t i = 0; i < fa.size(); ++i)
        EXPECT_EQ(*fa[i].second, *fb[i].second) << fa[i].first;
}

std::string Decoded(const fs::path& file) { return CryptBytes(test::ReadAll(file), true, true, ""); }

std::vector<std::string> Seq(const std::string& prefix, int n)
{
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i)
        keys.push_back(prefix + std::to_string(i));
    return keys;
}

std::vector<std::string> Cat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> keys;
    for (const auto& part : parts)
        keys.insert(keys.end(), part.begin(), part.end());
    return keys;
}

// "a0", "b0", "a1", "b1", ...
std::vector<std::string> Interleave(const std::string& a, const std::string& b, int n)
{
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) {
        keys.push_back(a + std::to_string(i));
        keys.push_back(b + std::to_string(i));
    }
    return keys;
}

// Cells column by column: the progress counts columns.
std::vector<std::string> Cells(const std::string& prefix, int rows, int cols)
{
    std::vector<std::string> keys;
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            keys.push_back(prefix + std::to_string(r) + "_" + std::to_string(c));
    return keys;
}

using Progress = std::vector<std::pair<int32_t, bool>>;

class ConfigFile : public test::FileTest {
protected:
    test::FakeLink link;
    test::FakeClock clock;
    ConfCar car{"default.mur", &link, clock};
    ConfCar other{"default.mur", &link, clock};

    std::string Path(const std::string& name) const { return (root / name).string(); }
    std::string Plain(const std::string& name, const std::string& ini) const { return Put(name, "DVMF\r\n" + ini); }
};

} // namespace

TEST_F(ConfigFile, WholeConfigurationRoundTrips)
{
    FillAll(car);
    const std::string file = Path("Familiare 1.6.vap");
    ASSERT_TRUE(car.SaveToFile(file, 0));
    EXPECT_FALSE(car.Modified);
    EXPECT_EQ(Get(file).substr(0, 6), "EVMF\r\n");

    ASSERT_TRUE(other.LoadFromFile(file, 0));
    for (auto group : {GasMapFields, PetrolMapFields, ParameterFields, VehicleFields})
        ExpectSame(car, other, group);
    EXPECT_EQ(other.GetConfigName(), "Familiare 1.6");
    EXPECT_TRUE(other.GetStatusFlag(ConfCar::kOfficial));
    EXPECT_TRUE(other.GetStatusFlag(ConfCar::kMethane));
    EXPECT_EQ(other.ProgFile, car.ProgFile);
    for (int kind = 1; kind <= 5; ++kind)
        EXPECT_EQ(other.GetVehicleText(kind), car.GetVehicleText(kind)) << kind;
    EXPECT_FLOAT_EQ(other.Potenza, 75.5f);
    EXPECT_TRUE(other.HasPetrolMap());
    EXPECT_FALSE(other.Modified);
    EXPECT_EQ(other.FileName, file);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(ConfigFile, CalibrationMapScopeCarriesOnlyTheGasMapAndHeader)
{
    FillAll(car);
    const std::string file = Path("map.vap");
    ASSERT_TRUE(car.SaveToFile(file, 1));
    const IniFile ini = IniFile::FromText(Decoded(file));
    for (const char* key : {"NomeConfigurazione", "ProgFile", "MurFile", "Carburante", "Cilindrata"})
        EXPECT_TRUE(ini.KeyExists("Generale", key)) << key;
    for (const char* key : {"Flag1", "DescrizAuto", "Potenza", "AnnoVettura"})
        EXPECT_FALSE(ini.KeyExists("Generale", key)) << key;
    EXPECT_FALSE(ini.SectionExists("Lambda"));
    EXPECT_FALSE(ini.SectionExists("MappaBenzina"));

    // Loaded whole, the file brings the map and header; the parameters stay as they were.
    ConfCar fresh{"default.mur", &link, clock};
    ASSERT_TRUE(other.LoadFromFile(file, 0));
    ExpectSame(car, other, GasMapFields);
    ExpectSame(fresh, other, ParameterFields);
    ExpectSame(fresh, other, PetrolMapFields);
    EXPECT_EQ(other.Cilindrata, car.Cilindrata);
    EXPECT_EQ(other.ProgFile, car.ProgFile);
    EXPECT_TRUE(other.GetStatusFlag(ConfCar::kOfficial));
    EXPECT_FLOAT_EQ(other.Potenza, 0); // absent power reads as 0

    // Loaded as a calibration map, only the map, the name and the flags come in.
    ConfCar third{"default.mur", &link, clock};
    ASSERT_TRUE(third.LoadFromFile(file, 1));
    ExpectSame(car, third, GasMapFields);
    ExpectSame(fresh, third, ParameterFields);
    EXPECT_EQ(third.Cilindrata, fresh.Cilindrata);
    EXPECT_EQ(third.ProgFile, fresh.ProgFile);
    EXPECT_EQ(third.GetConfigName(), "map");
    EXPECT_TRUE(third.GetStatusFlag(ConfCar::kMethane));
}

TEST_F(ConfigFile, ParameterScopeCarriesOnlyTheParameters)
{
    FillAll(car);
    const std::string file = Path("ResetLpg.vap");
    ASSERT_TRUE(car.SaveToFile(file, 2));
    const IniFile ini = IniFile::FromText(Decoded(file));
    EXPECT_TRUE(ini.KeyExists("Generale", "NomeConfigurazione"));
    EXPECT_TRUE(ini.KeyExists("Generale", "ProgFile"));
    EXPECT_TRUE(ini.KeyExists("Generale", "Flag1"));
    for (const char* key : {"MurFile", "Carburante", "Cilindrata", "DescrizAuto"})
        EXPECT_FALSE(ini.KeyExists("Generale", key)) << key;
    EXPECT_FALSE(ini.SectionExists("MappaCarburazione"));
    EXPECT_FALSE(ini.SectionExists("RiferimentiGiri"));

    other.WriteThrough = false;
    other.SetStatusFlag(ConfCar::kOfficial, true);
    other.WriteThrough = true;
    ConfCar fresh{"default.mur", &link, clock};
    ASSERT_TRUE(other.LoadFromFile(file, 2));
    ExpectSame(car, other, ParameterFields);
    ExpectSame(fresh, other, PetrolMapFields);
    EXPECT_EQ(other.GetConfigName(), "ResetLpg");
    EXPECT_EQ(other.ProgFile, fresh.ProgFile);
    EXPECT_FALSE(other.Modified);
    // The climate effect went through its setter: columns 0 and 1 of the map moved with it,
    // which also cleared the official flag.
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 20; ++c)
            EXPECT_EQ(other.MappaCarburazione[r][c], c < 2 ? 7 : 0) << r << "," << c;
    EXPECT_FALSE(other.GetStatusFlag(ConfCar::kOfficial));
}

TEST_F(ConfigFile, ClimateEffectShiftsTheMapOnlyForParameterLoads)
{
    const std::string file = Plain("climate.vap", "[Generale]\r\n[Carburazione]\r\nEffettoClima=3\r\n");
    for (int scope : {0, 2}) {
        ConfCar c{"default.mur", &link, clock};
        for (auto& row : c.MappaCarburazione)
            for (int32_t& cell : row)
                cell = 100;
        ASSERT_TRUE(c.LoadFromFile(file, scope));
        EXPECT_EQ(c.EffettoClima, 3) << scope;
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 20; ++col)
                EXPECT_EQ(c.MappaCarburazione[r][col], scope == 2 && col < 2 ? 103 : 100) << scope << r << col;
    }
}

TEST_F(ConfigFile, DecodedTextListsSectionsAndKeysInFileOrder)
{
    FillAll(car);
    const std::string file = Path("order.vap");
    ASSERT_TRUE(car.SaveToFile(file, 0));

    const std::vector<std::pair<std::string, std::vector<std::string>>> table = {
        {"Generale", {"NomeConfigurazione", "ProgFile", "MurFile", "Carburante", "Cilindrata"}},
        {"RiferimentiGiri", Seq("RifGiri", 20)},
        {"RiferimentiMAP", Seq("RifMAP", 8)},
        {"MappaCarburazione", Cells("Mappa", 8, 20)},
        {"Generale",
         {"DescrizAuto", "Euro", "CentCubici", "Valvole", "N cilindri", "Potenza", "Motore", "Centralina", "Cambio",
          "AnnoVettura"}},
        {"RiferimentiGiriBenzina", Seq("RifGiriB", 12)},
        {"RiferimentiMAPBenzina", Seq("RifMAPB", 12)},
        {"MappaBenzina", Cells("MappaB", 12, 12)},
        {"Generale", {"Flag1"}},
        {"Lambda",
         {"TipoDiLambda", "RifLambda", "RitardoLetturaSonda", "TempoSondaFredda", "RifSupSondaFredda",
          "RifInfSondaFredda", "RifSupSondaCalda", "RifInfSondaCalda"}},
        {"Accensione-Cambio",
         {"TemperaturaCambio", "GiriPerCambio", "TempoSovrapposizione", "RitardoMinimoCambio", "FuoriGiri",
          "NumeroCilindri", "FasciaGiriMinimo"}},
        {"Cutoff", {"GiriCutoff", "RitardoCutoff", "MotoreCutoff", "MotoreFineCutoff", "TempoPassiCutoff"}},
        {"TPS", {"TipoDiTps", "Isteresi", "TpsMoltoFuori"}},
        {"OpenLoop", Seq("RifOpenLoop", 20)},
        {"PassiInversione", Seq("PassiInv", 20)},
        {"TempiTraPassi", Interleave("PassiIngr", "PassiSmag", 20)},
        {"Emulazione", {"TempoAlto", "TempoBasso", "TempoSondaSconnessa", "NumeroOnde", "LivelloAlto", "LivelloBasso"}},
        {"SensoreDiLivello", {"TipoSensore", "TempoRitBenzina", "RifSensore0", "RifSensore1", "RifSensore2", "RifSensore3"}},
        {"Carburazione",
         {"MinErroreIntegrale", "MaxErroreIntegrale", "MaxErroreIntegraleAlMinimo", "MinErroreIntegraleAlMinimo",
          "TpsSbana", "GiriSbana", "PassiSbana", "TempoApSbana", "TempoChSbana", "CorrRientroMin", "EffettoClima"}},
        {"Arricchimento",
         Cat({Seq("DecrCumulo", 6), Seq("ArriccUscitaMin", 6), Seq("Arricc2UscitaMin", 6), Seq("ArrPerTps", 6),
              Seq("VarCumulo", 6)})},
        {"Arricchimento",
         {"MinCumulo", "TempoArrBenzina", "TempoArrBenzina1", "TempoArrBenzina2", "TempoArrBenzina3",
          "TempoArrBenzina4", "TempoArrBenzina5", "TpsArrBenzina", "TempoMinArrBenzina", "GiriArrBenzina"}},
        {"Diagnosi", Interleave("Stato", "Abilitazione", 2)},
        {"Temperatura", Cat({Seq("Rif", 10), Seq("Coeff", 9)})},
        {"Arricchimento", {"LimitazioneCorrettore"}},
    };
    // Keys of a section already written join that first section, as the profile functions do.
    std::vector<std::string> sectionOrder;
    std::map<std::string, std::vector<std::string>> keys;
    for (const auto& [section, list] : table) {
        if (!keys.count(section))
            sectionOrder.push_back(section);
        auto& into = keys[section];
        into.insert(into.end(), list.begin(), list.end());
    }
    std::string expected = "DVMF\r\n";
    for (const auto& section : sectionOrder) {
        expected += "[" + section + "]\r\n";
        for (const auto& key : keys[section])
            expected += key + "=\r\n";
    }
    // Compare names only: drop every value.
    const std::string text = Decoded(file);
    std::string actual;
    for (size_t pos = 0, end; pos < text.size() && (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        std::string line = text.substr(pos, end - pos);
        if (const size_t eq = line.find('='); eq != std::string::npos)
            line.resize(eq + 1);
        actual += line + "\r\n";
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(ConfigFile, ConfigurationNameLosesItsExtensionAfterTheCut)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Utilitaria.vap", "Utilitaria"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNO"}, // 25 -> 19 -> 15
        {"abcd", ""},
        {"ab", ""},
    };
    for (const auto& [value, name] : cases) {
        ConfCar c{"default.mur", &link, clock};
        ASSERT_TRUE(c.LoadFromFile(Plain("name.vap", "[Generale]\r\nNomeConfigurazione=" + value + "\r\n"), 0));
        EXPECT_EQ(c.GetConfigName(), name) << value;
    }
    ConfCar c{"default.mur", &link, clock};
    ASSERT_TRUE(c.LoadFromFile(Plain("noname.vap", "[Generale]\r\nCilindrata=30\r\n"), 0));
    EXPECT_EQ(c.GetConfigName(), "ResetLpg");
}

TEST_F(ConfigFile, MissingKeysKeepFieldsButFlagsAndPowerReset)
{
    FillAll(car);
    const std::string file = Plain("sparse.vap",
                                   "[Generale]\r\nCilindrata=30\r\n[Arricchimento]\r\n"
                                   "TempoArrBenzina=9\r\nTempoArrBenzina3=4\r\n");
    ConfCar before{"default.mur", &link, clock};
    FillAll(before);
    ASSERT_TRUE(car.LoadFromFile(file, 0));
    EXPECT_FALSE(car.GetStatusFlag(ConfCar::kOfficial));
    EXPECT_FALSE(car.GetStatusFlag(ConfCar::kMethane));
    EXPECT_FLOAT_EQ(car.Potenza, 0);
    EXPECT_EQ(car.Cilindrata, 30);
    EXPECT_EQ(car.DescrizAuto, before.DescrizAuto);
    ExpectSame(before, car, GasMapFields);
    const int32_t slots[6] = {9, 9, 9, 4, 9, 9}; // each slot starts from slot 0
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(car.TempoArrBenzina[i], slots[i]) << i;
    EXPECT_EQ(car.Flag1, before.Flag1);
}

TEST_F(ConfigFile, PlainFileLoadsLikeItsEncodedTwin)
{
    FillAll(car);
    const std::string encoded = Path("twin.vap");
    ASSERT_TRUE(car.SaveToFile(encoded, 0));
    const std::string plain = Put("twin2.vap", Decoded(encoded));
    ASSERT_EQ(Get(plain).substr(0, 6), "DVMF\r\n");

    ASSERT_TRUE(other.LoadFromFile(plain, 0));
    for (auto group : {GasMapFields, PetrolMapFields, ParameterFields, VehicleFields})
        ExpectSame(car, other, group);
    EXPECT_EQ(other.GetConfigName(), "twin");
    EXPECT_EQ(other.Centralina, car.Centralina);
}

TEST_F(ConfigFile, PowerIsStoredInHundredths)
{
    for (const auto& [power, text] : std::vector<std::pair<float, std::string>>{
             {75.5f, "7550"}, {12.344f, "1234"}, {12.346f, "1235"}}) {
        car.Potenza = power;
        ASSERT_TRUE(car.SaveToFile(Path("p.vap"), 0));
        EXPECT_EQ(IniFile::FromText(Decoded(Path("p.vap"))).ReadString("Generale", "Potenza", ""), text);
    }
    // Whatever a file holds, the power loaded saves as it was read and loads again the same.
    for (const auto& [text, hundredths] : std::vector<std::pair<std::string, std::string>>{
             {"1.5", "2"}, {"-3", "-3"}, {"nan", "0"}, {"1e30", "2147483600"}, {"-inf", "-2147483600"}}) {
        ASSERT_TRUE(car.LoadFromFile(Plain("odd.vap", "[Generale]\r\nPotenza=" + text + "\r\n"), 0)) << text;
        const float loaded = car.Potenza;
        ASSERT_TRUE(car.SaveToFile(Path("odd.vap"), 0));
        EXPECT_EQ(IniFile::FromText(Decoded(Path("odd.vap"))).ReadString("Generale", "Potenza", ""), hundredths);
        ASSERT_TRUE(car.LoadFromFile(Path("odd.vap"), 0));
        EXPECT_EQ(car.Potenza, loaded) << text;
    }
    const std::string file = Plain("power.vap", "[Generale]\r\nPotenza=7550\r\nValvole=16\r\nEuro=Euro 3\r\n");
    ASSERT_TRUE(car.LoadFromFile(file, 0));
    EXPECT_FLOAT_EQ(car.GetPower(), 75.5f);
    VehicleData data;
    ASSERT_TRUE(ConfCar::ReadVehicleData(file, data));
    EXPECT_DOUBLE_EQ(data.Potenza, 7550);
    EXPECT_EQ(data.Valvole, 16);
    EXPECT_EQ(data.Euro, "Euro 3");
    EXPECT_EQ(data.AnnoVettura, 0);
    EXPECT_EQ(data.Motore, "");
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(ConfigFile, ProgressFollowsTheStepsOfEachOperation)
{
    auto repeat = [](Progress p, int n, int32_t amount) {
        p.insert(p.end(), n, {amount, true});
        return p;
    };
    auto steps = [](Progress p, std::initializer_list<int32_t> amounts) {
        for (int32_t a : amounts)
            p.push_back({a, true});
        return p;
    };
    const Progress start = {{0, false}};
    const std::pair<int32_t, bool> done = {100, false};
    auto end = [&](Progress p) { p.push_back(done); return p; };
    const Progress saveMap = repeat(steps(start, {2}), 20, 4);
    const Progress loadMap = saveMap;
    const Progress petrol = repeat(steps({}, {2}), 12, 4);
    auto join = [](Progress a, const Progress& b) { a.insert(a.end(), b.begin(), b.end()); return a; };
    const Progress saveParams = steps({}, {1, 1, 1, 1, 2, 1, 2});
    const Progress loadParams = steps({}, {2, 2, 2, 3, 2, 3, 2});

    struct Case {
        bool save;
        int scope;
        Progress expected;
    };
    const std::vector<Case> cases = {
        {true, 0, end(join(join(saveMap, petrol), saveParams))},
        {true, 1, end(repeat(steps(start, {3}), 20, 6))},
        {true, 2, end(join(start, saveParams))},
        {false, 0, end(join(join(loadMap, petrol), loadParams))},
        {false, 1, end(repeat(steps(start, {3}), 20, 6))},
        {false, 2, end(loadParams)},
    };
    FillAll(car);
    for (const Case& c : cases) {
        Progress seen;
        car.SetProgressSink([&](int32_t amount, bool add) { seen.push_back({amount, add}); });
        const std::string file = Path("progress" + std::to_string(c.scope) + ".vap");
        ASSERT_TRUE(c.save ? car.SaveToFile(file, c.scope) : car.LoadFromFile(file, c.scope));
        EXPECT_EQ(seen, c.expected) << (c.save ? "save " : "load ") << c.scope;
    }

    // Without a petrol map the save leaves the petrol groups and their steps out.
    car.SetDefaults(false);
    Progress seen;
    car.SetProgressSink([&](int32_t amount, bool add) { seen.push_back({amount, add}); });
    ASSERT_TRUE(car.SaveToFile(Path("nopetrol.vap"), 0));
    EXPECT_EQ(seen, end(join(saveMap, saveParams)));
    EXPECT_FALSE(IniFile::FromText(Decoded(Path("nopetrol.vap"))).SectionExists("MappaBenzina"));
}

TEST_F(ConfigFile, GasMapReaderFillsOnlyTheCallersTables)
{
    FillAll(car);
    const std::string file = Path("calib.vap");
    ASSERT_TRUE(car.SaveToFile(file, 1));

    int32_t map[8][20] = {}, rpm[20] = {}, refs[8] = {};
    Progress seen;
    other.SetProgressSink([&](int32_t amount, bool add) { seen.push_back({amount, add}); });
    ConfCar fresh{"default.mur", &link, clock};
    ASSERT_TRUE(other.ReadGasMapFromFile(file, map, rpm, refs));
    EXPECT_EQ(0, std::memcmp(map, car.MappaCarburazione, sizeof map));
    EXPECT_EQ(0, std::memcmp(rpm, car.RifGiri, sizeof rpm));
    EXPECT_EQ(0, std::memcmp(refs, car.RifMAP, sizeof refs));
    ExpectSame(fresh, other, GasMapFields);
    EXPECT_EQ(other.FileName, file);
    EXPECT_EQ(seen.size(), 22u);
    EXPECT_EQ(seen[1], std::make_pair(3, true));
    EXPECT_EQ(seen[2], std::make_pair(6, true));

    // Keys the file lacks leave the caller's values.
    rpm[5] = -1;
    ASSERT_TRUE(other.ReadGasMapFromFile(Plain("part.vap", "[RiferimentiGiri]\r\nRifGiri4=777\r\n"), map, rpm, refs));
    EXPECT_EQ(rpm[4], 777);
    EXPECT_EQ(rpm[5], -1);
    EXPECT_FALSE(other.ReadGasMapFromFile(Path("missing.vap"), map, rpm, refs));
    EXPECT_EQ(rpm[4], 777);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(ConfigFile, GasMapReaderHoldsWildValuesInsideTheirRanges)
{
    // A base map goes to the unit from the caller's tables: out-of-range values must not reach it.
    int32_t map[8][20] = {}, rpm[20] = {}, refs[8] = {};
    ASSERT_TRUE(other.ReadGasMapFromFile(Plain("wild.vap", "[Generale]\r\n[RiferimentiGiri]\r\nRifGiri0=99999\r\n"
                                                           "RifGiri1=-4\r\n[RiferimentiMAP]\r\nRifMAP0=300\r\n"
                                                           "[MappaCarburazione]\r\nMappa0_0=70000\r\nMappa7_19=-1\r\n"),
                                         map, rpm, refs));
    EXPECT_EQ(rpm[0], 65535);
    EXPECT_EQ(rpm[1], 0);
    EXPECT_EQ(refs[0], 255);
    EXPECT_EQ(map[0][0], 65535);
    EXPECT_EQ(map[7][19], 0);
}

TEST_F(ConfigFile, HeaderReadersAndWriter)
{
    struct FlagCase {
        std::string ini;
        bool official, methane;
    };
    for (const FlagCase& c : std::vector<FlagCase>{{"MurFile=1\r\nCarburante=1", true, true},
                                                   {"MurFile=0\r\nCarburante=5", false, true},
                                                   {"MurFile=2", true, false},
                                                   {"ProgFile=x", false, false}}) {
        const std::string file = Plain("flags.vap", "[Generale]\r\n" + c.ini + "\r\n");
        bool methane = !c.methane;
        EXPECT_EQ(ConfCar::ReadFileFlags(file, &methane), c.official) << c.ini;
        EXPECT_EQ(methane, c.methane) << c.ini;
        EXPECT_EQ(ConfCar::ReadFileFlags(file, nullptr), c.official) << c.ini;
    }

    FillAll(car);
    const std::string file = Path("header.vap");
    ASSERT_TRUE(car.SaveToFile(file, 0));
    const std::string prog = "Vapora 2.s19";
    const bool official = false;
    ASSERT_TRUE(ConfCar::WriteFileHeader(file, &prog, &official));
    EXPECT_EQ(Get(file).substr(0, 6), "EVMF\r\n");
    std::string readProg = "old";
    bool readOfficial = true;
    ASSERT_TRUE(ConfCar::ReadFileProg(file, &readProg, &readOfficial));
    EXPECT_EQ(readProg, prog);
    EXPECT_FALSE(readOfficial);

    const bool set = true;
    ASSERT_TRUE(ConfCar::WriteFileHeader(file, nullptr, &set));
    ASSERT_TRUE(ConfCar::ReadFileProg(file, &readProg, &readOfficial));
    EXPECT_EQ(readProg, prog);
    EXPECT_TRUE(readOfficial);
    ASSERT_TRUE(other.LoadFromFile(file, 0)); // the rest of the file is untouched
    ExpectSame(car, other, ParameterFields);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(ConfigFile, UnreadableFilesFailWithoutLeavingCopies)
{
    fs::create_directories(root / "folder.vap");
    const std::string noFile = Path("missing.vap"), folder = Path("folder.vap");
    for (const std::string& file : {noFile, folder}) {
        for (int scope : {0, 1, 2})
            EXPECT_FALSE(car.LoadFromFile(file, scope)) << file;
        bool methane = true;
        EXPECT_FALSE(ConfCar::ReadFileFlags(file, &methane));
        EXPECT_FALSE(methane);
        std::string prog;
        EXPECT_FALSE(ConfCar::ReadFileProg(file, &prog, nullptr));
        VehicleData data;
        EXPECT_FALSE(ConfCar::ReadVehicleData(file, data));
        const bool official = true;
        EXPECT_FALSE(ConfCar::WriteFileHeader(file, nullptr, &official));
        EXPECT_FALSE(car.ResetUnit(file));
    }
    EXPECT_FALSE(fs::exists(noFile));
    EXPECT_TRUE(NoTemporaryLeft());

    // Garbage and cut files decode to texts without keys: no crash, nothing left behind.
    FillAll(car);
    ASSERT_TRUE(car.SaveToFile(Path("whole.vap"), 0));
    Put("cut.vap", Get(Path("whole.vap")).substr(0, 1000));
    Put("garbage.vap", std::string("\0\xff[=]\r\n\x1a", 8));
    for (const char* name : {"cut.vap", "garbage.vap"})
        other.LoadFromFile(Path(name), 0);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(ConfigFile, FailedSaveKeepsTheOldFile)
{
    FillAll(car);
    const std::string file = Path("keep.vap");
    ASSERT_TRUE(car.SaveToFile(file, 0));
    const std::string old = Get(file);
    car.SetDefaults(false);

    // Midway: the progress sink fails after a few columns of the map.
    car.Modified = true;
    int calls = 0;
    car.SetProgressSink([&](int32_t, bool) {
        if (++calls == 10)
            throw std::runtime_error("stop");
    });
    EXPECT_FALSE(car.SaveToFile(file, 0));
    EXPECT_EQ(Get(file), old);
    EXPECT_TRUE(car.Modified);
    EXPECT_TRUE(NoTemporaryLeft());
    car.SetProgressSink(nullptr);

    // No temporary folder to work in.
    SetTempFolder(root / "none");
    EXPECT_FALSE(car.SaveToFile(file, 0));
    EXPECT_EQ(Get(file), old);
    SetTempFolder(tmp);

    // A target that cannot be replaced or created.
    fs::create_directories(root / "dir.vap");
    EXPECT_FALSE(car.SaveToFile(Path("dir.vap"), 0));
    EXPECT_TRUE(fs::is_directory(root / "dir.vap"));
    EXPECT_FALSE(car.SaveToFile((root / "nofolder" / "x.vap").string(), 0));
    EXPECT_FALSE(fs::exists(root / "nofolder"));
    EXPECT_TRUE(NoTemporaryLeft());

    // A read-only folder (not enforced for a privileged user).
    fs::permissions(root, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const bool enforced = !std::ofstream(root / "probe");
    if (enforced) {
        EXPECT_FALSE(car.SaveToFile(file, 0));
        EXPECT_EQ(Get(file), old);
    }
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(ConfigFile, TextsWithALoneCarriageReturnReadTheSameAfterASave)
{
    const std::string cr = "Berlina\rdue";
    std::string ini = "[Generale]\r\nNomeConfigurazione=" + cr + ".vap\r\nProgFile=" + cr + "\r\n";
    for (const char* key : {"DescrizAuto", "Euro", "Motore", "Centralina", "Cambio"})
        ini += std::string(key) + "=" + cr + "\r\n";
    auto texts = [](const ConfCar& c) {
        std::vector<std::string> all{c.ProgFile};
        for (int kind = 1; kind <= 5; ++kind)
            all.push_back(c.GetVehicleText(kind));
        return all;
    };
    ASSERT_TRUE(car.LoadFromFile(Plain("cr.vap", ini), 0));
    const std::vector<std::string> loaded = texts(car);
    EXPECT_EQ(loaded.front(), "Berlina due");
    EXPECT_EQ(car.GetConfigName(), "Berlina due");
    ASSERT_TRUE(car.SaveToFile(Path("again.vap"), 0));
    ASSERT_TRUE(other.LoadFromFile(Path("again.vap"), 0));
    EXPECT_EQ(texts(other), loaded);
}
