#pragma once
// The arithmetic of the map tools on a selected block: linear interpolation
// along rows, columns or both, the 3x3 smoothing, the difference from another
// map and the shades the grid colours cells by. No widgets.

#include "editor/MapHistory.h"

#include <vector>

namespace vapora {

// A block of a map's cells, inclusive, in map coordinates (row, column from 0).
struct MapBlock {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};

enum class InterpolateMode { Rows, Columns, Both };

// Interpolates the inner cells of the block from its edges, linearly over the
// breakpoints (over the cell positions when the block's breakpoints are not
// strictly ordered): Rows between the left and right edge of each row,
// Columns between the top and bottom edge of each column, Both from all four
// edges (bilinear blending, which keeps the edges and reproduces a plane).
// Results are rounded to whole raw values and brought into low..high.
void InterpolateBlock(MapState& map, const MapBlock& block, InterpolateMode mode, int32_t low, int32_t high);

// Each inner cell of the block becomes the mean of its 3x3 neighbourhood with
// weights 1 2 1 / 2 4 2 / 1 2 1, taken from the values before smoothing; the
// block's edge cells keep theirs. Rounded and brought into low..high.
void SmoothBlock(MapState& map, const MapBlock& block, int32_t low, int32_t high);

// Cell by cell current - reference, and whether each breakpoint differs. Maps
// of different shapes give no difference.
struct MapDifference {
    bool valid = false;
    std::vector<int32_t> cells; // rows x columns
    std::vector<bool> rowRefs;
    std::vector<bool> columnRefs;
    int32_t largest = 0; // largest absolute cell difference
    int32_t Cell(int row, int column, int columns) const { return cells[static_cast<size_t>(row * columns + column)]; }
};
MapDifference Difference(const MapState& current, const MapState& reference);

// Where a difference lies on the diverging scale: -1 to 1 by its size against
// the largest one, never nearer 0 than minimum so that a small one still
// shows; 0 exactly when there is no difference.
double DivergingLevel(int32_t difference, int32_t largest, double minimum = 0.25);

// Where a value lies between the map's lowest and highest cell: 0 to 1
// (0.5 for a map with all cells equal).
double HeatLevel(int32_t value, int32_t lowest, int32_t highest);

} // namespace vapora
