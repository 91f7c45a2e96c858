// The parameter catalogue against what the rest of the program does with a parameter:
// the accessors' engineering values, the saved file's keys and the dictionary's captions.

#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/ParamIds.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

using namespace vapora;
namespace fs = std::filesystem;
using params::Param;

namespace {

// Every element of every field a random value inside its parameter's range.
void Randomise(ConfCar& car, std::mt19937& rng)
{
    for (const Param* p : params::All())
        for (int i = 0; p->HasField() && i < p->Count(); ++i) {
            const ids::RawRange r = p->Range();
            p->Data(car)[i] = std::uniform_int_distribution<int32_t>(r.min, r.max)(rng);
        }
}

// What a window reads for element `i`, through the record's own accessors.
using Accessor = std::function<double(ConfCar&, int)>;

std::map<const Param*, Accessor> Accessors()
{
    using namespace params;
    auto enrich = [](int kind) { return [kind](ConfCar& c, int i) { return double(c.GetEnrichParam(i, kind)); }; };
    return {
        {&RifGiri, [](ConfCar& c, int i) { return double(c.GetRpmRef(i)); }},
        {&RifMAP, [](ConfCar& c, int i) { return c.GetMapRef(i); }},
        {&MappaCarburazione, [](ConfCar& c, int i) { return double(c.GetGasMapCell(i / 20, i % 20)); }},
        {&Adattativita, [](ConfCar& c, int i) { return double(c.GetAdaptCell(i / 20, i % 20)); }},
        {&MappaBenzina, [](ConfCar& c, int i) { return c.GetPetrolMapCell(i / 12, i % 12); }},
        {&RifGiriB, [](ConfCar& c, int i) { return double(c.GetPetrolRpmRef(i)); }},
        {&RifMAPB, [](ConfCar& c, int i) { return c.GetPetrolMapRef(i); }},
        {&PassiIngr, [](ConfCar& c, int i) { return double(c.GetStepParam(i, 3)); }},
        {&PassiSmag, [](ConfCar& c, int i) { return double(c.GetStepParam(i, 4)); }},
        {&RifSensore,
         [](ConfCar& c, int i) {
             c.GetSensorTypeIndex(); // the accessor follows the sensor type as the editor sets it
             return double(c.GetSensorRef(i));
         }},
        {&TipoSensore, [](ConfCar& c, int) { return double(c.GetSensorTypeIndex()); }},
        {&ArrPerTps, enrich(1)},
        {&ArriccUscitaMin, enrich(2)},
        {&Arricc2UscitaMin, enrich(3)},
        {&DecrCumulo, enrich(4)},
        {&VarCumulo, enrich(5)},
        {&TempoArrBenzina, [](ConfCar& c, int i) { return c.GetPetrolEnrichTime(i); }},
        {&TempoArrBenzinaOld,
         [](ConfCar& c, int) {
             c.IdUnita[3] = 14;
             const double v = c.GetPetrolEnrichTime(3); // older units: every band answers slot 0
             c.IdUnita[3] = 15;
             return v;
         }},
        {&Stato, [](ConfCar& c, int i) { return double(c.GetDiagParam(i, 1)); }},
        {&Abilitazione, [](ConfCar& c, int i) { return double(c.GetDiagParam(i, 2)); }},
        {&TempRif, [](ConfCar& c, int i) { return double(c.GetTempParam(i, 2)); }},
        {&TempCoeff, [](ConfCar& c, int i) { return double(c.GetTempParam(i, 1)); }},
        {&EffettoClima, [](ConfCar& c, int) { return double(c.GetClimateEffect()); }},
    };
}

// The packed bytes the editor shows as two numbers.
std::string PackedText(ConfCar& c, const Param& p, int i)
{
    if (&p == &params::RifOpenLoop)
        return std::to_string(c.GetOpenLoop(i, 1)) + "/" + std::to_string(c.GetOpenLoop(i, 2));
    return std::to_string(c.GetStepParam(i, 1)) + "/" + std::to_string(c.GetStepParam(i, 2));
}

// Every key of a whole configuration file in the order the save writes it.
std::vector<params::Element> FileOrder()
{
    std::vector<params::Element> keys{{&params::Cilindrata, 0}};
    for (auto part : {params::FilePart::GasMap, params::FilePart::PetrolMap, params::FilePart::Parameters})
        params::WalkFilePart(part, [&](const Param& p, int i) { keys.push_back({&p, i}); });
    return keys;
}

} // namespace

TEST(Catalogue, EngineeringValuesAreWhatTheAccessorsAnswer)
{
    const auto accessors = Accessors();
    std::mt19937 rng(2604);
    for (int round = 0; round < 40; ++round) {
        ConfCar car("x.vap", nullptr);
        Randomise(car, rng);
        for (const Param* p : params::All()) {
            if (!p->HasField() || p == &params::StatoConfigurazione)
                continue; // the status word and name have accessors of their own
            const auto it = accessors.find(p);
            const bool packed = p == &params::RifOpenLoop || p == &params::PassiInv;
            // Scalars answer through GetParam, which the golden traces hold to its values.
            ASSERT_TRUE(p->dataCode || packed || it != accessors.end()) << p->key << " has no accessor to agree with";
            for (int i = 0; i < p->Count(); ++i) {
                SCOPED_TRACE(p->ElementKey(i) + " raw " + std::to_string(p->Data(car)[i]));
                const int32_t raw = p->Data(car)[i];
                if (packed) {
                    EXPECT_EQ(params::EngineeringText(*p, i, raw, car), PackedText(car, *p, i));
                } else if (it != accessors.end()) {
                    EXPECT_DOUBLE_EQ(params::Engineering(*p, i, raw, car), it->second(car, i));
                }
            }
        }
    }
}

TEST(Catalogue, ComparisonNamesExactlyTheChangedValuesAsTheFileKeepsThem)
{
    const std::vector<params::Element> order = FileOrder();
    std::mt19937 rng(26);
    const fs::path file = fs::temp_directory_path() / ("vapora_compare_" + std::to_string(rng()) + ".vap");
    for (int round = 0; round < 25; ++round) {
        ConfCar a("a.vap", nullptr), b("b.vap", nullptr);
        Randomise(a, rng);
        for (const params::Element& e : order)
            e.param->Data(b)[e.index] = e.param->Data(a)[e.index];
        // A few values of b changed, anywhere in the file; and fields no file keeps.
        std::set<size_t> changed;
        const size_t count = 1 + rng() % 12;
        while (changed.size() < count)
            changed.insert(rng() % order.size());
        for (size_t k : changed) {
            const params::Element& e = order[k];
            const ids::RawRange r = e.param->Range();
            int32_t& v = e.param->Data(b)[e.index];
            v = v == r.max ? r.min : v + 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(r.max - v));
        }
        b.Adattativita[3][4] = a.Adattativita[3][4] + 1;
        b.TempoGas = a.TempoGas ^ 1;

        const auto differences = params::CompareRecords(a, b);
        ASSERT_EQ(differences.size(), changed.size());
        ASSERT_TRUE(b.SaveToFile(file.string(), 0));
        const std::string text = CryptBytes(test::ReadAll(file), true, true, {});
        auto k = changed.begin();
        for (const params::ValueDifference& d : differences) {
            const params::Element& e = order[*k++]; // in file order
            SCOPED_TRACE(d.key);
            EXPECT_EQ(d.param, e.param);
            EXPECT_EQ(d.index, e.index);
            EXPECT_EQ(d.rawA, e.param->Data(a)[e.index]);
            EXPECT_EQ(d.rawB, e.param->Data(b)[e.index]);
            EXPECT_DOUBLE_EQ(d.engineeringB, params::Engineering(*e.param, e.index, d.rawB, b));
            EXPECT_EQ(d.textB, params::EngineeringText(*e.param, e.index, d.rawB, b));
            // The key and section name the value in the saved file, whatever their case.
            const size_t section = text.find("[" + std::string(d.section) + "]");
            ASSERT_NE(section, std::string::npos);
            const size_t at = text.find("\r\n" + d.key + "=" + std::to_string(d.rawB) + "\r\n", section);
            EXPECT_NE(at, std::string::npos);
            EXPECT_LT(at, text.find("\r\n[", section + 1));
            std::string lower = d.key;
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
            const params::Element found = params::FindFileKey(d.section, lower);
            EXPECT_EQ(found.param, e.param);
            EXPECT_EQ(found.index, e.index);
        }
    }
    fs::remove(file);
    EXPECT_FALSE(params::FindFileKey("Lambda", "Flag1"));
    EXPECT_FALSE(params::FindFileKey("Generale", "NomeConfigurazione"));
}

TEST(Catalogue, GroupsAndCaptionsHaveNamesTheUserCanRead)
{
    EXPECT_EQ(params::GroupKey(ids::kFlag1), "Flag1");
    EXPECT_EQ(params::GroupKey(ids::kRifGiriBlock), "RifGiri0..RifGiri19");
    EXPECT_EQ(params::GroupKey(ids::kGasMapRow, 2), "Mappa2_0..Mappa2_19");
    EXPECT_EQ(params::GroupKey(ids::kTempoArrBenzinaBlock), "TempoArrBenzina..TempoArrBenzina5");
    EXPECT_EQ(params::GroupKey(ids::kTempRifBlock), "Rif0..Rif9");
    EXPECT_EQ(params::GroupKey(0x1234), "4660");

    // Every caption is a key of the shipped dictionary with both its texts.
    std::set<std::string> keys;
    std::vector<fs::path> tables{fs::path(VAPORA_DATA_DIR) / "dictionary.txt"};
    for (const auto& entry : fs::directory_iterator(fs::path(VAPORA_DATA_DIR) / "dictionary.d"))
        tables.push_back(entry.path());
    for (const fs::path& table : tables) {
        std::ifstream in(table, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string key, italian, english;
            if (std::getline(fields, key, '\t') && std::getline(fields, italian, '\t') &&
                std::getline(fields, english) && !italian.empty() && !english.empty())
                keys.insert(key);
        }
    }
    for (const Param* p : params::All()) {
        if (!p->caption.empty()) {
            EXPECT_EQ(keys.count(std::string(p->caption)), 1u) << p->key << ": " << p->caption;
        }
    }
}
