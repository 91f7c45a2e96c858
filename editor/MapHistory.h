#pragma once
// Undo and redo of the changes a user makes to one map from the window. A map
// is seen as one flat list of raw values (cells row by row, then the row
// breakpoints, then the column breakpoints); a step is what one user action
// changed, taken as the difference between the map before and after it. No
// widgets: the window writes the values and reports what the record kept.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vapora {

struct MapState {
    int rows = 0;
    int columns = 0;
    std::vector<int32_t> values; // rows x columns cells, then rows, then columns breakpoints

    int CellItem(int row, int column) const { return row * columns + column; }
    int RowRefItem(int row) const { return rows * columns + row; }
    int ColumnRefItem(int column) const { return rows * columns + rows + column; }
    int32_t Cell(int row, int column) const { return values[static_cast<size_t>(CellItem(row, column))]; }
    bool operator==(const MapState&) const = default;
};

struct MapChange {
    int item = 0;
    int32_t before = 0;
    int32_t after = 0;
};

struct MapStep {
    std::vector<MapChange> changes;
};

class MapHistory {
public:
    explicit MapHistory(size_t limit = 200) : limit_(limit) {}

    // Starts afresh from the map as it is now.
    void Reset(const MapState& current);
    // The record was changed behind the history's back (a file loaded, a read
    // from the unit, a calibration...) when it no longer holds what the history
    // last saw: then the history starts afresh. True when it did.
    bool Follow(const MapState& current);
    const MapState& Seen() const { return seen_; }

    // One user action: what differs between before and after becomes one step
    // (nothing when nothing changed) and the redo list is dropped.
    void Record(const MapState& before, const MapState& after);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    size_t UndoCount() const { return undo_.size(); }
    size_t RedoCount() const { return redo_.size(); }

    // The writes to make: each change's value to restore (before for undo,
    // after for redo). Null when there is nothing to do.
    const MapStep* NextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const MapStep* NextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }

    // After the writes, with the map as the record now holds it: the changes
    // the record took move to the other list as one step; those it refused
    // stay where they were, so the history always matches the record. Returns
    // the number of refused changes.
    int FinishUndo(const MapState& now);
    int FinishRedo(const MapState& now);

private:
    int Finish(std::vector<MapStep>& from, std::vector<MapStep>& to, const MapState& now, bool undo);
    void Trim(std::vector<MapStep>& steps);

    size_t limit_;
    MapState seen_;
    std::vector<MapStep> undo_;
    std::vector<MapStep> redo_;
};

} // namespace vapora
