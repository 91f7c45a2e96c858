#include "model/RestorePoints.h"

#include "model/ConfCar.h"
#include "model/Cp1252.h"
#include "model/PlatformFiles.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <system_error>

namespace vapora::restore {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

namespace {

struct ReasonInfo {
    Reason reason;
    std::string_view token;
    std::string_view key;
};

constexpr std::array<ReasonInfo, 8> kReasons{{
    {Reason::Read, "lettura", "RipristinoMotivoLettura"},
    {Reason::FileLoad, "caricamento", "RipristinoMotivoCaricamento"},
    {Reason::Reset, "reset", "RipristinoMotivoReset"},
    {Reason::FuelChange, "cambio-carburante", "RipristinoMotivoCambioCarburante"},
    {Reason::Calibration, "calibrazione", "RipristinoMotivoCalibrazione"},
    {Reason::BeforeProgramming, "programmazione", "RipristinoMotivoProgrammazione"},
    {Reason::AfterProgramming, "dopo-programmazione", "RipristinoMotivoDopoProgrammazione"},
    {Reason::BeforeRestore, "ripristino", "RipristinoMotivoRipristino"},
}};

constexpr std::string_view kFolderName = "Storico";
constexpr std::string_view kPointExtension = ".vap";
constexpr std::string_view kSidecarExtension = ".txt";
// First line of every sidecar: a text file of that name without it is not ours.
constexpr std::string_view kSidecarMark = "punto-di-ripristino 1";
constexpr std::size_t kStampLength = 15; // "yyyymmdd-hhmmss"
constexpr int kMostInOneSecond = 999;
constexpr auto kKeepEverything = std::chrono::hours(24 * 90);

std::tm LocalTime(Clock::time_point when)
{
    const std::time_t t = Clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return local;
}

std::string StampOf(Clock::time_point when)
{
    const std::tm local = LocalTime(when);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <class Int>
bool ParseNumber(std::string_view text, Int& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool StampShape(std::string_view stamp)
{
    return stamp.size() == kStampLength && stamp[8] == '-' && AllDigits(stamp.substr(0, 8)) &&
           AllDigits(stamp.substr(9));
}

bool TimeOfStamp(std::string_view stamp, Clock::time_point& when)
{
    if (!StampShape(stamp))
        return false;
    auto field = [&](std::size_t at, std::size_t length) {
        int value = 0;
        ParseNumber(stamp.substr(at, length), value);
        return value;
    };
    std::tm local{};
    local.tm_year = field(0, 4) - 1900;
    local.tm_mon = field(4, 2) - 1;
    local.tm_mday = field(6, 2);
    local.tm_hour = field(9, 2);
    local.tm_min = field(11, 2);
    local.tm_sec = field(13, 2);
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_mday > 31 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 60)
        return false;
    const std::time_t t = std::mktime(&local);
    if (t == static_cast<std::time_t>(-1))
        return false;
    when = Clock::from_time_t(t);
    return true;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The configuration name as a file name may carry it (UTF-8): characters that no file system
// takes, or that would end a name, become '_'.
std::string NameForFile(std::string_view configName)
{
    std::string out;
    for (char byte : configName) {
        const char16_t c = Cp1252ToUnicode(static_cast<uint8_t>(byte));
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || std::u16string_view(u"<>:\"/\\|?*").find(c) !=
                                                                   std::u16string_view::npos)
            out.push_back('_');
        else
            AppendUtf8(out, c);
    }
    // Windows drops trailing dots and blanks from a name.
    if (!out.empty() && (out.back() == '.' || out.back() == ' '))
        out.back() = '_';
    return out;
}

// Back from the file name to the unit's code page, as far as it goes.
std::string NameFromFile(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        char32_t c = lead;
        std::size_t length = 1;
        if (lead >= 0xE0 && lead < 0xF0)
            length = 3, c = lead & 0x0F;
        else if (lead >= 0xC0 && lead < 0xE0)
            length = 2, c = lead & 0x1F;
        else if (lead >= 0x80)
            length = lead >= 0xF0 ? 4 : 1, c = '?';
        if (length > 1 && i + length <= utf8.size() && c != '?')
            for (std::size_t k = 1; k < length; ++k)
                c = (c << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        const int byte = c <= 0xFFFF ? UnicodeToCp1252(static_cast<char16_t>(c)) : -1;
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
        i += length;
    }
    return out;
}

fs::path PathOfUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8OfPath(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// What a point's file name tells.
struct NameParts {
    std::string stamp;
    int sequence = 1; // 1 for the first of its second, then 2, 3, ...
    Reason reason = Reason::Read;
    std::string configName; // in the unit's code page, as far as the file name keeps it
    std::string nameInFile; // as the file name has it
};

// "<stamp>[-<n>]_<reason token>_<name>.vap"; false for any other name.
bool ParseName(const std::string& fileName, NameParts& parts)
{
    std::string_view name = fileName;
    if (name.size() < kPointExtension.size() || name.substr(name.size() - kPointExtension.size()) != kPointExtension)
        return false;
    name.remove_suffix(kPointExtension.size());
    if (name.size() < kStampLength + 2)
        return false;
    parts.stamp = std::string(name.substr(0, kStampLength));
    if (!StampShape(parts.stamp))
        return false;
    name.remove_prefix(kStampLength);
    parts.sequence = 1;
    if (name.front() == '-') {
        const std::size_t end = name.find('_');
        if (end == std::string_view::npos || !AllDigits(name.substr(1, end - 1)) ||
            !ParseNumber(name.substr(1, end - 1), parts.sequence) || parts.sequence < 2 || name[1] == '0')
            return false;
        name.remove_prefix(end);
    }
    if (name.front() != '_')
        return false;
    name.remove_prefix(1);
    const std::size_t end = name.find('_');
    if (end == std::string_view::npos || !ReasonFromToken(name.substr(0, end), parts.reason))
        return false;
    parts.nameInFile = std::string(name.substr(end + 1));
    parts.configName = NameFromFile(parts.nameInFile);
    return true;
}

std::string Stem(const std::string& stamp, int sequence, Reason reason, std::string_view configName)
{
    std::string stem = stamp;
    if (sequence > 1)
        stem += "-" + std::to_string(sequence);
    stem += "_";
    stem += ReasonToken(reason);
    stem += "_";
    stem += NameForFile(configName);
    return stem;
}

fs::path SidecarOf(const fs::path& pointFile)
{
    fs::path sidecar = pointFile;
    sidecar.replace_extension(PathOfUtf8(std::string(kSidecarExtension)));
    return sidecar;
}

// Sidecar values keep every byte: '%', line breaks and other control bytes are written %XX.
std::string Escape(std::string_view value)
{
    std::string out;
    for (char c : value) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool Unescape(std::string_view value, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out.push_back(value[i]);
            continue;
        }
        unsigned byte = 0;
        if (i + 2 >= value.size())
            return false;
        const auto result = std::from_chars(value.data() + i + 1, value.data() + i + 3, byte, 16);
        if (result.ec != std::errc() || result.ptr != value.data() + i + 3)
            return false;
        out.push_back(static_cast<char>(byte));
        i += 2;
    }
    return true;
}

std::string UnitIdOf(const ConfCar& car)
{
    std::string id;
    for (int i = 0; i < 4; ++i)
        id += (i ? "." : "") + std::to_string(car.IdUnita[i]);
    return id;
}

std::string SidecarText(const Point& point)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(point.when.time_since_epoch()).count();
    std::string text(kSidecarMark);
    text += "\n";
    auto line = [&text](std::string_view key, std::string_view value) {
        text += key;
        text += "=";
        text += Escape(value);
        text += "\n";
    };
    line("istante", std::to_string(ms));
    line("motivo", ReasonToken(point.reason));
    line("configurazione", point.key.configName);
    line("descrizione", point.key.description);
    line("motore", point.key.engine);
    line("cilindrata", std::to_string(point.key.displacement));
    line("anno", std::to_string(point.key.year));
    line("unita", point.unitId);
    line("software", std::to_string(point.software));
    line("carburante", point.methane ? "metano" : "gpl");
    line("primo", point.asFound ? "1" : "0");
    return text;
}

// Fills `point` from a sidecar's text; false (point unchanged) unless every field reads.
bool ReadSidecar(const std::string& text, Point& point)
{
    std::map<std::string, std::string, std::less<>> values;
    std::size_t at = 0;
    bool marked = false;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!marked) {
            if (line != kSidecarMark)
                return false;
            marked = true;
            continue;
        }
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return false;
        std::string value;
        if (!Unescape(line.substr(equals + 1), value))
            return false;
        values[std::string(line.substr(0, equals))] = std::move(value);
    }
    if (!marked)
        return false;
    auto get = [&values](std::string_view key, std::string*& out) {
        const auto found = values.find(key);
        out = found == values.end() ? nullptr : &found->second;
        return out != nullptr;
    };
    std::string *ms, *reason, *name, *description, *engine, *displacement, *year, *unit, *software, *fuel, *first;
    if (!get("istante", ms) || !get("motivo", reason) || !get("configurazione", name) ||
        !get("descrizione", description) || !get("motore", engine) || !get("cilindrata", displacement) ||
        !get("anno", year) || !get("unita", unit) || !get("software", software) || !get("carburante", fuel) ||
        !get("primo", first))
        return false;
    Point read = point;
    long long when = 0;
    if (!ParseNumber(std::string_view(*ms), when) || !ReasonFromToken(*reason, read.reason) ||
        !ParseNumber(std::string_view(*displacement), read.key.displacement) ||
        !ParseNumber(std::string_view(*year), read.key.year) ||
        !ParseNumber(std::string_view(*software), read.software) || (*fuel != "metano" && *fuel != "gpl") ||
        (*first != "0" && *first != "1"))
        return false;
    read.when = Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(when)));
    read.key.configName = *name;
    read.key.description = *description;
    read.key.engine = *engine;
    read.unitId = *unit;
    read.methane = *fuel == "metano";
    read.asFound = *first == "1";
    point = std::move(read);
    return true;
}

struct Listed {
    Point point;
    int sequence = 1;
    bool sidecar = false; // its sidecar was there and read whole
};

// Newest first; two in the same instant by their order of taking.
bool Newer(const Listed& a, const Listed& b)
{
    if (a.point.when != b.point.when)
        return a.point.when > b.point.when;
    if (a.point.stamp != b.point.stamp)
        return a.point.stamp > b.point.stamp;
    if (a.sequence != b.sequence)
        return a.sequence > b.sequence;
    return a.point.file.filename() > b.point.file.filename();
}

// A point file of the folder, known by its name alone.
struct Named {
    fs::path file;
    NameParts parts;
};

// The point files of `folder` that `keep` accepts by name (UTF-8), none of them read. `keep`
// sees every name of the pattern's two extensions, sidecars included, but only point files
// are returned.
using NameFilter = std::function<bool(std::string_view name, bool sidecar)>;
std::vector<Named> ScanFolder(const fs::path& folder, const NameFilter& keep)
{
    std::vector<Named> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8OfPath(it->path().filename());
        const bool sidecar = name.ends_with(kSidecarExtension);
        if ((!sidecar && !name.ends_with(kPointExtension)) || !keep(name, sidecar) || sidecar)
            continue;
        Named entry;
        std::error_code typeError;
        if (ParseName(name, entry.parts) && it->is_regular_file(typeError)) {
            entry.file = it->path();
            found.push_back(std::move(entry));
        }
    }
    return found;
}

// Newest first by name: the second, then the order of taking within it.
bool LaterName(const Named& a, const Named& b)
{
    if (a.parts.stamp != b.parts.stamp)
        return a.parts.stamp > b.parts.stamp;
    return a.parts.sequence > b.parts.sequence;
}

// A point as its sidecar tells it, else as its name and file do.
Listed ReadPoint(const Named& named)
{
    Listed entry;
    entry.sequence = named.parts.sequence;
    Point& point = entry.point;
    point.file = named.file;
    point.stamp = named.parts.stamp;
    point.reason = named.parts.reason;
    point.key.configName = named.parts.configName;
    std::string text;
    if (ReadFileBytes(SidecarOf(point.file), text)) {
        Point fromSidecar = point;
        // A sidecar that disagrees with its name belongs to another point.
        if (ReadSidecar(text, fromSidecar) && fromSidecar.reason == named.parts.reason) {
            point = std::move(fromSidecar);
            entry.sidecar = true;
        }
    }
    if (!entry.sidecar) {
        TimeOfStamp(point.stamp, point.when);
        // What the file itself still says: vehicle data and fuel.
        VehicleData vehicle;
        if (ConfCar::ReadVehicleData(LocalText(point.file), vehicle)) {
            point.key.description = vehicle.DescrizAuto;
            point.key.engine = vehicle.Motore;
            point.key.displacement = vehicle.CentCubici;
            point.key.year = vehicle.AnnoVettura;
        }
        ConfCar::ReadFileFlags(LocalText(point.file), &point.methane);
    }
    return entry;
}

// With `configName`, only the points whose file name carries that name (a history's points
// all do): the others' sidecars are not read.
std::vector<Listed> ListFolder(const fs::path& folder, const std::string* configName = nullptr)
{
    const std::string nameInFile = configName != nullptr ? NameForFile(*configName) : std::string();
    std::vector<Listed> listed;
    const std::string suffix = "_" + nameInFile + std::string(kPointExtension);
    for (const Named& named : ScanFolder(folder, [&](std::string_view name, bool sidecar) {
             return !sidecar && (configName == nullptr || name.ends_with(suffix));
         }))
        if (configName == nullptr || named.parts.nameInFile == nameInFile)
            listed.push_back(ReadPoint(named));
    std::sort(listed.begin(), listed.end(), Newer);
    // A history whose first point lost its sidecar still has one "as found": its oldest.
    std::vector<const HistoryKey*> marked;
    for (const Listed& entry : listed)
        if (entry.point.asFound)
            marked.push_back(&entry.point.key);
    for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
        if (it->sidecar)
            continue;
        const bool hasOne = std::any_of(marked.begin(), marked.end(),
                                        [&](const HistoryKey* key) { return *key == it->point.key; });
        if (!hasOne) {
            it->point.asFound = true;
            marked.push_back(&it->point.key);
        }
    }
    return listed;
}

void RemoveQuietly(const fs::path& file)
{
    std::error_code ec;
    fs::remove(file, ec);
}

// Writes `bytes` into a new scratch file of this process in `folder`.
bool WriteScratch(const fs::path& folder, std::string_view bytes, fs::path& scratch, FileError& why)
{
    if (!CreateScratchFile(folder, kSaveScratchPrefix, scratch, &why))
        return false;
    if (!OverwriteFile(scratch, bytes, &why)) {
        RemoveQuietly(scratch);
        return false;
    }
    return true;
}

} // namespace

std::string_view ReasonToken(Reason reason)
{
    for (const ReasonInfo& info : kReasons)
        if (info.reason == reason)
            return info.token;
    return {};
}

bool ReasonFromToken(std::string_view token, Reason& reason)
{
    for (const ReasonInfo& info : kReasons)
        if (info.token == token) {
            reason = info.reason;
            return true;
        }
    return false;
}

std::string_view ReasonKey(Reason reason)
{
    for (const ReasonInfo& info : kReasons)
        if (info.reason == reason)
            return info.key;
    return {};
}

HistoryKey KeyOf(ConfCar& car)
{
    HistoryKey key;
    key.configName = car.GetConfigName();
    key.description = car.DescrizAuto;
    key.engine = car.Motore;
    key.displacement = car.CentCubici;
    key.year = car.AnnoVettura;
    return key;
}

void GiveBackName(ConfCar& car, const Point& point) { car.SetConfigName(point.key.configName); }

Store::Store(fs::path mainFolder, WallClock now)
    : folder_(std::move(mainFolder) / PathOfUtf8(std::string(kFolderName))), now_(std::move(now))
{
    if (!now_)
        now_ = [] { return Clock::now(); };
}

const fs::path& Store::Folder() const { return folder_; }

TakeResult Store::Take(ConfCar& car, Reason reason)
{
    TakeResult result;
    Point point;
    point.when = now_();
    point.stamp = StampOf(point.when);
    point.reason = reason;
    point.key = KeyOf(car);
    point.unitId = UnitIdOf(car);
    point.software = car.SoftwareVersion();
    point.methane = car.GetStatusFlag(ConfCar::kMethane);
    // The name the unit has, so that opening the file names the configuration as the unit did.
    const std::string content = car.EncodedConfiguration(point.key.configName + std::string(kPointExtension));

    // One look at the folder: the numbers this second's names already have, and this car's
    // points, of which only the newest matters (read from the newest name down until one is of
    // the same history).
    std::set<int> used;
    const std::string nameInFile = NameForFile(point.key.configName);
    const std::string suffix = "_" + nameInFile + std::string(kPointExtension);
    std::vector<Named> named = ScanFolder(folder_, [&](std::string_view name, bool sidecar) {
        if (name.starts_with(point.stamp)) {
            std::string asPoint(name);
            if (sidecar)
                asPoint.replace(asPoint.size() - kSidecarExtension.size(), kSidecarExtension.size(), kPointExtension);
            if (NameParts parts; ParseName(asPoint, parts))
                used.insert(parts.sequence);
        }
        return !sidecar && name.ends_with(suffix);
    });
    std::erase_if(named, [&](const Named& n) { return n.parts.nameInFile != nameInFile; });
    std::sort(named.begin(), named.end(), LaterName);
    std::optional<Point> newest;
    for (const Named& candidate : named) {
        Listed read = ReadPoint(candidate);
        if (read.point.key == point.key) {
            newest = std::move(read.point);
            break;
        }
    }
    if (reason == Reason::Read && newest && newest->unitId == point.unitId) {
        std::string bytes;
        if (ReadFileBytes(newest->file, bytes) && bytes == content) {
            result.status = TakeStatus::Unchanged;
            return result;
        }
    }
    point.asFound = !newest;

    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        result.error = FileErrorFrom(ec, folder_);
        return result;
    }
    FileError why = FileError::Other;
    fs::path pointScratch, sidecarScratch;
    if (!WriteScratch(folder_, content, pointScratch, why)) {
        result.error = why;
        return result;
    }
    if (!WriteScratch(folder_, SidecarText(point), sidecarScratch, why)) {
        RemoveQuietly(pointScratch);
        result.error = why;
        return result;
    }
    // The configuration first: a point cut off before its sidecar is still listed from its name.
    for (int sequence = 1; sequence <= kMostInOneSecond; ++sequence) {
        if (used.count(sequence) != 0)
            continue;
        const std::string stem = Stem(point.stamp, sequence, reason, point.key.configName);
        const fs::path target = folder_ / PathOfUtf8(stem + std::string(kPointExtension));
        const fs::path sidecar = SidecarOf(target);
        if (PathTooLong(target) || PathTooLong(sidecar)) {
            result.error = FileError::PathTooLong;
            break;
        }
        if (fs::exists(fs::symlink_status(sidecar, ec)))
            continue;
        MoveResult moved = MoveWithoutReplacing(pointScratch, target, ec);
        if (moved == MoveResult::AlreadyExists)
            continue;
        if (moved == MoveResult::Failed) {
            result.error = FileErrorFrom(ec, target);
            break;
        }
        moved = MoveWithoutReplacing(sidecarScratch, sidecar, ec);
        if (moved == MoveResult::Moved) {
            result.status = TakeStatus::Taken;
            result.file = target;
            return result;
        }
        // Ours until now: back to its scratch name, and on to the next name or out.
        std::error_code back;
        fs::rename(target, pointScratch, back);
        if (back)
            RemoveQuietly(target);
        if (moved == MoveResult::Failed) {
            result.error = FileErrorFrom(ec, sidecar);
            break;
        }
    }
    if (result.error == FileError::None)
        result.error = FileError::Other;
    RemoveQuietly(pointScratch);
    RemoveQuietly(sidecarScratch);
    return result;
}

std::vector<Point> Store::List() const
{
    std::vector<Point> points;
    for (Listed& entry : ListFolder(folder_))
        points.push_back(std::move(entry.point));
    return points;
}

std::vector<Point> Store::History(const HistoryKey& key) const
{
    std::vector<Point> points;
    for (Listed& entry : ListFolder(folder_, &key.configName))
        if (entry.point.key == key)
            points.push_back(std::move(entry.point));
    return points;
}

int Store::Thin()
{
    // Scratch files that a killed run left here go first.
    RemoveStaleScratchFiles(folder_);
    const Clock::time_point cutoff = now_() - kKeepEverything;
    const std::vector<Listed> listed = ListFolder(folder_);
    // Per history and month: the oldest and the newest stay.
    struct Month {
        const Listed* oldest = nullptr;
        const Listed* newest = nullptr;
    };
    std::vector<std::pair<const HistoryKey*, std::map<std::string, Month>>> histories;
    for (const Listed& entry : listed) {
        auto it = std::find_if(histories.begin(), histories.end(),
                               [&](const auto& h) { return *h.first == entry.point.key; });
        if (it == histories.end()) {
            histories.emplace_back(&entry.point.key, std::map<std::string, Month>{});
            it = std::prev(histories.end());
        }
        Month& month = it->second[entry.point.stamp.substr(0, 6)];
        if (month.newest == nullptr)
            month.newest = &entry; // the list runs newest first
        month.oldest = &entry;
    }
    int removed = 0;
    for (const Listed& entry : listed) {
        // Only points with their sidecar are surely the program's own.
        if (entry.point.asFound || !entry.sidecar || entry.point.when >= cutoff)
            continue;
        const auto history = std::find_if(histories.begin(), histories.end(),
                                          [&](const auto& h) { return *h.first == entry.point.key; });
        const Month& month = history->second[entry.point.stamp.substr(0, 6)];
        if (&entry != month.oldest && &entry != month.newest && Remove(entry.point))
            ++removed;
    }
    return removed;
}

bool Store::Remove(const Point& point, FileError* why)
{
    NameParts parts;
    std::error_code ec;
    // Only a point of this folder, by its own name pattern.
    if (point.file.parent_path() != folder_ || !ParseName(Utf8OfPath(point.file.filename()), parts)) {
        if (why)
            *why = FileError::NotFound;
        return false;
    }
    if (!fs::remove(point.file, ec)) {
        if (why)
            *why = ec ? FileErrorFrom(ec, point.file) : FileError::NotFound;
        return false;
    }
    fs::remove(SidecarOf(point.file), ec);
    return true;
}

} // namespace vapora::restore
