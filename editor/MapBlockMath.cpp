#include "editor/MapBlockMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vapora {
namespace {

int32_t Fit(double v, int32_t low, int32_t high)
{
    const double rounded = std::floor(v + 0.5);
    if (!(rounded > low))
        return low;
    if (rounded > high)
        return high;
    return static_cast<int32_t>(rounded);
}

bool Inside(const MapState& map, const MapBlock& b)
{
    return b.top >= 0 && b.left >= 0 && b.top <= b.bottom && b.left <= b.right && b.bottom < map.rows &&
           b.right < map.columns && map.values.size() == static_cast<size_t>(map.rows * map.columns + map.rows +
                                                                              map.columns);
}

// Positions of first..last along an axis, 0 at first and 1 at last: by the
// breakpoints when they run strictly one way, else evenly spaced.
std::vector<double> AxisPositions(const MapState& map, int first, int last, bool rowAxis)
{
    auto ref = [&](int i) {
        return static_cast<double>(map.values[static_cast<size_t>(rowAxis ? map.RowRefItem(i) : map.ColumnRefItem(i))]);
    };
    const int n = last - first;
    std::vector<double> t(static_cast<size_t>(n + 1));
    bool rising = true;
    bool falling = true;
    for (int i = first; i < last; ++i) {
        rising = rising && ref(i + 1) > ref(i);
        falling = falling && ref(i + 1) < ref(i);
    }
    for (int i = 0; i <= n; ++i)
        t[static_cast<size_t>(i)] = n == 0 ? 0.0
                                   : (rising || falling) ? (ref(first + i) - ref(first)) / (ref(last) - ref(first))
                                                         : static_cast<double>(i) / n;
    return t;
}

} // namespace

void InterpolateBlock(MapState& map, const MapBlock& b, InterpolateMode mode, int32_t low, int32_t high)
{
    if (!Inside(map, b))
        return;
    const std::vector<double> u = AxisPositions(map, b.left, b.right, false);
    const std::vector<double> v = AxisPositions(map, b.top, b.bottom, true);
    auto at = [&](int r, int c) { return static_cast<double>(map.Cell(r, c)); };
    const MapState before = map;
    auto old = [&](int r, int c) { return static_cast<double>(before.Cell(r, c)); };
    for (int r = b.top; r <= b.bottom; ++r)
        for (int c = b.left; c <= b.right; ++c) {
            const double x = u[static_cast<size_t>(c - b.left)];
            const double y = v[static_cast<size_t>(r - b.top)];
            const bool rowEdge = r == b.top || r == b.bottom;
            const bool columnEdge = c == b.left || c == b.right;
            double value = at(r, c);
            switch (mode) {
            case InterpolateMode::Rows:
                if (columnEdge)
                    continue;
                value = (1 - x) * old(r, b.left) + x * old(r, b.right);
                break;
            case InterpolateMode::Columns:
                if (rowEdge)
                    continue;
                value = (1 - y) * old(b.top, c) + y * old(b.bottom, c);
                break;
            case InterpolateMode::Both:
                if (rowEdge || columnEdge)
                    continue;
                // Blends the four edges and takes off the corners counted twice.
                value = (1 - y) * old(b.top, c) + y * old(b.bottom, c) + (1 - x) * old(r, b.left) +
                        x * old(r, b.right) -
                        ((1 - x) * (1 - y) * old(b.top, b.left) + x * (1 - y) * old(b.top, b.right) +
                         (1 - x) * y * old(b.bottom, b.left) + x * y * old(b.bottom, b.right));
                break;
            }
            map.values[static_cast<size_t>(map.CellItem(r, c))] = Fit(value, low, high);
        }
}

void SmoothBlock(MapState& map, const MapBlock& b, int32_t low, int32_t high)
{
    if (!Inside(map, b))
        return;
    static constexpr int kWeight[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    const MapState before = map;
    for (int r = b.top + 1; r < b.bottom; ++r)
        for (int c = b.left + 1; c < b.right; ++c) {
            double sum = 0;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    sum += kWeight[dr + 1][dc + 1] * static_cast<double>(before.Cell(r + dr, c + dc));
            map.values[static_cast<size_t>(map.CellItem(r, c))] = Fit(sum / 16, low, high);
        }
}

MapDifference Difference(const MapState& current, const MapState& reference)
{
    MapDifference d;
    if (current.rows != reference.rows || current.columns != reference.columns ||
        current.values.size() != reference.values.size() ||
        current.values.size() != static_cast<size_t>(current.rows * current.columns + current.rows + current.columns))
        return d;
    d.valid = true;
    for (int r = 0; r < current.rows; ++r)
        for (int c = 0; c < current.columns; ++c) {
            const int32_t diff = current.Cell(r, c) - reference.Cell(r, c);
            d.cells.push_back(diff);
            d.largest = std::max(d.largest, std::abs(diff));
        }
    for (int r = 0; r < current.rows; ++r)
        d.rowRefs.push_back(current.values[static_cast<size_t>(current.RowRefItem(r))] !=
                            reference.values[static_cast<size_t>(reference.RowRefItem(r))]);
    for (int c = 0; c < current.columns; ++c)
        d.columnRefs.push_back(current.values[static_cast<size_t>(current.ColumnRefItem(c))] !=
                               reference.values[static_cast<size_t>(reference.ColumnRefItem(c))]);
    return d;
}

double DivergingLevel(int32_t difference, int32_t largest, double minimum)
{
    if (difference == 0 || largest <= 0)
        return 0;
    const double size = std::min(1.0, std::abs(static_cast<double>(difference)) / largest);
    const double level = minimum + (1 - minimum) * size;
    return difference < 0 ? -level : level;
}

double HeatLevel(int32_t value, int32_t lowest, int32_t highest)
{
    if (highest <= lowest)
        return 0.5;
    return std::clamp(static_cast<double>(value - lowest) / (highest - lowest), 0.0, 1.0);
}

} // namespace vapora
