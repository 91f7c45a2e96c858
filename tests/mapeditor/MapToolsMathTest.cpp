// The arithmetic of the map tools: interpolation, smoothing, the history of
// steps with refused writes, the difference and its scale.

#include "editor/MapBlockMath.h"
#include "editor/MapHistory.h"

#include <gtest/gtest.h>

#include <random>

namespace vapora::test {
namespace {

// A map of rows x columns with uneven breakpoints and cells from f(row, column).
template <class F>
MapState Make(int rows, int columns, F f)
{
    MapState s;
    s.rows = rows;
    s.columns = columns;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            s.values.push_back(f(r, c));
    for (int r = 0; r < rows; ++r)
        s.values.push_back(10 + 7 * r + r * r); // load breakpoints, rising unevenly
    for (int c = 0; c < columns; ++c)
        s.values.push_back(800 + 250 * c + 50 * c * c); // speed breakpoints
    return s;
}

int32_t RowRef(const MapState& s, int r) { return s.values[static_cast<size_t>(s.RowRefItem(r))]; }
int32_t ColumnRef(const MapState& s, int c) { return s.values[static_cast<size_t>(s.ColumnRefItem(c))]; }

// A plane over the breakpoints, in whole numbers.
MapState Plane()
{
    MapState s = Make(8, 20, [](int, int) { return 0; });
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 20; ++c)
            s.values[static_cast<size_t>(s.CellItem(r, c))] = 3 * RowRef(s, r) + ColumnRef(s, c) / 50;
    return s;
}

TEST(MapInterpolation, EveryModeReproducesAPlaneOverTheBreakpoints)
{
    const MapState plane = Plane();
    const MapBlock block{1, 2, 6, 15};
    for (InterpolateMode mode : {InterpolateMode::Rows, InterpolateMode::Columns, InterpolateMode::Both}) {
        MapState map = plane;
        for (int r = block.top + 1; r < block.bottom; ++r)
            for (int c = block.left + 1; c < block.right; ++c)
                map.values[static_cast<size_t>(map.CellItem(r, c))] = 7; // spoilt inner cells
        InterpolateBlock(map, block, mode, 0, 100000);
        EXPECT_EQ(map, plane) << static_cast<int>(mode);
    }
}

TEST(MapInterpolation, RowsKeepTheSideEdgesAndChangeNothingOutsideTheBlock)
{
    MapState map = Make(8, 20, [](int r, int c) { return 10 * r + c; });
    // Evenly spaced breakpoints inside the block make the weights simple.
    for (int c = 0; c < 20; ++c)
        map.values[static_cast<size_t>(map.ColumnRefItem(c))] = 1000 + 100 * c;
    const MapState before = map;
    map.values[static_cast<size_t>(map.CellItem(2, 3))] = 100;
    map.values[static_cast<size_t>(map.CellItem(2, 7))] = 200;
    InterpolateBlock(map, MapBlock{2, 3, 3, 7}, InterpolateMode::Rows, 0, 510);
    EXPECT_EQ(map.Cell(2, 3), 100);
    EXPECT_EQ(map.Cell(2, 5), 150);
    EXPECT_EQ(map.Cell(2, 4), 125);
    EXPECT_EQ(map.Cell(2, 7), 200);
    EXPECT_EQ(map.Cell(3, 5), before.Cell(3, 5)); // row 3 was already linear
    EXPECT_EQ(map.Cell(1, 5), before.Cell(1, 5));
    EXPECT_EQ(map.Cell(2, 8), before.Cell(2, 8));
}

TEST(MapInterpolation, UnorderedBreakpointsFallBackToEvenSpacingAndValuesStayInRange)
{
    MapState map = Make(12, 12, [](int, int) { return 0; });
    for (int c = 0; c < 12; ++c)
        map.values[static_cast<size_t>(map.ColumnRefItem(c))] = 1000; // all equal: no order
    map.values[static_cast<size_t>(map.CellItem(0, 0))] = 0;
    map.values[static_cast<size_t>(map.CellItem(0, 4))] = 400;
    InterpolateBlock(map, MapBlock{0, 0, 0, 4}, InterpolateMode::Rows, 0, 250);
    EXPECT_EQ(map.Cell(0, 1), 100);
    EXPECT_EQ(map.Cell(0, 2), 200);
    EXPECT_EQ(map.Cell(0, 3), 250) << "300 brought down into the range";
}

TEST(MapSmoothing, ConstantAndLinearBlocksStayAndASpikeSpreadsInsideTheEdges)
{
    const MapState constant = Make(8, 20, [](int, int) { return 123; });
    MapState map = constant;
    SmoothBlock(map, MapBlock{0, 0, 7, 19}, 0, 510);
    EXPECT_EQ(map, constant);

    const MapState linear = Make(8, 20, [](int r, int c) { return 5 + 11 * r + 3 * c; });
    map = linear;
    SmoothBlock(map, MapBlock{1, 2, 6, 17}, 0, 510);
    EXPECT_EQ(map, linear);

    MapState spike = Make(8, 20, [](int, int) { return 0; });
    spike.values[static_cast<size_t>(spike.CellItem(3, 5))] = 160;
    spike.values[static_cast<size_t>(spike.CellItem(2, 4))] = 80; // on the block's edge
    SmoothBlock(spike, MapBlock{2, 4, 5, 8}, 0, 510);
    EXPECT_EQ(spike.Cell(2, 4), 80) << "edges keep their values";
    EXPECT_EQ(spike.Cell(3, 5), (160 * 4 + 80) / 16);
    EXPECT_EQ(spike.Cell(3, 6), 160 * 2 / 16);
    EXPECT_EQ(spike.Cell(4, 6), 160 / 16);
    EXPECT_EQ(spike.Cell(2, 5), 0);
}

TEST(MapHistorySteps, UndoAfterAnySequenceGivesBackEachEarlierMapExactly)
{
    std::mt19937 random(7);
    MapState map = Make(12, 12, [](int r, int c) { return r * 12 + c; });
    MapHistory history;
    history.Reset(map);
    std::vector<MapState> seen{map};
    for (int action = 0; action < 30; ++action) {
        const MapState before = map;
        const MapBlock block{static_cast<int>(random() % 6), static_cast<int>(random() % 6),
                             6 + static_cast<int>(random() % 6), 6 + static_cast<int>(random() % 6)};
        switch (action % 4) {
        case 0: InterpolateBlock(map, block, InterpolateMode::Both, 0, 6250); break;
        case 1: SmoothBlock(map, block, 0, 6250); break;
        case 2: // a paste or block modification
            for (int r = block.top; r <= block.bottom; ++r)
                map.values[static_cast<size_t>(map.CellItem(r, block.left))] = static_cast<int32_t>(random() % 6000);
            break;
        case 3: // a breakpoint change
            map.values[static_cast<size_t>(map.ColumnRefItem(action % 12))] += 50;
            break;
        }
        history.Record(before, map);
        if (map != before)
            seen.push_back(map);
    }
    ASSERT_EQ(history.UndoCount(), seen.size() - 1);
    for (size_t back = seen.size() - 1; back > 0; --back) {
        for (const MapChange& c : history.NextUndo()->changes)
            map.values[static_cast<size_t>(c.item)] = c.before;
        EXPECT_EQ(history.FinishUndo(map), 0);
        EXPECT_EQ(map, seen[back - 1]) << back;
    }
    EXPECT_FALSE(history.CanUndo());
    while (history.CanRedo()) {
        for (const MapChange& c : history.NextRedo()->changes)
            map.values[static_cast<size_t>(c.item)] = c.after;
        history.FinishRedo(map);
    }
    EXPECT_EQ(map, seen.back());
}

TEST(MapHistorySteps, ANewActionDropsRedoAndANoChangeActionRecordsNothing)
{
    MapState map = Make(8, 20, [](int, int) { return 50; });
    MapHistory history;
    history.Reset(map);
    MapState after = map;
    after.values[0] = 60;
    history.Record(map, after);
    history.Record(after, after);
    EXPECT_EQ(history.UndoCount(), 1u);
    history.FinishUndo(map);
    EXPECT_TRUE(history.CanRedo());
    MapState other = map;
    other.values[1] = 70;
    history.Record(map, other);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoCount(), 1u);
}

TEST(MapHistorySteps, ReplacingTheWholeRecordStartsAfresh)
{
    MapState map = Make(8, 20, [](int, int) { return 50; });
    MapHistory history;
    history.Reset(map);
    MapState edited = map;
    edited.values[3] = 99;
    history.Record(map, edited);
    EXPECT_FALSE(history.Follow(edited)) << "the record still holds what the history saw";
    EXPECT_TRUE(history.CanUndo());

    const MapState loaded = Make(8, 20, [](int r, int c) { return r + c; });
    EXPECT_TRUE(history.Follow(loaded));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Seen(), loaded);
}

TEST(MapHistorySteps, RefusedRestoresStayToUndoAndTheDoneOnesCanBeRedone)
{
    const MapState original = Make(8, 20, [](int, int) { return 10; });
    MapState pasted = original;
    for (int i = 0; i < 4; ++i)
        pasted.values[static_cast<size_t>(i)] = 100 + i;
    MapHistory history;
    history.Reset(original);
    history.Record(original, pasted);

    // The unit took the first three restores and refused the last.
    MapState now = original;
    now.values[3] = 103;
    EXPECT_EQ(history.FinishUndo(now), 1);
    ASSERT_TRUE(history.CanUndo());
    ASSERT_EQ(history.NextUndo()->changes.size(), 1u);
    EXPECT_EQ(history.NextUndo()->changes[0].item, 3);
    EXPECT_EQ(history.NextUndo()->changes[0].before, 10);
    ASSERT_TRUE(history.CanRedo());
    EXPECT_EQ(history.NextRedo()->changes.size(), 3u);
    EXPECT_FALSE(history.Follow(now)) << "history and record agree";

    now.values[3] = 10;
    EXPECT_EQ(history.FinishUndo(now), 0);
    EXPECT_EQ(now, original);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.RedoCount(), 2u);
}

TEST(MapDifferenceScale, SignsSizesAndBreakpoints)
{
    const MapState file = Make(8, 20, [](int, int) { return 100; });
    MapState mine = file;
    mine.values[static_cast<size_t>(mine.CellItem(1, 2))] = 140;
    mine.values[static_cast<size_t>(mine.CellItem(5, 9))] = 98;
    mine.values[static_cast<size_t>(mine.ColumnRefItem(4))] += 50;
    const MapDifference d = Difference(mine, file);
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.Cell(1, 2, 20), 40);
    EXPECT_EQ(d.Cell(5, 9, 20), -2);
    EXPECT_EQ(d.largest, 40);
    EXPECT_TRUE(d.columnRefs[4]);
    EXPECT_FALSE(d.columnRefs[3]);
    EXPECT_FALSE(d.rowRefs[0]);

    EXPECT_EQ(DivergingLevel(0, 40), 0);
    EXPECT_DOUBLE_EQ(DivergingLevel(40, 40), 1);
    EXPECT_DOUBLE_EQ(DivergingLevel(-40, 40), -1);
    EXPECT_GE(DivergingLevel(1, 1000), 0.25) << "a small difference still shows";
    EXPECT_LT(DivergingLevel(-2, 40), 0);
    EXPECT_FALSE(Difference(mine, Make(12, 12, [](int, int) { return 0; })).valid);
    EXPECT_DOUBLE_EQ(HeatLevel(5, 5, 5), 0.5);
    EXPECT_DOUBLE_EQ(HeatLevel(510, 0, 510), 1);
}

} // namespace
} // namespace vapora::test
