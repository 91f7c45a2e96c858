#include "editor/MapRecord.h"

#include "model/ConfCar.h"
#include "model/Conversions.h"

namespace vapora {
namespace {

int Rows(MapKind kind) { return kind == MapKind::Gas ? ConfCar::kMapRows : ConfCar::kPetrolSize; }
int Columns(MapKind kind) { return kind == MapKind::Gas ? ConfCar::kMapCols : ConfCar::kPetrolSize; }

} // namespace

MapState ReadMapState(const ConfCar& car, MapKind kind)
{
    MapState s;
    s.rows = Rows(kind);
    s.columns = Columns(kind);
    s.values.reserve(static_cast<size_t>(s.rows * s.columns + s.rows + s.columns));
    const bool gas = kind == MapKind::Gas;
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.columns; ++c)
            s.values.push_back(gas ? car.MappaCarburazione[r][c] : car.MappaBenzina[r][c]);
    for (int r = 0; r < s.rows; ++r)
        s.values.push_back(gas ? car.RifMAP[r] : car.RifMAPB[r]);
    for (int c = 0; c < s.columns; ++c)
        s.values.push_back(gas ? car.RifGiri[c] : car.RifGiriB[c]);
    return s;
}

void WriteMapItem(ConfCar& car, MapKind kind, int item, int32_t raw)
{
    const int rows = Rows(kind);
    const int columns = Columns(kind);
    const bool gas = kind == MapKind::Gas;
    if (item < 0)
        return;
    if (item < rows * columns) {
        const int r = item / columns;
        const int c = item % columns;
        if (gas)
            car.SetGasMapCell(r, c, raw);
        else
            car.SetPetrolMapCell(r, c, conv::PetrolMsFromRaw(raw));
        return;
    }
    item -= rows * columns;
    if (item < rows) {
        if (gas)
            car.SetMapRef(item, conv::VoltsFromRaw(raw));
        else
            car.SetPetrolMapRef(item, conv::VoltsFromRaw(raw));
        return;
    }
    item -= rows;
    if (item < columns) {
        if (gas)
            car.SetRpmRef(item, raw);
        else
            car.SetPetrolRpmRef(item, raw);
    }
}

int WriteMapState(ConfCar& car, MapKind kind, const MapState& target)
{
    const MapState now = ReadMapState(car, kind);
    if (now.values.size() != target.values.size())
        return 0;
    for (size_t i = 0; i < target.values.size(); ++i)
        if (now.values[i] != target.values[i])
            WriteMapItem(car, kind, static_cast<int>(i), target.values[i]);
    const MapState after = ReadMapState(car, kind);
    int refused = 0;
    for (size_t i = 0; i < target.values.size(); ++i)
        if (after.values[i] != target.values[i])
            ++refused;
    return refused;
}

RawRange CellRange(MapKind kind)
{
    if (kind == MapKind::Gas)
        return {0, 510};
    // The record takes times up to 25 ms: the highest step that converts within it.
    int32_t high = conv::RawFromPetrolMs(25.0);
    while (high > 0 && conv::PetrolMsFromRaw(high) > 25.0)
        --high;
    return {0, high};
}

} // namespace vapora
