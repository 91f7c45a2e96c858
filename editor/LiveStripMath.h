#pragma once
// Where the engine runs on the maps and grids of the configuration window,
// and the pressure peak hold of the live strip. Pure arithmetic: the grids
// give the pixel rectangle of a cell, these functions say where the marker
// goes inside it.

#include <array>
#include <vector>

namespace vapora::live {

// Breakpoints of one map axis with the midpoints between neighbours:
// mid[0] = 0, mid[i] = (b[i-1] + b[i]) / 2, mid[n] = mid[n-1] + one step
// beyond the last (1000 rpm, 0.1 V).
struct SpeedAxis {
    std::vector<int> refs;
    std::vector<int> mids;
};
struct LoadAxis {
    std::vector<double> refs;
    std::vector<double> mids;
};
SpeedAxis MakeSpeedAxis(const std::vector<int>& refs);
LoadAxis MakeLoadAxis(const std::vector<double>& refs);

// Column of a speed: the last column above the end midpoint, else the count
// of inner midpoints not above it. Same rule for load rows.
int SpeedIndex(const SpeedAxis& axis, int speed);
int LoadIndex(const LoadAxis& axis, double load);

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Pixel inside the cell of column/row: the centre stands for the breakpoint,
// the edges for the midpoints on either side.
int MarkerX(const SpeedAxis& axis, int column, int speed, const CellRect& cell);
int MarkerY(const LoadAxis& axis, int row, double load, const CellRect& cell);

// The marker of one map: recomputed only when speed or load move, or once
// every 100 ticks while they stay.
struct MapMarker {
    int x = 0;
    int y = 0;
    int column = 0;
    int row = 0;
    int lastSpeed = 0;
    double lastLoad = 0;
    int refresh = 100;

    void ForceRefresh() { refresh = 100; }
    // True when this tick must recompute (and the speed and load are kept).
    bool Due(int speed, double load);
};

// Enrichment band of a speed from the band limits t[1..5] (t[0] is 0):
// -1 for a speed of 0, 5 from the last limit up.
int EnrichBand(const std::array<int, 6>& limits, int speed);

// Held maximum and minimum of the gas pressure: a value beyond the held one
// replaces it at once, otherwise it is kept for 20 ticks.
struct PeakHold {
    int heldMax = 0;
    int heldMin = 5;
    int maxCount = 0;
    int minCount = 0;

    struct Result {
        bool maxWritten = false;
        bool minWritten = false;
    };
    Result Update(int pressure);
};

} // namespace vapora::live
