#include "InstallData.h"

#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/SafeFile.h"

#include <algorithm>
#include <cstdio>

namespace vapora::install {
namespace {

namespace fs = std::filesystem;

constexpr int kDisplacements[] = {1000, 1200, 1400, 1600, 1800, 2000, 2500, 3000};

struct Failure {
    std::string message;
};

void FillBaseMap(ConfCar& car, int displacementCc)
{
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            car.SetGasMapCell(r, c, BaseMapCell(displacementCc, car.RifMAP[r], car.RifGiri[c]));
}

// A record with the defaults, unconnected, with the flags and displacement set.
std::unique_ptr<ConfCar> Record(bool methane, bool official, int displacementCc)
{
    auto car = std::make_unique<ConfCar>("default.mur", nullptr);
    car->SetStatusFlag(ConfCar::kMethane, methane);
    car->SetParam(75, displacementCc);
    FillBaseMap(*car, displacementCc);
    // Setters clear the official mark; set it last.
    car->SetStatusFlag(ConfCar::kOfficial, official);
    return car;
}

void Save(ConfCar& car, const fs::path& file, int scope)
{
    if (!car.SaveToFile(file.string(), scope))
        throw Failure{"cannot write " + file.string()};
}

void WriteText(const fs::path& file, const std::string& text)
{
    if (!WriteFileReplacing(file, text))
        throw Failure{"cannot write " + file.string()};
}

void MakeFolders(const fs::path& root)
{
    for (const char* folder : {"Configurazioni", "Configurazioni/Metano", "Programmazione", "Acquisizioni",
                               "Calibrazione", "Immagini"}) {
        std::error_code ec;
        fs::create_directories(root / folder, ec);
        if (ec)
            throw Failure{"cannot create " + (root / folder).string() + ": " + ec.message()};
    }
}

void WriteResetFiles(const fs::path& root)
{
    Save(*Record(false, true, 1400), root / "Calibrazione" / "ResetLpg.vap", 0);
    Save(*Record(true, true, 1400), root / "Calibrazione" / "ResetCng.vap", 0);
}

void WriteBaseMaps(const fs::path& root)
{
    for (bool methane : {false, true})
        for (int cc : kDisplacements)
            Save(*Record(methane, true, cc), root / "Calibrazione" / BaseMapName(methane, cc), 1);
}

struct Example {
    const char* file;
    bool methane;
    int cc;
    const char* description;
    const char* euro;
    int valves, cylinders, year;
    float power;
    const char* engine;
    const char* petrolUnit;
    const char* gearbox;
};

void WriteExamples(const fs::path& root)
{
    const Example examples[] = {
        {"Configurazioni/Utilitaria1200.vap", false, 1200, "Utilitaria 1.2 8V", "EURO4", 8, 4, 2006, 44.0f,
         "1.2 8V benzina", "Iniezione multipoint", "Manuale 5 marce"},
        {"Configurazioni/Berlina1600.vap", false, 1600, "Berlina 1.6 16V", "EURO4", 16, 4, 2008, 77.5f,
         "1.6 16V benzina", "Iniezione sequenziale", "Manuale 5 marce"},
        {"Configurazioni/Metano/Monovolume1400.vap", true, 1400, "Monovolume 1.4 metano", "EURO5", 8, 4, 2010,
         57.0f, "1.4 8V bifuel", "Iniezione sequenziale", "Manuale 6 marce"},
    };
    for (const Example& e : examples) {
        auto car = Record(e.methane, false, e.cc);
        car->SetVehicleText(1, e.description);
        car->SetVehicleText(2, e.euro);
        car->SetVehicleText(3, e.engine);
        car->SetVehicleText(4, e.petrolUnit);
        car->SetVehicleText(5, e.gearbox);
        car->SetVehicleNumber(6, e.cc);
        car->SetVehicleNumber(7, e.valves);
        car->SetVehicleNumber(8, e.cylinders);
        car->SetVehicleNumber(9, e.year);
        car->SetPower(e.power);
        car->ProgFile = "Vapora15.s19";
        // A petrol map that grows with load and speed, so the petrol page has something to show.
        for (int r = 0; r < ConfCar::kPetrolSize; ++r)
            for (int c = 0; c < ConfCar::kPetrolSize; ++c)
                car->SetPetrolMapCell(r, c, 1.5 + 0.9 * r + 0.25 * c);
        Save(*car, root / e.file, 0);
    }
}

void WriteProgramming(const fs::path& root)
{
    WriteText(root / "Programmazione" / "Vapora.txt",
              "1=Base\r\n2=Plus\r\n3=Sequenziale\r\n65=Base Evo\r\n");
    const std::string firmware = SampleFirmware("Vapora15", 4096);
    WriteText(root / "Programmazione" / "Vapora15.s19", firmware);
    // Encoded firmware carries no header line.
    WriteText(root / "Programmazione" / "Vapora15.pec", CryptBytes(firmware, false, false, {}));
}

} // namespace

int BaseMapCell(int displacementCc, int mapRaw, int rpm)
{
    const double demand = 40 + mapRaw * 1.6 + rpm * 0.012;
    const double scale = 0.6 + displacementCc / 3500.0;
    return std::clamp(static_cast<int>(demand * scale), 0, 510);
}

std::string SampleFirmware(const std::string& name, int bytes)
{
    auto record = [](char type, const std::vector<uint8_t>& payload) {
        std::string line = "S";
        line += type;
        char hex[3];
        const auto count = static_cast<uint8_t>(payload.size() + 1);
        unsigned sum = count;
        std::snprintf(hex, sizeof hex, "%02X", count);
        line += hex;
        for (uint8_t b : payload) {
            std::snprintf(hex, sizeof hex, "%02X", b);
            line += hex;
            sum += b;
        }
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(~sum & 0xFF));
        line += hex;
        return line + "\r\n";
    };
    std::vector<uint8_t> header{0, 0};
    header.insert(header.end(), name.begin(), name.end());
    std::string text = record('0', header);
    const uint32_t start = 0x1000;
    for (int offset = 0; offset < bytes; offset += 32) {
        const uint32_t address = start + static_cast<uint32_t>(offset);
        std::vector<uint8_t> payload{static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
        for (int i = 0; i < 32 && offset + i < bytes; ++i)
            payload.push_back(static_cast<uint8_t>((offset + i) * 7 + 3));
        text += record('1', payload);
    }
    text += record('9', {static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start)});
    return text;
}

std::string BaseMapName(bool methane, int displacementCc)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%04da.vap", methane ? "Cal_m#" : "Cal#", displacementCc);
    return name;
}

bool WriteInstallation(const fs::path& root, std::string& error)
{
    try {
        MakeFolders(root);
        WriteResetFiles(root);
        WriteBaseMaps(root);
        WriteExamples(root);
        WriteProgramming(root);
        return true;
    } catch (const Failure& f) {
        error = f.message;
    } catch (const std::exception& e) {
        error = e.what();
    }
    return false;
}

} // namespace vapora::install
