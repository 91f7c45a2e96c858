#pragma once
// Restore points: copies of a unit's configuration taken after each read and before anything
// overwrites it, kept in the main folder's "Storico".
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include "model/FileError.h"

namespace vapora {
class ConfCar;
namespace restore {

enum class Reason { Read, FileLoad, Reset, FuelChange, Calibration, BeforeProgramming, AfterProgramming, BeforeRestore };
// The reason as it stands in the file name: "lettura", "caricamento", "reset", "cambio-carburante",
// "calibrazione", "programmazione", "dopo-programmazione", "ripristino".
std::string_view ReasonToken(Reason reason);
bool ReasonFromToken(std::string_view token, Reason& reason);
// The dictionary key that names the reason in windows, e.g. "RipristinoMotivoLettura".
std::string_view ReasonKey(Reason reason);

// Units carry no serial number: a car's history is its configuration name plus its vehicle data.
struct HistoryKey {
    std::string configName;
    std::string description;
    std::string engine;
    int displacement = 0;
    int year = 0;
    bool operator==(const HistoryKey&) const = default;
};
HistoryKey KeyOf(ConfCar& car);

struct Point {
    std::filesystem::path file;     // the configuration file in Storico
    std::string stamp;              // "20261209-143205" (local time) as the name starts
    std::chrono::system_clock::time_point when;
    Reason reason = Reason::Read;
    HistoryKey key;                 // key.configName: the name the unit had
    std::string unitId;             // "8.1.1.15"
    int software = 0;
    bool methane = false;
    bool asFound = false;           // the first point ever taken of its history
};

enum class TakeStatus { Taken, Unchanged, Failed };
struct TakeResult {
    TakeStatus status = TakeStatus::Failed;
    std::filesystem::path file;     // when Taken
    FileError error{};              // when Failed
};

// After `point.file` went into `car` through the program's own file load: the record gets back
// the configuration name the unit had. A load names the configuration after the file, and a
// point's file name is not the car's (nor can a name in a file always come back whole).
void GiveBackName(ConfCar& car, const Point& point);

using WallClock = std::function<std::chrono::system_clock::time_point()>;

class Store {
public:
    // Works in mainFolder/"Storico" (made when first needed). `now` defaults to the system clock.
    explicit Store(std::filesystem::path mainFolder, WallClock now = {});
    const std::filesystem::path& Folder() const;
    // Saves everything a configuration file stores of `car`, as the unit holds it, atomically,
    // never over an existing file; `car` is not changed (its file binding and name stay).
    // A Read identical to the newest point of the same history is Unchanged (nothing written).
    TakeResult Take(ConfCar& car, Reason reason);
    std::vector<Point> List() const;                        // newest first, rebuilt from the folder
    std::vector<Point> History(const HistoryKey& key) const; // newest first
    int Thin();                                             // retention; how many it removed
    bool Remove(const Point& point, FileError* why = nullptr);

private:
    std::filesystem::path folder_;
    WallClock now_;
};

} // namespace restore
} // namespace vapora
