// Configuration files: the record to and from the INI text of a ".vap" file, by scope, and
// the readers of a file's header keys. The key table below is shared by save and load so
// that the two can never disagree on a section, a key or its order.

#include "model/ConfCar.h"
#include "model/PlatformFiles.h"

#include "model/ParamIds.h"
#include "model/RawFields.h"
#include "model/SafeFile.h"

#include <cmath>
#include <climits>
#include <exception>
#include <filesystem>

namespace vapora {

namespace {

constexpr std::string_view kGenerale = "Generale";
constexpr std::string_view kRifGiriSection = "RiferimentiGiri";
constexpr std::string_view kRifMapSection = "RiferimentiMAP";
constexpr std::string_view kGasMapSection = "MappaCarburazione";
constexpr std::string_view kArricchimento = "Arricchimento";

// The extension that LoadFromFile strips from "NomeConfigurazione".
constexpr std::size_t kExtensionLength = 4;
// Room of the fields the texts are read into, terminator included.
constexpr std::size_t kNameRoom = 20;
constexpr std::size_t kProgRoom = 100;
constexpr std::size_t kTextRoom = 51;
constexpr std::size_t kEuroRoom = 11;

std::string Key(std::string_view prefix, int n) { return std::string(prefix) + std::to_string(n); }

std::string Key(std::string_view prefix, int row, int col)
{
    return std::string(prefix) + std::to_string(row) + "_" + std::to_string(col);
}

// The power is kept in hundredths; values beyond the integer range are held at its ends.
int32_t PowerToFile(float power)
{
    const double scaled = std::trunc(static_cast<double>(power) * 100 + 0.5);
    if (std::isnan(scaled))
        return 0;
    if (scaled >= INT32_MAX)
        return INT32_MAX;
    if (scaled <= INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

// Gas map breakpoints, then the cells column by column. `field` takes (section, key, value&);
// `afterBreakpoints` and `afterColumn` mark the progress points.
template <class Field, class Step1, class Step2>
void GasMapGroup(int32_t map[ConfCar::kMapRows][ConfCar::kMapCols], int32_t rpmRefs[ConfCar::kMapCols],
                 int32_t mapRefs[ConfCar::kMapRows], Field field, Step1 afterBreakpoints, Step2 afterColumn)
{
    for (int i = 0; i < ConfCar::kMapCols; ++i)
        field(kRifGiriSection, Key("RifGiri", i), rpmRefs[i]);
    for (int i = 0; i < ConfCar::kMapRows; ++i)
        field(kRifMapSection, Key("RifMAP", i), mapRefs[i]);
    afterBreakpoints();
    for (int c = 0; c < ConfCar::kMapCols; ++c) {
        for (int r = 0; r < ConfCar::kMapRows; ++r)
            field(kGasMapSection, Key("Mappa", r, c), map[r][c]);
        afterColumn();
    }
}

template <class Field, class Step1, class Step2>
void PetrolMapGroup(ConfCar& car, Field field, Step1 afterBreakpoints, Step2 afterColumn)
{
    for (int i = 0; i < ConfCar::kPetrolSize; ++i)
        field("RiferimentiGiriBenzina", Key("RifGiriB", i), car.RifGiriB[i]);
    for (int i = 0; i < ConfCar::kPetrolSize; ++i)
        field("RiferimentiMAPBenzina", Key("RifMAPB", i), car.RifMAPB[i]);
    afterBreakpoints();
    for (int c = 0; c < ConfCar::kPetrolSize; ++c) {
        for (int r = 0; r < ConfCar::kPetrolSize; ++r)
            field("MappaBenzina", Key("MappaB", r, c), car.MappaBenzina[r][c]);
        afterColumn();
    }
}

// The parameter groups, "Flag1" to "LimitazioneCorrettore". `step(saveAmount, loadAmount)`
// marks the progress points, whose amounts differ between save and load. The two keys whose
// load has its own rule go to `climate` and `petrolTime` instead of `field`.
template <class Field, class Step, class Climate, class PetrolTime>
void ParameterGroups(ConfCar& car, Field field, Step step, Climate climate, PetrolTime petrolTime)
{
    field(kGenerale, "Flag1", car.Flag1);

    constexpr std::string_view lambda = "Lambda";
    field(lambda, "TipoDiLambda", car.TipoDiLambda);
    field(lambda, "RifLambda", car.RifLambda);
    field(lambda, "RitardoLetturaSonda", car.RitardoLetturaSonda);
    field(lambda, "TempoSondaFredda", car.TempoSondaFredda);
    field(lambda, "RifSupSondaFredda", car.RifSupSondaFredda);
    field(lambda, "RifInfSondaFredda", car.RifInfSondaFredda);
    field(lambda, "RifSupSondaCalda", car.RifSupSondaCalda);
    field(lambda, "RifInfSondaCalda", car.RifInfSondaCalda);
    step(1, 2);

    constexpr std::string_view changeover = "Accensione-Cambio";
    field(changeover, "TemperaturaCambio", car.TemperaturaCambio);
    field(changeover, "GiriPerCambio", car.GiriPerCambio);
    field(changeover, "TempoSovrapposizione", car.TempoSovrapposizione);
    field(changeover, "RitardoMinimoCambio", car.RitardoMinimoCambio);
    field(changeover, "FuoriGiri", car.FuoriGiri);
    step(1, 2);
    field(changeover, "NumeroCilindri", car.NumeroCilindri);
    field(changeover, "FasciaGiriMinimo", car.FasciaGiriMinimo);

    constexpr std::string_view cutoff = "Cutoff";
    field(cutoff, "GiriCutoff", car.GiriCutoff);
    field(cutoff, "RitardoCutoff", car.RitardoCutoff);
    field(cutoff, "MotoreCutoff", car.MotoreCutoff);
    field(cutoff, "MotoreFineCutoff", car.MotoreFineCutoff);
    field(cutoff, "TempoPassiCutoff", car.TempoPassiCutoff);

    constexpr std::string_view tps = "TPS";
    field(tps, "TipoDiTps", car.TipoDiTps);
    field(tps, "Isteresi", car.Isteresi);
    field(tps, "TpsMoltoFuori", car.TpsMoltoFuori);
    step(1, 2);

    for (int i = 0; i < ConfCar::kMapCols; ++i)
        field("OpenLoop", Key("RifOpenLoop", i), car.RifOpenLoop[i]);
    for (int i = 0; i < ConfCar::kMapCols; ++i)
        field("PassiInversione", Key("PassiInv", i), car.PassiInv[i]);
    step(1, 3);
    for (int i = 0; i < ConfCar::kMapCols; ++i) {
        field("TempiTraPassi", Key("PassiIngr", i), car.PassiIngr[i]);
        field("TempiTraPassi", Key("PassiSmag", i), car.PassiSmag[i]);
    }
    step(2, 2);

    constexpr std::string_view emulation = "Emulazione";
    field(emulation, "TempoAlto", car.TempoAlto);
    field(emulation, "TempoBasso", car.TempoBasso);
    field(emulation, "TempoSondaSconnessa", car.TempoSondaSconnessa);
    field(emulation, "NumeroOnde", car.NumeroOnde);
    field(emulation, "LivelloAlto", car.LivelloAlto);
    field(emulation, "LivelloBasso", car.LivelloBasso);

    constexpr std::string_view sensor = "SensoreDiLivello";
    field(sensor, "TipoSensore", car.TipoSensore);
    field(sensor, "TempoRitBenzina", car.TempoRitBenzina);
    for (int i = 0; i < 4; ++i)
        field(sensor, Key("RifSensore", i), car.RifSensore[i]);
    step(1, 3);

    constexpr std::string_view carburazione = "Carburazione";
    field(carburazione, "MinErroreIntegrale", car.MinErroreIntegrale);
    field(carburazione, "MaxErroreIntegrale", car.MaxErroreIntegrale);
    field(carburazione, "MaxErroreIntegraleAlMinimo", car.MaxErroreIntegraleAlMinimo);
    field(carburazione, "MinErroreIntegraleAlMinimo", car.MinErroreIntegraleAlMinimo);
    field(carburazione, "TpsSbana", car.TpsSbana);
    field(carburazione, "GiriSbana", car.GiriSbana);
    field(carburazione, "PassiSbana", car.PassiSbana);
    field(carburazione, "TempoApSbana", car.TempoApSbana);
    field(carburazione, "TempoChSbana", car.TempoChSbana);
    field(carburazione, "CorrRientroMin", car.CorrRientroMin);
    climate(carburazione, "EffettoClima");

    for (int i = 0; i < ConfCar::kBands; ++i)
        field(kArricchimento, Key("DecrCumulo", i), car.DecrCumulo[i]);
    for (int i = 0; i < ConfCar::kBands; ++i)
        field(kArricchimento, Key("ArriccUscitaMin", i), car.ArriccUscitaMin[i]);
    for (int i = 0; i < ConfCar::kBands; ++i)
        field(kArricchimento, Key("Arricc2UscitaMin", i), car.Arricc2UscitaMin[i]);
    for (int i = 0; i < ConfCar::kBands; ++i)
        field(kArricchimento, Key("ArrPerTps", i), car.ArrPerTps[i]);
    for (int i = 0; i < ConfCar::kBands; ++i)
        field(kArricchimento, Key("VarCumulo", i), car.VarCumulo[i]);
    step(2, 2);

    field(kArricchimento, "MinCumulo", car.MinCumulo);
    petrolTime(kArricchimento, "TempoArrBenzina");
    field(kArricchimento, "TpsArrBenzina", car.TpsArrBenzina);
    field(kArricchimento, "TempoMinArrBenzina", car.TempoMinArrBenzina);
    field(kArricchimento, "GiriArrBenzina", car.GiriArrBenzina);

    for (int i = 0; i < 2; ++i) {
        field("Diagnosi", Key("Stato", i), car.Stato[i]);
        field("Diagnosi", Key("Abilitazione", i), car.Abilitazione[i]);
    }

    for (int i = 0; i < 10; ++i)
        field("Temperatura", Key("Rif", i), car.TempRif[i]);
    for (int i = 0; i < 9; ++i)
        field("Temperatura", Key("Coeff", i), car.TempCoeff[i]);

    field(kArricchimento, "LimitazioneCorrettore", car.LimitazioneCorrettore);
}

} // namespace

bool ConfCar::BindFileName(const std::string& fileName)
{
    if (fileName.empty())
        return true;
    if (PathTooLong(fileName)) {
        lastError_ = FileError::PathTooLong;
        return false;
    }
    SetFileName(fileName);
    return true;
}

bool ConfCar::SaveToFile(const std::string& fileName, int scope)
{
    lastError_ = FileError::None;
    // A failed save leaves the record bound to the file it had.
    const std::string previousFile = FileName;
    if (!BindFileName(fileName))
        return false;
    try {
        // An empty copy: a save never merges with what the file held before.
        OpenIni(false);
        Progress(0, false);
        auto write = [this](std::string_view section, const std::string& key, int32_t& value) {
            WriteIntKey(value, key, section);
        };
        auto add = [this](int32_t amount) { return [this, amount] { Progress(amount, true); }; };

        WriteStringKey(LocalText(LocalPath(FileName).filename()), "NomeConfigurazione", kGenerale);
        WriteStringKey(ProgFile, "ProgFile", kGenerale);
        if (scope != 2) {
            WriteBoolKey(GetStatusFlag(kOfficial), "MurFile", kGenerale);
            WriteBoolKey(GetStatusFlag(kMethane), "Carburante", kGenerale);
            WriteIntKey(Cilindrata, "Cilindrata", kGenerale);
            GasMapGroup(MappaCarburazione, RifGiri, RifMAP, write, add(scope == 1 ? 3 : 2), add(scope == 1 ? 6 : 4));
        }
        if (scope == 0) {
            WriteStringKey(DescrizAuto, "DescrizAuto", kGenerale);
            WriteStringKey(Euro, "Euro", kGenerale);
            WriteIntKey(CentCubici, "CentCubici", kGenerale);
            WriteIntKey(Valvole, "Valvole", kGenerale);
            WriteIntKey(NCilindri, "N cilindri", kGenerale);
            WriteIntKey(PowerToFile(Potenza), "Potenza", kGenerale);
            WriteStringKey(Motore, "Motore", kGenerale);
            WriteStringKey(Centralina, "Centralina", kGenerale);
            WriteStringKey(Cambio, "Cambio", kGenerale);
            WriteIntKey(AnnoVettura, "AnnoVettura", kGenerale);
            CheckPetrolMap();
            if (MappaBenzinaPresente)
                PetrolMapGroup(*this, write, add(2), add(4));
        }
        if (scope != 1) {
            ParameterGroups(
                *this, write, [this](int32_t saveAmount, int32_t) { Progress(saveAmount, true); },
                [this](std::string_view section, std::string_view key) { WriteIntKey(EffettoClima, key, section); },
                [this](std::string_view section, std::string_view key) {
                    WriteIntKey(TempoArrBenzina[0], key, section);
                    for (int i = 1; i < kBands; ++i)
                        WriteIntKey(TempoArrBenzina[i], Key(key, i), section);
                });
        }
        Progress(100, false);
        // The file is replaced only once its encoded copy is complete; a failed save keeps
        // both the old file and the record's unsaved state.
        if (!CloseIni(true)) {
            FileName = previousFile;
            return false;
        }
        Modified = false;
        return true;
    } catch (const FileFailure& failure) {
        CloseIni(false);
        FileName = previousFile;
        lastError_ = failure.Reason;
        return false;
    } catch (const std::exception&) {
        CloseIni(false);
        FileName = previousFile;
        lastError_ = FileError::Other;
        return false;
    }
}

void ConfCar::KeepLoadedInRange(int32_t param, std::string_view key, int32_t& value)
{
    const ids::RawRange range = ids::RangeOfParam(param);
    if (range.Contains(value))
        return;
    value = range.Clamp(value);
    correctedKeys_.emplace_back(key);
}

bool ConfCar::LoadFromFile(const std::string& fileName, int scope)
{
    lastError_ = FileError::None;
    // A refused file leaves the record, its bound name and the unit as they were.
    const std::string previousFile = FileName;
    if (!BindFileName(fileName))
        return false;
    correctedKeys_.clear();
    // Files come from anywhere: every value goes into the record within its parameter's range.
    const std::vector<RawField> fields = RawFieldsOf(*this);
    auto readRaw = [this, &fields](std::string_view section, std::string_view key, int32_t& value) {
        if (!ReadIntKey(value, key, section))
            return false;
        if (const RawField* field = FindRawField(fields, &value))
            KeepLoadedInRange(field->param, key, value);
        return true;
    };
    try {
        OpenIni(true);
        // Every configuration file the program writes, in any scope, has this section; a file
        // without it (empty, random bytes, another INI text) is not one.
        if (!Ini->SectionExists(kGenerale))
            throw FileFailure(FileError::NotConfiguration);
        auto read = [&readRaw](std::string_view section, const std::string& key, int32_t& value) {
            readRaw(section, key, value);
        };
        auto add = [this](int32_t amount) { return [this, amount] { Progress(amount, true); }; };

        if (scope != 2) {
            Progress(0, false);
            GasMapGroup(MappaCarburazione, RifGiri, RifMAP, read, add(scope == 1 ? 3 : 2), add(scope == 1 ? 6 : 4));
            if (ReadStringKey(NomeBreve, "NomeConfigurazione", kGenerale, kNameRoom))
                SetConfigName(NomeBreve.size() < kExtensionLength
                                  ? std::string()
                                  : NomeBreve.substr(0, NomeBreve.size() - kExtensionLength));
            bool official = false;
            ReadBoolKey(official, "MurFile", kGenerale);
            SetStatusFlag(kOfficial, official);
            bool methane = false;
            ReadBoolKey(methane, "Carburante", kGenerale);
            SetStatusFlag(kMethane, methane);
        }
        if (scope == 0) {
            readRaw(kGenerale, "Cilindrata", Cilindrata);
            ReadStringKey(ProgFile, "ProgFile", kGenerale, kProgRoom);
            ReadStringKey(DescrizAuto, "DescrizAuto", kGenerale, kTextRoom);
            ReadStringKey(Euro, "Euro", kGenerale, kEuroRoom);
            ReadIntKey(CentCubici, "CentCubici", kGenerale);
            ReadIntKey(Valvole, "Valvole", kGenerale);
            ReadIntKey(NCilindri, "N cilindri", kGenerale);
            Potenza = static_cast<float>(Ini->ReadFloat(kGenerale, "Potenza", 0) * 0.01);
            ReadStringKey(Motore, "Motore", kGenerale, kTextRoom);
            ReadStringKey(Centralina, "Centralina", kGenerale, kTextRoom);
            ReadStringKey(Cambio, "Cambio", kGenerale, kTextRoom);
            ReadIntKey(AnnoVettura, "AnnoVettura", kGenerale);
            PetrolMapGroup(*this, read, add(2), add(4));
            CheckPetrolMap();
        }
        if (scope != 1) {
            ParameterGroups(
                *this, read, [this](int32_t, int32_t loadAmount) { Progress(loadAmount, true); },
                [this, scope, &readRaw](std::string_view section, std::string_view key) {
                    if (scope == 0) {
                        readRaw(section, key, EffettoClima);
                        return;
                    }
                    // The map in the record was not loaded: shift it to match the new effect.
                    int32_t effect = EffettoClima;
                    if (ReadIntKey(effect, key, section)) {
                        KeepLoadedInRange(ids::ParamNumber(ids::kEffettoClima), key, effect);
                        SetClimateEffect(effect);
                    }
                },
                [this, &readRaw](std::string_view section, std::string_view key) {
                    readRaw(section, key, TempoArrBenzina[0]);
                    for (int i = 1; i < kBands; ++i) {
                        TempoArrBenzina[i] = TempoArrBenzina[0];
                        readRaw(section, Key(key, i), TempoArrBenzina[i]);
                    }
                });
        }
        Progress(100, false);
        Modified = false;
        CloseIni(false);
        return true;
    } catch (const FileFailure& failure) {
        CloseIni(false);
        FileName = previousFile;
        lastError_ = failure.Reason;
        return false;
    } catch (const std::exception&) {
        // Fields already read keep their new values.
        CloseIni(false);
        lastError_ = FileError::Other;
        return false;
    }
}

bool ConfCar::ReadGasMapFromFile(const std::string& fileName, int32_t map[kMapRows][kMapCols],
                                 int32_t rpmRefs[kMapCols], int32_t mapRefs[kMapRows])
{
    SetFileName(fileName);
    try {
        OpenIni(true);
        Progress(0, false);
        auto read = [this](std::string_view section, const std::string& key, int32_t& value) {
            ReadIntKey(value, key, section);
        };
        GasMapGroup(map, rpmRefs, mapRefs, read, [this] { Progress(3, true); }, [this] { Progress(6, true); });
        CloseIni(false);
        return true;
    } catch (const std::exception&) {
        CloseIni(false);
        return false;
    }
}

// ---- header readers: each works on its own decoded copy ----

bool ConfCar::ReadFileFlags(const std::string& fileName, bool* methane)
{
    if (methane)
        *methane = false;
    try {
        IoBaseData file(fileName);
        file.OpenIni(true);
        bool official = false;
        file.ReadBoolKey(official, "MurFile", kGenerale);
        if (methane)
            file.ReadBoolKey(*methane, "Carburante", kGenerale);
        file.CloseIni(false);
        return official;
    } catch (const std::exception&) {
        return false;
    }
}

bool ConfCar::ReadFileProg(const std::string& fileName, std::string* progFile, bool* official)
{
    if (progFile)
        progFile->clear();
    if (official)
        *official = false;
    try {
        IoBaseData file(fileName);
        file.OpenIni(true);
        if (official)
            file.ReadBoolKey(*official, "MurFile", kGenerale);
        if (progFile)
            file.ReadStringKey(*progFile, "ProgFile", kGenerale, kProgRoom);
        file.CloseIni(false);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ConfCar::WriteFileHeader(const std::string& fileName, const std::string* progFile, const bool* official)
{
    try {
        IoBaseData file(fileName);
        file.OpenIni(true);
        if (progFile)
            file.WriteStringKey(*progFile, "ProgFile", kGenerale);
        if (official)
            file.WriteBoolKey(*official, "MurFile", kGenerale);
        return file.CloseIni(true);
    } catch (const std::exception&) {
        return false;
    }
}

bool ConfCar::ReadVehicleData(const std::string& fileName, VehicleData& data)
{
    data = VehicleData{};
    try {
        IoBaseData file(fileName);
        file.OpenIni(true);
        file.ReadIntKey(data.AnnoVettura, "AnnoVettura", kGenerale);
        file.ReadIntKey(data.CentCubici, "CentCubici", kGenerale);
        file.ReadIntKey(data.Valvole, "Valvole", kGenerale);
        file.ReadIntKey(data.NCilindri, "N cilindri", kGenerale);
        // Left as the file has it (power x 100): the caller decides how to show it.
        data.Potenza = file.Ini->ReadFloat(kGenerale, "Potenza", 0);
        file.ReadStringKey(data.DescrizAuto, "DescrizAuto", kGenerale);
        file.ReadStringKey(data.Euro, "Euro", kGenerale);
        file.ReadStringKey(data.Motore, "Motore", kGenerale);
        file.ReadStringKey(data.Centralina, "Centralina", kGenerale);
        file.ReadStringKey(data.Cambio, "Cambio", kGenerale);
        file.CloseIni(false);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// ---- reset from a file ----

bool ConfCar::ResetUnit(const std::string& fileName)
{
    if (fileName.empty())
        return ResetUnit();
    // A file that cannot be read resets nothing: the record would otherwise go to the unit
    // unchanged as if it were the reset configuration.
    if (!LoadFromFile(fileName, 2))
        return false;
    WriteAll();
    return true;
}

} // namespace vapora
