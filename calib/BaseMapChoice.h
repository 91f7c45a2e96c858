#pragma once
// Choosing and loading the calibration base map for an engine displacement:
// the nearest one or two files of the calibration folder, copied or blended.

#include <functional>
#include <string>
#include <vector>

namespace vapora {

class ConfCar;

// The displacement the files are chosen against: a unit whose model byte is
// exactly 1 drives one bank, so it sees half the engine.
int BaseMapDisplacement(int displacementCc, int idByte2);

// The number of a base map file name: the four characters starting five
// before the first "." ("Cal#1400a.vap" -> 1400); 0 when they are no number.
int BaseMapNumber(const std::string& fileName);

// Base map names of the folder for the fuel ("Cal#*.vap" for LPG,
// "Cal_m#*.vap" for methane, case ignored), sorted by name.
std::vector<std::string> ListBaseMaps(const std::string& folder, bool methane);

struct BaseMapPick {
    int count = 0;         // files taken
    int best = -1;         // index into the names, -1 when none
    int second = -1;
    int bestDiff = 0;      // number - displacement, signed
    int secondDiff = 0;
    int bestDistance = 20000;
};

// The nearest and second-nearest file by |number - d|; ties keep the file
// found first.
BaseMapPick PickBaseMaps(const std::vector<std::string>& names, int displacement);

// One cell of the blend of two maps at signed distances d1 (best) and d2.
int BlendCell(int v1, int v2, int d1, int d2);

enum class BaseMapResult { NoFile, Loaded, Unreadable };

// Chooses and writes the base map into the record cell by cell (each through
// SetGasMapCell). progress receives the cell count done; refused, when given,
// the keys ("Mappa" row "_" column) of the cells the unit (or the cell's limits)
// did not take.
BaseMapResult LoadBaseMap(ConfCar& car, const std::string& folder, bool methane, int displacement,
                          const std::function<void(int done, int total)>& progress = {},
                          std::vector<std::string>* refused = nullptr);

} // namespace vapora
