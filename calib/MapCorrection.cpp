#include "calib/MapCorrection.h"

#include "model/ConfCar.h"

#include <algorithm>

namespace vapora {

RpmBreakpoints ReadRpmBreakpoints(const ConfCar& car)
{
    RpmBreakpoints b{};
    for (int i = 0; i < kRpmColumns; ++i)
        b[i] = car.GetRpmRef(i);
    return b;
}

int GuidedColumnFor(const RpmBreakpoints& b, int speed)
{
    for (int i = 1; i < kRpmColumns; ++i) {
        const unsigned mid = (static_cast<unsigned>(b[i - 1]) + static_cast<unsigned>(b[i])) / 2;
        if (static_cast<long>(mid) > speed)
            return i - 1;
    }
    return kRpmColumns - 1;
}

ColumnValues GuidedColumnDeltas(const RpmBreakpoints& b, int c1, int s1, int c2, int s2)
{
    const int i1 = GuidedColumnFor(b, s1);
    const int i2 = GuidedColumnFor(b, s2);
    ColumnValues add{};
    for (int col = 0; col < kRpmColumns; ++col) {
        if (col <= i1) {
            add[col] = c1;
        } else if (col >= i2) {
            add[col] = c2;
        } else if (s2 == s1) {
            add[col] = c1; // no span to blend over
        } else {
            add[col] = static_cast<int>(static_cast<double>(b[col] - s1) * (c2 - c1) / (s2 - s1) + c1);
        }
    }
    return add;
}

double RoadSampleWeight(int samples)
{
    switch (samples) {
    case 1: return 0.7;
    case 2: return 0.8;
    case 3: return 0.85;
    case 4: return 0.9;
    default: return 1.0;
    }
}

RoadDeltas RoadColumnDeltas(const RpmBreakpoints& b, const std::array<float, kRpmColumns>& means,
                            const std::array<int, kRpmColumns>& counts)
{
    std::array<float, kRpmColumns> m = means;
    for (int c = 0; c < kRpmColumns; ++c)
        if (counts[c] >= 1 && counts[c] <= 4)
            m[c] = static_cast<float>(m[c] * RoadSampleWeight(counts[c]));

    RoadDeltas out;
    int a = 0;
    while (a < kRpmColumns && m[a] == 0)
        ++a;
    if (a == kRpmColumns)
        return out;
    out.any = true;
    for (int c = 0; c <= a; ++c)
        out.add[c] = static_cast<int>(m[a]);
    for (;;) {
        int next = a + 1;
        while (next < kRpmColumns && m[next] == 0)
            ++next;
        if (next == kRpmColumns) {
            for (int c = a + 1; c < kRpmColumns; ++c)
                out.add[c] = static_cast<int>(m[a]);
            return out;
        }
        for (int c = a + 1; c < next; ++c) {
            // Breakpoints that do not rise give no slope: the span keeps the
            // left column's value.
            if (b[next] <= b[a])
                out.add[c] = static_cast<int>(m[a]);
            else
                out.add[c] = static_cast<int>(m[a] + static_cast<double>(b[c] - b[a]) * (m[next] - m[a])
                                                          / (b[next] - b[a]));
        }
        out.add[next] = static_cast<int>(m[next]);
        a = next;
    }
}

void AddToGasMap(ConfCar& car, const ColumnValues& add, const std::function<void(int)>& progress)
{
    for (int col = 0; col < kRpmColumns; ++col) {
        if (progress)
            progress(col);
        if (add[col] == 0)
            continue;
        for (int row = 0; row < ConfCar::kMapRows; ++row)
            car.SetGasMapCell(row, col, car.GetGasMapCell(row, col) + add[col]);
    }
}

} // namespace vapora
