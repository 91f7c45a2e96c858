// The configuration loader on any file, encoded or not: every scope of the
// record's load, the header readers and the gas-map reader. After any load
// every value is inside its parameter's range; a refused file changes nothing;
// a loaded file saved and loaded again gives the same record (but for the
// configuration's name, which follows the file's name).

#include "fuzz/FuzzSupport.h"
#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/ParamCatalogue.h"
#include "model/ParamIds.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

using namespace vapora;

namespace {

constexpr int kNameFirst = 2; // StatoConfigurazione[2..] holds the configuration's name

void CheckRanges(ConfCar& car)
{
    for (const params::Param* p : params::All()) {
        if (!p->HasField())
            continue;
        const ids::RawRange range = ids::RangeOfParam(p->number);
        const int32_t* values = p->Data(car);
        for (int i = 0; i < p->Count(); ++i)
            FUZZ_CHECK(range.Contains(values[i]));
    }
}

// Everything a configuration file carries, the name apart unless asked for.
// Says on stderr what differs, so that a crash report names the field.
bool SameRecord(ConfCar& a, ConfCar& b, bool withName)
{
    auto differs = [](const char* what) {
        std::fprintf(stderr, "records differ in %s\n", what);
        return false;
    };
    for (const params::Param* p : params::All()) {
        if (!p->HasField())
            continue;
        // Without a petrol map its breakpoints are neither saved nor sent to the unit.
        if (p->condition == params::Condition::PetrolMap && !a.MappaBenzinaPresente && !b.MappaBenzinaPresente)
            continue;
        const int32_t* x = p->Data(a);
        const int32_t* y = p->Data(b);
        for (int i = 0; i < p->Count(); ++i) {
            if (p == &params::StatoConfigurazione && i >= kNameFirst && !withName)
                continue;
            if (x[i] != y[i]) {
                std::fprintf(stderr, "%s: %d against %d\n", p->ElementKey(i).c_str(), x[i], y[i]);
                return differs("a parameter");
            }
        }
    }
    if (withName && (a.FileName != b.FileName || a.NomeBreve != b.NomeBreve))
        return differs("the name");
    if (a.ProgFile != b.ProgFile || a.DescrizAuto != b.DescrizAuto || a.Euro != b.Euro || a.Motore != b.Motore ||
        a.Centralina != b.Centralina || a.Cambio != b.Cambio)
        return differs("a text");
    if (a.CentCubici != b.CentCubici || a.Valvole != b.Valvole || a.NCilindri != b.NCilindri ||
        a.AnnoVettura != b.AnnoVettura)
        return differs("the vehicle data");
    if (std::memcmp(&a.Potenza, &b.Potenza, sizeof a.Potenza) != 0) {
        std::fprintf(stderr, "power %.9g against %.9g\n", a.Potenza, b.Potenza);
        return differs("the power");
    }
    if (a.MappaBenzinaPresente != b.MappaBenzinaPresente || a.TipoSensore != b.TipoSensore ||
        a.SensoreResistivo != b.SensoreResistivo)
        return differs("the petrol map or the sensor");
    return true;
}

void LoadSaveLoad(const std::string& file, int scope)
{
    static const std::string saved = fuzz::PathOf("saved.vap");
    ConfCar car("", nullptr);
    static ConfCar untouched("", nullptr);
    if (!car.LoadFromFile(file, scope)) {
        FUZZ_CHECK(car.LastFileError() != FileError::None);
        FUZZ_CHECK(SameRecord(car, untouched, true));
        return;
    }
    CheckRanges(car);
    FUZZ_CHECK(car.SaveToFile(saved, scope));
    ConfCar again("", nullptr);
    FUZZ_CHECK(again.LoadFromFile(saved, scope));
    FUZZ_CHECK(again.CorrectedKeys().empty());
    FUZZ_CHECK(SameRecord(car, again, false));
    if (scope != 2)
        FUZZ_CHECK(again.GetConfigName() == "saved");
}

void ReadHeaders(const std::string& file, std::string newProg, bool newOfficial)
{
    ConfCar car("", nullptr);
    int32_t map[ConfCar::kMapRows][ConfCar::kMapCols] = {};
    int32_t rpm[ConfCar::kMapCols] = {};
    int32_t refs[ConfCar::kMapRows] = {};
    if (car.ReadGasMapFromFile(file, map, rpm, refs)) {
        for (const auto& row : map)
            for (int32_t v : row)
                FUZZ_CHECK(ids::RangeOfParam(params::MappaCarburazione.number).Contains(v));
        for (int32_t v : rpm)
            FUZZ_CHECK(ids::RangeOfParam(params::RifGiri.number).Contains(v));
        for (int32_t v : refs)
            FUZZ_CHECK(ids::RangeOfParam(params::RifMAP.number).Contains(v));
    }
    bool methane = false;
    ConfCar::ReadFileFlags(file, &methane);
    VehicleData vehicle;
    ConfCar::ReadVehicleData(file, vehicle);
    std::string prog;
    bool official = false;
    const bool readable = ConfCar::ReadFileProg(file, &prog, &official);
    FUZZ_CHECK(prog.size() < 100);

    // A header written into the file reads back.
    if (!readable || !ConfCar::WriteFileHeader(file, &newProg, &newOfficial))
        return;
    for (char& c : newProg)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    newProg.resize(std::min<size_t>(newProg.size(), 99));
    FUZZ_CHECK(ConfCar::ReadFileProg(file, &prog, &official));
    FUZZ_CHECK(prog == newProg);
    FUZZ_CHECK(official == newOfficial);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const uint8_t mode = in.ConsumeIntegral<uint8_t>();
    const std::string text = in.ConsumeRemainingBytesAsString();
    // Mostly the text as the program would have encoded it, sometimes the bytes as they are.
    const std::string file = fuzz::FileWith("input.vap", (mode & 0x1C) == 0 ? text : CryptBytes(text, false, true, ""));
    if ((mode & 3) == 3)
        ReadHeaders(file, text.substr(0, std::min<size_t>(text.size() / 4, 120)), (mode & 0x80) != 0);
    else
        LoadSaveLoad(file, mode & 3);
    return 0;
}
