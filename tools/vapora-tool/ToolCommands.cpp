#include "ToolCommands.h"

#include "RestoreCommands.h"
#include "UnitCommands.h"

#include "model/ConfCar.h"
#include "model/Cp1252.h"
#include "model/FileCodec.h"
#include "model/IniFile.h"
#include "model/ParamCatalogue.h"
#include "model/PlatformFiles.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <map>
#include <ostream>
#include <sstream>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif
#include <cstdio>

namespace vapora::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: vapora-tool decode IN OUT\n"
    "       vapora-tool encode IN OUT\n"
    "       vapora-tool new OUT [--methane] [--official] [--scope N]\n"
    "       vapora-tool show FILE\n"
    "       vapora-tool diff A B\n";
constexpr const char* kVersionUsage = "       vapora-tool --version\n";

bool StderrIsTerminal()
{
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

struct Failure {
    std::string message;
};

std::string TemporaryFolder()
{
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (!ec)
        return folder.string();
    for (const char* name : {"TMPDIR", "TMP", "TEMP"})
        if (const char* value = std::getenv(name))
            return value;
    return "the temporary folder";
}

} // namespace

// One line naming what went wrong with `path` while doing `verb` ("read", "write", "load").
std::string Explain(const std::string& verb, const std::string& path, FileError cause)
{
    const std::string target = "cannot " + verb + " '" + path + "': ";
    switch (cause) {
    case FileError::NotFound:
        return target + (verb == "write" ? "the folder does not exist" : "no such file");
    case FileError::IsFolder:
        return "'" + path + "' is a folder, not a file";
    case FileError::PathTooLong:
        return target + "the path is longer than " + std::to_string(kPathMax) + " characters";
    case FileError::NameTooLong:
        return target + "the file name is too long for its folder";
    case FileError::NotConfiguration:
        return "'" + path + "' is not a valid configuration file";
    case FileError::ReadOnly:
        return target + "the file is read-only";
    case FileError::Permission:
        return target + "permission denied";
    case FileError::DiskFull:
        return target + "the disk is full";
    case FileError::TempMissing:
    case FileError::TempFull:
        // The file itself is fine: name the folder that is not.
        return "the temporary folder '" + TemporaryFolder() + "' " +
               (cause == FileError::TempFull ? "is full" : "is missing or cannot be written") + ", so '" + path +
               "' could not be " + (verb == "write" ? "written" : verb == "load" ? "loaded" : "read");
    case FileError::None:
    case FileError::Other:
        break;
    }
    return "cannot " + verb + " '" + path + "'";
}

namespace {

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FileError why = FileError::Other;
    if (!ReadFileBytes(LocalPath(path), bytes, &why))
        throw Failure{Explain("read", path, why)};
    return bytes;
}

// The plain INI text of a configuration file, whatever its header.
std::string DecodedBody(const std::string& path)
{
    const std::string plain = CryptBytes(ReadBytes(path), true, true, {});
    const size_t lineEnd = plain.find('\n');
    return lineEnd == std::string::npos ? std::string() : plain.substr(lineEnd + 1);
}

// The same test the program's load applies.
void RequireConfiguration(const std::string& path, const std::string& body)
{
    if (!IniFile::FromText(body).SectionExists("Generale"))
        throw Failure{Explain("load", path, FileError::NotConfiguration)};
}

// What a killed run of this tool left in the temporary folder and beside the files it was
// given; scratch files of the program and of live runs stay.
void RemoveStaleScratch(const std::vector<std::string>& args)
{
    SetScratchOwner("vtool");
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    if (!ec)
        RemoveStaleScratchFiles(temporary);
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].empty() || args[i].rfind("--", 0) == 0)
            continue;
        const fs::path folder = LocalPath(args[i]).parent_path();
        RemoveStaleScratchFiles(folder.empty() ? fs::path(".") : folder);
    }
}

int Codec(const std::vector<std::string>& args, bool decode, std::ostream& out)
{
    if (args.size() != 3)
        throw Failure{"expected IN and OUT"};
    if (args[2].empty())
        throw Failure{"the OUT file name is empty"};
    const std::string bytes = ReadBytes(args[1]);
    if (SameFile(LocalPath(args[1]), LocalPath(args[2])))
        throw Failure{"IN and OUT are the same file"};
    FileError why = FileError::Other;
    if (!WriteFileReplacing(LocalPath(args[2]), CryptBytes(bytes, decode, true, {}), &why))
        throw Failure{Explain("write", args[2], why)};
    out << (decode ? "decoded " : "encoded ") << args[1] << " -> " << args[2] << "\n";
    return 0;
}

int New(const std::vector<std::string>& args, std::ostream& out)
{
    if (args.size() < 2)
        throw Failure{"expected OUT"};
    if (args[1].empty())
        throw Failure{"the OUT file name is empty"};
    bool methane = false, official = false;
    int scope = 0;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--methane") {
            methane = true;
        } else if (args[i] == "--official") {
            official = true;
        } else if (args[i] == "--scope" && i + 1 < args.size()) {
            const std::string& s = args[++i];
            if (s.size() != 1 || s[0] < '0' || s[0] > '2')
                throw Failure{"scope must be 0, 1 or 2"};
            scope = s[0] - '0';
        } else {
            throw Failure{"unknown option '" + args[i] + "'"};
        }
    }
    ConfCar car("default.mur", nullptr);
    car.SetStatusFlag(ConfCar::kMethane, methane);
    car.SetStatusFlag(ConfCar::kOfficial, official);
    if (!car.SaveToFile(args[1], scope))
        throw Failure{Explain("write", args[1], car.LastFileError())};
    out << "written " << args[1] << " (scope " << scope << ")\n";
    return 0;
}

std::string Fixed(double v, int decimals)
{
    std::ostringstream s;
    s << std::fixed << std::setprecision(decimals) << v;
    return s.str();
}

void PrintGasMap(ConfCar& car, std::ostream& out)
{
    out << "\nGas map (steps; rows MAP V, columns rpm)\n" << std::setw(6) << "";
    for (int c = 0; c < ConfCar::kMapCols; ++c)
        out << std::setw(6) << car.GetRpmRef(c);
    out << "\n";
    for (int r = 0; r < ConfCar::kMapRows; ++r) {
        out << std::setw(6) << Fixed(car.GetMapRef(r), 2);
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            out << std::setw(6) << car.GetGasMapCell(r, c);
        out << "\n";
    }
}

void PrintPetrolMap(ConfCar& car, std::ostream& out)
{
    out << "\nPetrol map (ms; rows MAP V, columns rpm)\n" << std::setw(6) << "";
    for (int c = 0; c < ConfCar::kPetrolSize; ++c)
        out << std::setw(7) << car.GetPetrolRpmRef(c);
    out << "\n";
    for (int r = 0; r < ConfCar::kPetrolSize; ++r) {
        out << std::setw(6) << Fixed(car.GetPetrolMapRef(r), 2);
        for (int c = 0; c < ConfCar::kPetrolSize; ++c)
            out << std::setw(7) << Fixed(car.GetPetrolMapCell(r, c), 2);
        out << "\n";
    }
}

// An engineering value with its unit, as a window writes it.
std::string WithUnit(const std::string& value, std::string_view unit)
{
    return unit.empty() ? value : value + " " + std::string(unit);
}

// Every parameter key in file order, its raw value beside the engineering one.
void PrintParameters(const ConfCar& car, std::ostream& out)
{
    out << "\nParameters (raw = engineering)\n";
    std::string_view section;
    params::WalkFilePart(params::FilePart::Parameters, [&](const params::Param& p, int i) {
        if (p.section != section) {
            section = p.section;
            out << "[" << section << "]\n";
        }
        const int32_t raw = p.Data(car)[i];
        out << "  " << std::left << std::setw(28) << p.ElementKey(i) << std::right << std::setw(7) << raw << " = "
            << WithUnit(params::EngineeringText(p, i, raw, car), params::UnitOf(p, i)) << "\n";
    });
}

// One line per value that the program brings into its parameter's range on loading.
void WarnCorrected(const std::string& command, const std::string& path, const ConfCar& car, std::ostream& err)
{
    for (const std::string& key : car.CorrectedKeys())
        err << "vapora-tool " << command << ": warning: '" << path << "': " << key
            << " is outside its range; the program corrects it on loading\n";
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2)
        throw Failure{"expected FILE"};
    RequireConfiguration(args[1], DecodedBody(args[1]));
    ConfCar car("default.mur", nullptr);
    if (!car.LoadFromFile(args[1], 0))
        throw Failure{Explain("load", args[1], car.LastFileError())};
    WarnCorrected(args[0], args[1], car, err);
    auto text = [](const std::string& s) { return Cp1252ToUtf8(s); };
    out << "Configuration: " << text(car.GetConfigName()) << "\n"
        << "Official:      " << (car.GetStatusFlag(ConfCar::kOfficial) ? "yes" : "no") << "\n"
        << "Fuel:          " << (car.GetStatusFlag(ConfCar::kMethane) ? "methane" : "LPG") << "\n"
        << "Displacement:  " << car.GetParam(75) << " cm3\n"
        << "Firmware file: " << text(car.ProgFile) << "\n"
        << "Vehicle:       " << text(car.DescrizAuto) << "\n"
        << "Emissions:     " << text(car.Euro) << "\n"
        << "Cubic cm:      " << car.CentCubici << "\n"
        << "Valves:        " << car.Valvole << "\n"
        << "Cylinders:     " << car.NCilindri << "\n"
        << "Power:         " << Fixed(car.GetPower(), 2) << "\n"
        << "Engine:        " << text(car.Motore) << "\n"
        << "Petrol unit:   " << text(car.Centralina) << "\n"
        << "Gearbox:       " << text(car.Cambio) << "\n"
        << "Year:          " << car.AnnoVettura << "\n";
    PrintGasMap(car, out);
    PrintPetrolMap(car, out);
    PrintParameters(car, out);
    return 0;
}

std::string Trim(std::string s)
{
    auto blank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(static_cast<unsigned char>(s.back())))
        s.pop_back();
    size_t i = 0;
    while (i < s.size() && blank(static_cast<unsigned char>(s[i])))
        ++i;
    return s.substr(i);
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

struct KeyValue {
    std::string section, key, value;
};

// Every key in file order, the first of duplicates winning as the profile functions read them.
std::vector<KeyValue> Keys(const std::string& body)
{
    std::vector<KeyValue> keys;
    std::map<std::string, size_t> seen;
    std::string section;
    std::istringstream in(body);
    for (std::string line; std::getline(in, line);) {
        line = Trim(line);
        if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
            section = Trim(line.substr(1, line.rfind(']') - 1));
            continue;
        }
        const size_t eq = line.find('=');
        if (section.empty() || eq == std::string::npos || line[0] == ';')
            continue;
        KeyValue kv{section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
        if (seen.emplace(Lower(kv.section) + "\n" + Lower(kv.key), keys.size()).second)
            keys.push_back(kv);
    }
    return keys;
}

int Diff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 3)
        throw Failure{"expected A and B"};
    const std::string a = DecodedBody(args[1]);
    const std::string b = DecodedBody(args[2]);
    RequireConfiguration(args[1], a);
    RequireConfiguration(args[2], b);
    // The texts are compared as they are; what the program would change on loading is told apart.
    ConfCar carA("default.mur", nullptr), carB("default.mur", nullptr);
    const bool loadedA = carA.LoadFromFile(args[1], 0), loadedB = carB.LoadFromFile(args[2], 0);
    if (loadedA)
        WarnCorrected(args[0], args[1], carA, err);
    if (loadedB)
        WarnCorrected(args[0], args[2], carB, err);
    // Beside a parameter's raw texts, the engineering values the program holds once each file is loaded.
    std::map<std::string, params::ValueDifference> differences;
    if (loadedA && loadedB)
        for (params::ValueDifference& d : params::CompareRecords(carA, carB))
            differences.emplace(Lower(std::string(d.section)) + "\n" + Lower(d.key), std::move(d));
    auto engineering = [&](const KeyValue& kv) -> std::string {
        if (!loadedA || !loadedB)
            return {};
        const auto it = differences.find(Lower(kv.section) + "\n" + Lower(kv.key));
        if (it != differences.end())
            return "  (" + it->second.textA + " | " + WithUnit(it->second.textB, it->second.unit) + ")";
        const params::Element e = params::FindFileKey(kv.section, kv.key);
        if (!e)
            return {};
        const std::string same = params::EngineeringText(*e.param, e.index, e.param->Data(carA)[e.index], carA);
        return "  (" + same + " | " + WithUnit(same, params::UnitOf(*e.param, e.index)) + ")";
    };
    const auto keysA = Keys(a);
    const auto keysB = Keys(b);
    std::map<std::string, const KeyValue*> inB;
    for (const KeyValue& kv : keysB)
        inB[Lower(kv.section) + "\n" + Lower(kv.key)] = &kv;
    int differing = 0;
    auto report = [&](const KeyValue& kv, const std::string& va, const std::string& vb) {
        out << "[" << Cp1252ToUtf8(kv.section) << "] " << Cp1252ToUtf8(kv.key) << ": " << Cp1252ToUtf8(va) << " | "
            << Cp1252ToUtf8(vb) << engineering(kv) << "\n";
        ++differing;
    };
    for (const KeyValue& kv : keysA) {
        const auto it = inB.find(Lower(kv.section) + "\n" + Lower(kv.key));
        if (it == inB.end()) {
            report(kv, kv.value, "(absent)");
            continue;
        }
        if (it->second->value != kv.value)
            report(kv, kv.value, it->second->value);
        inB.erase(it);
    }
    for (const KeyValue& kv : keysB)
        if (inB.count(Lower(kv.section) + "\n" + Lower(kv.key)) != 0)
            report(kv, "(absent)", kv.value);
    if (differing == 0)
        out << "no differences\n";
    return 0;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage << HistoryUsage() << kVersionUsage << UnitUsage();
        return 1;
    }
    try {
        RemoveStaleScratch(args);
        const std::string& command = args[0];
        if (command == "--version") {
            out << "vapora-tool " << VAPORA_VERSION << "\n";
            return 0;
        }
        if (command == "--help" || command == "-h" || command == "help") {
            out << kUsage << HistoryUsage() << kVersionUsage << UnitUsage();
            return 0;
        }
        if (command == "unit") {
            UnitEnvironment env;
            env.terminal = StderrIsTerminal();
            return RunUnit(args, out, err, env);
        }
        if (command == "decode" || command == "encode")
            return Codec(args, command == "decode", out);
        if (command == "new")
            return New(args, out);
        if (command == "show")
            return Show(args, out, err);
        if (command == "diff")
            return Diff(args, out, err);
        if (command == "history")
            return History(args, out);
        err << "vapora-tool: unknown command '" << command << "'\n"
            << kUsage << HistoryUsage() << kVersionUsage << UnitUsage();
    } catch (const Failure& f) {
        err << "vapora-tool " << args[0] << ": " << f.message << "\n";
    } catch (const std::exception& e) {
        err << "vapora-tool " << args[0] << ": " << e.what() << "\n";
    }
    return 1;
}

} // namespace vapora::tool
