#include "calib/BaseMapChoice.h"

#include "model/ConfCar.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>

namespace vapora {
namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool IsBaseMapName(const std::string& name, bool methane)
{
    const std::string lower = Lower(name);
    const std::string prefix = methane ? "cal_m#" : "cal#";
    return lower.size() >= prefix.size() + 4 && lower.compare(0, prefix.size(), prefix) == 0
           && lower.compare(lower.size() - 4, 4, ".vap") == 0;
}

using Map = int32_t[ConfCar::kMapRows][ConfCar::kMapCols];

// Read through a scratch record: reading binds the file name, and the car's
// own binding must not end up on a base map that a later save would overwrite.
// A file without a whole map is as unreadable as a broken one.
bool ReadMap(const std::string& path, Map map)
{
    constexpr int32_t kMissing = -1;
    int32_t rpm[ConfCar::kMapCols]{};
    int32_t mapRefs[ConfCar::kMapRows]{};
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            map[r][c] = kMissing;
    ConfCar scratch(path, nullptr);
    if (!scratch.ReadGasMapFromFile(path, map, rpm, mapRefs))
        return false;
    for (int r = 0; r < ConfCar::kMapRows; ++r)
        for (int c = 0; c < ConfCar::kMapCols; ++c)
            if (map[r][c] == kMissing)
                return false;
    return true;
}

} // namespace

int BaseMapDisplacement(int displacementCc, int idByte2)
{
    if (displacementCc != 0 && idByte2 == 1)
        return displacementCc / 2;
    return displacementCc;
}

int BaseMapNumber(const std::string& fileName)
{
    const auto dot = fileName.find('.');
    if (dot == std::string::npos || dot < 5)
        return 0;
    const std::string digits = fileName.substr(dot - 5, 4);
    int value = 0;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last ? value : 0;
}

std::vector<std::string> ListBaseMaps(const std::string& folder, bool methane)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsBaseMapName(name, methane) && it->is_regular_file(ec))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    return names;
}

BaseMapPick PickBaseMaps(const std::vector<std::string>& names, int displacement)
{
    BaseMapPick pick;
    int secondDistance = 20000;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const int diff = BaseMapNumber(names[i]) - displacement;
        const int distance = std::abs(diff);
        if (distance < pick.bestDistance) {
            pick.second = pick.best;
            pick.secondDiff = pick.bestDiff;
            secondDistance = pick.bestDistance;
            pick.best = i;
            pick.bestDiff = diff;
            pick.bestDistance = distance;
        } else if (distance < secondDistance) {
            pick.second = i;
            pick.secondDiff = diff;
            secondDistance = distance;
        } else {
            continue;
        }
        ++pick.count;
    }
    return pick;
}

int BlendCell(int v1, int v2, int d1, int d2)
{
    return static_cast<int>(static_cast<double>(d1) / (d1 - d2) * (v2 - v1) + v1);
}

BaseMapResult LoadBaseMap(ConfCar& car, const std::string& folder, bool methane, int displacement,
                          const std::function<void(int, int)>& progress, std::vector<std::string>* refused)
{
    const auto names = ListBaseMaps(folder, methane);
    const BaseMapPick pick = PickBaseMaps(names, displacement);
    if (pick.count == 0)
        return BaseMapResult::NoFile;
    const auto path = [&](int i) { return (std::filesystem::path(folder) / names[i]).string(); };
    constexpr int kCells = ConfCar::kMapRows * ConfCar::kMapCols;

    Map best{};
    if (!ReadMap(path(pick.best), best))
        return BaseMapResult::Unreadable;
    const bool copy = pick.bestDistance == 0 || pick.count == 1;
    Map second{};
    if (!copy && !ReadMap(path(pick.second), second))
        return BaseMapResult::Unreadable;
    // Equal signed distances would blend by 0/0: the best file is as good as any.
    const bool blend = !copy && pick.bestDiff != pick.secondDiff;

    int done = 0;
    for (int row = 0; row < ConfCar::kMapRows; ++row) {
        for (int col = 0; col < ConfCar::kMapCols; ++col) {
            int value = best[row][col];
            if (blend) {
                value = BlendCell(best[row][col], second[row][col], pick.bestDiff, pick.secondDiff);
                // A row never falls along the RPM axis.
                if (col > 0 && value < car.GetGasMapCell(row, col - 1))
                    value = car.GetGasMapCell(row, col - 1);
            }
            car.SetGasMapCell(row, col, value);
            if (refused != nullptr && car.GetGasMapCell(row, col) != value)
                refused->push_back("Mappa" + std::to_string(row) + "_" + std::to_string(col));
            if (progress)
                progress(++done, kCells);
        }
    }
    return BaseMapResult::Loaded;
}

} // namespace vapora
