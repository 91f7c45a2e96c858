#pragma once
// Adding lambda corrections into the gas map along the RPM axis: the guided
// calibration's two points and the road calibration's column means.

#include <array>
#include <functional>

namespace vapora {

class ConfCar;

constexpr int kRpmColumns = 20;
using RpmBreakpoints = std::array<int, kRpmColumns>;
using ColumnValues = std::array<int, kRpmColumns>;

RpmBreakpoints ReadRpmBreakpoints(const ConfCar& car);

// The column a captured speed belongs to: the first column whose upper
// midpoint lies above the speed. Speeds past the last midpoint belong to the
// last column.
int GuidedColumnFor(const RpmBreakpoints& b, int speed);

// What each column gets from an idle correction c1 at s1 and a second one c2
// at s2: c1 up to the idle column, c2 from the second column on, the linear
// blend between.
ColumnValues GuidedColumnDeltas(const RpmBreakpoints& b, int c1, int s1, int c2, int s2);

// Weight of a road mean resting on few samples.
double RoadSampleWeight(int samples);

struct RoadDeltas {
    bool any = false;                 // some column had a mean
    ColumnValues add{};               // added to every row of each column
};

// Weighted means spread over all columns: flat before the first sampled
// column and after the last, linear along the breakpoints between.
RoadDeltas RoadColumnDeltas(const RpmBreakpoints& b, const std::array<float, kRpmColumns>& means,
                            const std::array<int, kRpmColumns>& counts);

// Adds each column's value to every row of the record's gas map, column by
// column; a sum outside the map's range keeps the old cell.
void AddToGasMap(ConfCar& car, const ColumnValues& add, const std::function<void(int column)>& progress = {});

} // namespace vapora
