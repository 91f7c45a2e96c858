// Configuration files: the record to and from the INI text of a ".vap" file, by scope, and
// the readers of a file's header keys. Save and load walk the same fixed order of the
// parameter catalogue, so the two can never disagree on a section, a key or its order.

#include "model/ConfCar.h"
#include "model/PlatformFiles.h"

#include "model/FileCodec.h"
#include "model/ParamIds.h"
#include "model/SafeFile.h"

#include <cmath>
#include <climits>
#include <exception>
#include <filesystem>

namespace vapora {

namespace {

constexpr std::string_view kGenerale = "Generale";

// The extension that LoadFromFile strips from "NomeConfigurazione".
constexpr std::size_t kExtensionLength = 4;
// Room of the fields the texts are read into, terminator included.
constexpr std::size_t kNameRoom = 20;
constexpr std::size_t kProgRoom = 100;
constexpr std::size_t kTextRoom = 51;
constexpr std::size_t kEuroRoom = 11;

// The power is kept in whole hundredths, rounded half away from zero so that negative values
// come back as they went; values beyond the integer range are held at its ends.
int32_t WholeHundredths(double hundredths)
{
    if (std::isnan(hundredths))
        return 0;
    const double rounded = std::round(hundredths);
    if (rounded >= INT32_MAX)
        return INT32_MAX;
    if (rounded <= INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

int32_t PowerToFile(float power) { return WholeHundredths(static_cast<double>(power) * 100); }

// A file's power as a save would write it again: more decimals, values out of range and
// texts that are no number ("nan", "inf") would otherwise change with every save.
float PowerFromFile(double hundredths) { return static_cast<float>(WholeHundredths(hundredths) * 0.01); }

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

void ConfCar::WriteConfiguration(IniFile& ini, std::string_view storedName, int scope, const bool* petrolMap,
                                 bool withProgress)
{
    const auto progress = [this, withProgress](int32_t amount, bool add) {
        if (withProgress)
            Progress(amount, add);
    };
    progress(0, false);
    auto write = [this, &ini](const params::Param& p, int i) {
        ini.WriteInteger(p.section, p.ElementKey(i), p.Data(*this)[i]);
    };
    // Progress of the map parts: after the breakpoints and after each column.
    auto mapSteps = [&progress](int32_t breakpoints, int32_t column) {
        return [&progress, breakpoints, column](const params::FileMark& m) {
            progress(m.kind == params::FileMark::Breakpoints ? breakpoints : column, true);
        };
    };

    ini.WriteString(kGenerale, "NomeConfigurazione", storedName);
    ini.WriteString(kGenerale, "ProgFile", ProgFile);
    if (scope != 2) {
        ini.WriteBool(kGenerale, "MurFile", GetStatusFlag(kOfficial));
        ini.WriteBool(kGenerale, "Carburante", GetStatusFlag(kMethane));
        write(params::Cilindrata, 0);
        params::WalkFilePart(params::FilePart::GasMap, write, scope == 1 ? mapSteps(3, 6) : mapSteps(2, 4));
    }
    if (scope == 0) {
        ini.WriteString(kGenerale, "DescrizAuto", DescrizAuto);
        ini.WriteString(kGenerale, "Euro", Euro);
        ini.WriteInteger(kGenerale, "CentCubici", CentCubici);
        ini.WriteInteger(kGenerale, "Valvole", Valvole);
        ini.WriteInteger(kGenerale, "N cilindri", NCilindri);
        ini.WriteInteger(kGenerale, "Potenza", PowerToFile(Potenza));
        ini.WriteString(kGenerale, "Motore", Motore);
        ini.WriteString(kGenerale, "Centralina", Centralina);
        ini.WriteString(kGenerale, "Cambio", Cambio);
        ini.WriteInteger(kGenerale, "AnnoVettura", AnnoVettura);
        if (petrolMap == nullptr)
            CheckPetrolMap();
        if (petrolMap != nullptr ? *petrolMap : MappaBenzinaPresente)
            params::WalkFilePart(params::FilePart::PetrolMap, write, mapSteps(2, 4));
    }
    if (scope != 1)
        params::WalkFilePart(params::FilePart::Parameters, write,
                             [&progress](const params::FileMark& m) { progress(m.save, true); });
    progress(100, false);
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
        WriteConfiguration(*Ini, LocalText(LocalPath(FileName).filename()), scope, nullptr, true);
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

std::string ConfCar::EncodedConfiguration(std::string_view storedName)
{
    // What CheckPetrolMap would decide, without changing the record.
    bool petrolMap = false;
    if (!Connected() || MappaBenzinaAmmessa)
        for (const auto& row : MappaBenzina)
            for (int32_t cell : row)
                petrolMap = petrolMap || cell != 0;
    IniFile ini = IniFile::FromText({});
    WriteConfiguration(ini, storedName, 0, &petrolMap, false);
    return CryptBytes(ini.Text(), false, true, {});
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
    auto readRaw = [this](const params::Param& p, const std::string& key, int32_t& value) {
        if (ReadIntKey(value, key, p.section))
            KeepLoadedInRange(p.number, key, value);
    };
    auto read = [this, &readRaw](const params::Param& p, int i) { readRaw(p, p.ElementKey(i), p.Data(*this)[i]); };
    auto mapSteps = [this](int32_t breakpoints, int32_t column) {
        return [this, breakpoints, column](const params::FileMark& m) {
            Progress(m.kind == params::FileMark::Breakpoints ? breakpoints : column, true);
        };
    };
    try {
        OpenIni(true);
        // Every configuration file the program writes, in any scope, has this section; a file
        // without it (empty, random bytes, another INI text) is not one.
        if (!Ini->SectionExists(kGenerale))
            throw FileFailure(FileError::NotConfiguration);

        if (scope != 2) {
            Progress(0, false);
            params::WalkFilePart(params::FilePart::GasMap, read, scope == 1 ? mapSteps(3, 6) : mapSteps(2, 4));
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
            read(params::Cilindrata, 0);
            ReadStringKey(ProgFile, "ProgFile", kGenerale, kProgRoom);
            ReadStringKey(DescrizAuto, "DescrizAuto", kGenerale, kTextRoom);
            ReadStringKey(Euro, "Euro", kGenerale, kEuroRoom);
            ReadIntKey(CentCubici, "CentCubici", kGenerale);
            ReadIntKey(Valvole, "Valvole", kGenerale);
            ReadIntKey(NCilindri, "N cilindri", kGenerale);
            Potenza = PowerFromFile(Ini->ReadFloat(kGenerale, "Potenza", 0));
            ReadStringKey(Motore, "Motore", kGenerale, kTextRoom);
            ReadStringKey(Centralina, "Centralina", kGenerale, kTextRoom);
            ReadStringKey(Cambio, "Cambio", kGenerale, kTextRoom);
            ReadIntKey(AnnoVettura, "AnnoVettura", kGenerale);
            params::WalkFilePart(params::FilePart::PetrolMap, read, mapSteps(2, 4));
            CheckPetrolMap();
        }
        if (scope != 1) {
            auto parameter = [&](const params::Param& p, int i) {
                if (&p == &params::EffettoClima && scope == 2) {
                    // The map in the record was not loaded: shift it to match the new effect.
                    int32_t effect = EffettoClima;
                    if (ReadIntKey(effect, p.key, p.section)) {
                        KeepLoadedInRange(p.number, p.key, effect);
                        SetClimateEffect(effect);
                    }
                    return;
                }
                // A band without a time of its own takes the first band's.
                if (&p == &params::TempoArrBenzina && i > 0)
                    TempoArrBenzina[i] = TempoArrBenzina[0];
                read(p, i);
            };
            params::WalkFilePart(params::FilePart::Parameters, parameter,
                                 [this](const params::FileMark& m) { Progress(m.load, true); });
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
        // Into the caller's tables, not the record's; held inside the ranges the unit takes, as a load
        // of the record holds them, since the map goes to the unit from there.
        auto read = [&](const params::Param& p, int i) {
            int32_t* target = &p == &params::RifGiri ? rpmRefs : &p == &params::RifMAP ? mapRefs : &map[0][0];
            if (ReadIntKey(target[i], p.ElementKey(i), p.section))
                target[i] = ids::RangeOfParam(p.number).Clamp(target[i]);
        };
        params::WalkFilePart(params::FilePart::GasMap, read, [this](const params::FileMark& m) {
            Progress(m.kind == params::FileMark::Breakpoints ? 3 : 6, true);
        });
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
