#pragma once
// Completion of the petrol map from learned points: a thin-plate spline
// surface through the learned cells, evaluated at every cell's breakpoints.
// No widgets, so the fit can be tested and timed on its own.

#include <array>
#include <vector>

namespace vapora {

class ConfCar;

// One learned point as the record keeps it.
struct LearnedSample {
    int giri = 0;      // rpm
    int map = 0;       // second manifold voltage, thousandths of a volt
    int nGiri = 0;     // petrol map column
    int nMap = 0;      // petrol map row
    int iniezione = 0; // petrol injection, microseconds
};

constexpr int kPetrolCells = 12;
// Cell values in microseconds, [row][column].
using PetrolCells = std::array<std::array<int, kPetrolCells>, kPetrolCells>;

// Fits the surface through the learned cells (points of one cell averaged)
// and evaluates it at the breakpoints; values below 0 become 0. False when
// the system has no solution (too few or badly placed cells) or the last
// breakpoints are not positive, which would leave nothing to scale by.
bool CompletePetrolCells(const std::vector<LearnedSample>& points, const std::array<int, kPetrolCells>& rpmRefs,
                         const std::array<double, kPetrolCells>& mapRefs, PetrolCells& out);

// The same over the record: reads its points and petrol breakpoints and, on
// success, writes all 144 cells (the record refuses values above 25 ms).
// Nothing is written on failure.
bool CompletePetrolMap(ConfCar& car);

} // namespace vapora
