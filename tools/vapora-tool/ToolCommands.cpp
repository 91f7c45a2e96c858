#include "ToolCommands.h"

#include "model/ConfCar.h"
#include "model/Cp1252.h"
#include "model/FileCodec.h"
#include "model/IniFile.h"
#include "model/PlatformFiles.h"
#include "model/SafeFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iomanip>
#include <map>
#include <ostream>
#include <sstream>

namespace vapora::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: vapora-tool decode IN OUT\n"
    "       vapora-tool encode IN OUT\n"
    "       vapora-tool new OUT [--methane] [--official] [--scope N]\n"
    "       vapora-tool show FILE\n"
    "       vapora-tool diff A B\n";

struct Failure {
    std::string message;
};

bool IsRegularFile(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(LocalPath(path), ec);
}

void RequireFile(const std::string& path)
{
    if (!IsRegularFile(path))
        throw Failure{"cannot read '" + path + "': no such file"};
}

// The plain INI text of a configuration file, whatever its header.
std::string DecodedBody(const std::string& path)
{
    RequireFile(path);
    std::string bytes;
    if (!ReadFileBytes(LocalPath(path), bytes))
        throw Failure{"cannot read '" + path + "'"};
    const std::string plain = CryptBytes(bytes, true, true, {});
    const size_t lineEnd = plain.find('\n');
    return lineEnd == std::string::npos ? std::string() : plain.substr(lineEnd + 1);
}

void RequireConfiguration(const std::string& path, const std::string& body)
{
    if (!IniFile::FromText(body).KeyExists("Generale", "NomeConfigurazione"))
        throw Failure{"'" + path + "' is not a configuration file"};
}

int Codec(const std::vector<std::string>& args, bool decode, std::ostream& out)
{
    if (args.size() != 3)
        throw Failure{"expected IN and OUT"};
    RequireFile(args[1]);
    if (SameFile(LocalPath(args[1]), LocalPath(args[2])))
        throw Failure{"IN and OUT are the same file"};
    if (!CryptFile(LocalPath(args[1]), LocalPath(args[2]), decode, true))
        throw Failure{"cannot write '" + args[2] + "'"};
    out << (decode ? "decoded " : "encoded ") << args[1] << " -> " << args[2] << "\n";
    return 0;
}

int New(const std::vector<std::string>& args, std::ostream& out)
{
    if (args.size() < 2)
        throw Failure{"expected OUT"};
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
        throw Failure{"cannot write '" + args[1] + "'"};
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

int Show(const std::vector<std::string>& args, std::ostream& out)
{
    if (args.size() != 2)
        throw Failure{"expected FILE"};
    RequireConfiguration(args[1], DecodedBody(args[1]));
    ConfCar car("default.mur", nullptr);
    if (!car.LoadFromFile(args[1], 0))
        throw Failure{"cannot load '" + args[1] + "'"};
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

int Diff(const std::vector<std::string>& args, std::ostream& out)
{
    if (args.size() != 3)
        throw Failure{"expected A and B"};
    const std::string a = DecodedBody(args[1]);
    const std::string b = DecodedBody(args[2]);
    RequireConfiguration(args[1], a);
    RequireConfiguration(args[2], b);
    const auto keysA = Keys(a);
    const auto keysB = Keys(b);
    std::map<std::string, const KeyValue*> inB;
    for (const KeyValue& kv : keysB)
        inB[Lower(kv.section) + "\n" + Lower(kv.key)] = &kv;
    int differences = 0;
    auto report = [&](const KeyValue& kv, const std::string& va, const std::string& vb) {
        out << "[" << Cp1252ToUtf8(kv.section) << "] " << Cp1252ToUtf8(kv.key) << ": " << Cp1252ToUtf8(va) << " | "
            << Cp1252ToUtf8(vb) << "\n";
        ++differences;
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
    if (differences == 0)
        out << "no differences\n";
    return 0;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage;
        return 1;
    }
    try {
        const std::string& command = args[0];
        if (command == "decode" || command == "encode")
            return Codec(args, command == "decode", out);
        if (command == "new")
            return New(args, out);
        if (command == "show")
            return Show(args, out);
        if (command == "diff")
            return Diff(args, out);
        err << "vapora-tool: unknown command '" << command << "'\n" << kUsage;
    } catch (const Failure& f) {
        err << "vapora-tool " << args[0] << ": " << f.message << "\n";
    } catch (const std::exception& e) {
        err << "vapora-tool " << args[0] << ": " << e.what() << "\n";
    }
    return 1;
}

} // namespace vapora::tool
