#pragma once
// The two fuel maps of the record seen as flat lists of raw values for the
// map tools, and the writes back through the record's own setters (so a
// connected unit gets each value first and the record keeps only what it took).

#include "editor/MapHistory.h"

#include <cstdint>

namespace vapora {

class ConfCar;

enum class MapKind { Gas, Petrol };

MapState ReadMapState(const ConfCar& car, MapKind kind);

// Writes the value of one item of the flat list.
void WriteMapItem(ConfCar& car, MapKind kind, int item, int32_t raw);

// Writes every item where target differs from what the record holds; returns
// how many the record did not take.
int WriteMapState(ConfCar& car, MapKind kind, const MapState& target);

// The raw values a cell of the map may hold.
struct RawRange {
    int32_t low;
    int32_t high;
};
RawRange CellRange(MapKind kind);

} // namespace vapora
