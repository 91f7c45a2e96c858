#include "editor/LiveStripMath.h"

#include <algorithm>
#include <cmath>

namespace vapora::live {

SpeedAxis MakeSpeedAxis(const std::vector<int>& refs)
{
    SpeedAxis axis{refs, std::vector<int>(refs.size() + 1, 0)};
    for (size_t i = 1; i < refs.size(); ++i)
        axis.mids[i] = (refs[i - 1] + refs[i]) / 2;
    if (!refs.empty())
        axis.mids[refs.size()] = axis.mids[refs.size() - 1] + 1000;
    return axis;
}

LoadAxis MakeLoadAxis(const std::vector<double>& refs)
{
    LoadAxis axis{refs, std::vector<double>(refs.size() + 1, 0.0)};
    for (size_t i = 1; i < refs.size(); ++i)
        axis.mids[i] = (refs[i - 1] + refs[i]) * 0.5;
    if (!refs.empty())
        axis.mids[refs.size()] = axis.mids[refs.size() - 1] + 0.1;
    return axis;
}

namespace {

template <class T>
int IndexOf(const std::vector<T>& mids, T value)
{
    const int n = static_cast<int>(mids.size()) - 1; // number of breakpoints
    if (n <= 0)
        return 0;
    if (value > mids[n])
        return n - 1;
    int index = 0;
    for (int i = 1; i < n; ++i)
        if (!(mids[i] > value))
            ++index;
    return index;
}

// Offset inside [0, 2 * half]: half at the breakpoint, 0 and 2 * half at the
// midpoints. Equal neighbouring breakpoints leave no room on one side: the
// marker then sits on the centre instead of dividing by zero.
int Offset(double value, double breakpoint, double lowMid, double highMid, int half)
{
    double offset;
    if (value > breakpoint) {
        const double span = highMid - breakpoint;
        offset = span > 0 ? half + half * (value - breakpoint) / span : half;
    } else {
        const double span = breakpoint - lowMid;
        offset = span > 0 ? half * (value - lowMid) / span : half;
    }
    return static_cast<int>(std::clamp(offset, 0.0, 2.0 * half + 1));
}

} // namespace

int SpeedIndex(const SpeedAxis& axis, int speed) { return IndexOf(axis.mids, speed); }
int LoadIndex(const LoadAxis& axis, double load) { return IndexOf(axis.mids, load); }

int MarkerX(const SpeedAxis& axis, int column, int speed, const CellRect& cell)
{
    const int n = static_cast<int>(axis.refs.size());
    if (n == 0 || speed > axis.mids[n])
        return cell.right;
    column = std::clamp(column, 0, n - 1);
    const int half = (cell.right - cell.left) / 2;
    return cell.left + Offset(speed, axis.refs[column], axis.mids[column], axis.mids[column + 1], half);
}

int MarkerY(const LoadAxis& axis, int row, double load, const CellRect& cell)
{
    const int n = static_cast<int>(axis.refs.size());
    if (n == 0 || load > axis.mids[n])
        return cell.bottom;
    row = std::clamp(row, 0, n - 1);
    const int half = (cell.bottom - cell.top) / 2;
    return cell.top + Offset(load, axis.refs[row], axis.mids[row], axis.mids[row + 1], half);
}

bool MapMarker::Due(int speed, double load)
{
    if (speed == lastSpeed && load == lastLoad) {
        const bool waiting = refresh < 100;
        ++refresh;
        if (waiting)
            return false;
    }
    lastSpeed = speed;
    lastLoad = load;
    refresh = 0;
    return true;
}

int EnrichBand(const std::array<int, 6>& limits, int speed)
{
    if (speed >= limits[5])
        return 5;
    for (int b = 0; b < 6; ++b)
        if (limits[b] >= speed)
            return b - 1;
    return 5;
}

PeakHold::Result PeakHold::Update(int pressure)
{
    Result result;
    if (pressure > heldMax)
        maxCount = 0;
    if (pressure < heldMin)
        minCount = 0;
    if (maxCount == 0) {
        heldMax = pressure;
        maxCount = 20;
        result.maxWritten = true;
    }
    if (minCount == 0) {
        heldMin = pressure;
        minCount = 20;
        result.minWritten = true;
    }
    --maxCount;
    --minCount;
    return result;
}

} // namespace vapora::live
