#include "sim/ParamStore.h"

#include <gtest/gtest.h>

namespace sernox {
namespace {

// A value that only fits an element of the parameter's own size and sign, so
// a store that mixes up sizes or signs loses it.
int32_t Sample(int number)
{
    const ParamDef* def = FindParam(number);
    if (def->isSigned)
        return -40;
    return def->word ? 40000 : 200;
}

std::vector<int32_t> Pattern(int number, int count)
{
    std::vector<int32_t> values(count);
    const ParamDef* def = FindParam(number);
    for (int i = 0; i < count; ++i)
        values[i] = def->isSigned ? i - count / 2 : (def->word ? 300 * i : i + 1);
    return values;
}

// Every single-value identifier the program uses.
const int32_t kSingles[] = {
    3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 528, 17, 18, 531, 20, 21, 534, 23, 24, 25, 26, 27,
    32, 33, 546, 35, 36, 1062, 1063, 1064, 1065, 44, 557, 46, 51, 52, 54, 56, 571, 572,
    61, 62, 63, 69, 70, 71, 72, 1097, 586, 75, 77, 1103, 81};

TEST(ParamStoreForms, EverySingleIdentifierRoundTrips)
{
    ParamStore store;
    for (int32_t id : kSingles) {
        const int32_t value = Sample(id & 0xFF);
        int32_t back = 0;
        EXPECT_TRUE(store.WriteValue(id, value)) << id;
        EXPECT_TRUE(store.ReadValue(id, back)) << id;
        EXPECT_EQ(back, value) << id;
    }
}

struct ArrayForm {
    int32_t element;
    int32_t block;
    int count;
};

const ArrayForm kArrays[] = {
    {524, 82700, 20}, {13, 33037, 8}, {28, 82204, 20}, {29, 82205, 20}, {30, 82206, 20},
    {31, 82207, 20}, {37, 16677, 4}, {42, 41258, 10}, {43, 37163, 9}, {47, 24879, 6},
    {48, 24880, 6}, {49, 24881, 6}, {50, 24882, 6}, {53, 82229, 20}, {569, 9017, 2},
    {570, 9018, 2}, {78, 24910, 6}, {80, 24912, 6}, {83, 49491, 12}, {596, 50004, 12}};

TEST(ParamStoreForms, ElementAndBlockFormsAgree)
{
    ParamStore store;
    for (const auto& form : kArrays) {
        const int number = form.element & 0xFF;
        const auto pattern = Pattern(number, form.count);
        std::vector<int32_t> back;
        ASSERT_TRUE(store.WriteBlock(form.block, pattern)) << form.block;
        ASSERT_TRUE(store.ReadBlock(form.block, back)) << form.block;
        EXPECT_EQ(back, pattern) << form.block;
        const int last = form.count - 1;
        ASSERT_TRUE(store.WriteElement(form.element, last, Sample(number))) << form.element;
        ASSERT_TRUE(store.ReadBlock(form.block, back));
        EXPECT_EQ(back[last], Sample(number)) << form.element;
        EXPECT_EQ(back[0], pattern[0]) << "other elements stay";
    }
}

struct TableForm {
    int32_t cell;
    int32_t row;
    int rows;
    int columns;
};

const TableForm kTables[] = {{526, 82702, 8, 20}, {1079, 83255, 8, 20}, {597, 50005, 12, 12}};

TEST(ParamStoreForms, CellRowAndWholeTableAgree)
{
    ParamStore store;
    for (const auto& t : kTables) {
        const int number = t.cell & 0xFF;
        const auto pattern = Pattern(number, t.columns);
        const int lastRow = t.rows - 1;
        ASSERT_TRUE(store.WriteRow(t.row, lastRow, pattern)) << t.row;
        ASSERT_TRUE(store.WriteCell(t.cell, 1, t.columns - 1, Sample(number))) << t.cell;

        std::vector<int32_t> row;
        ASSERT_TRUE(store.ReadRow(t.row, lastRow, row));
        EXPECT_EQ(row, pattern);
        ASSERT_TRUE(store.ReadRow(t.row, 1, row));
        EXPECT_EQ(row.back(), Sample(number));

        // The whole table as one block is row after row.
        const int32_t whole = (t.row & 0xFFF) | ((t.rows * t.columns) << 12);
        std::vector<int32_t> all;
        ASSERT_TRUE(store.ReadBlock(whole, all));
        EXPECT_EQ(all[2 * t.columns - 1], Sample(number));
        EXPECT_EQ(std::vector<int32_t>(all.end() - t.columns, all.end()), pattern);
    }
}

TEST(ParamStoreForms, BitFieldCodesWriteTheWholeTpsWord)
{
    for (int32_t code : {24117274, 50331674, 53477402}) {
        ParamStore store;
        EXPECT_TRUE(store.WriteValue(code, 0x95)) << code;
        EXPECT_EQ(store.Get(26), 0x95) << code;
        EXPECT_FALSE(store.WriteValue(code, 256)) << "still a byte";
    }
}

enum class Op { Value, Element, Cell, Block, Row, ReadBlock, ReadRow, ReadValue };

struct Refusal {
    const char* what;
    Op op;
    int32_t id;
    int32_t a = 0; // value, or index/row
    int32_t b = 0; // column or value
    int count = 0; // values for block/row writes
};

bool Attempt(ParamStore& s, const Refusal& r)
{
    std::vector<int32_t> out;
    int32_t value = 0;
    switch (r.op) {
    case Op::Value: return s.WriteValue(r.id, r.a);
    case Op::Element: return s.WriteElement(r.id, r.a, r.b);
    case Op::Cell: return s.WriteCell(r.id, r.a, r.b, 1);
    case Op::Block: return s.WriteBlock(r.id, std::vector<int32_t>(r.count, r.a));
    case Op::Row: return s.WriteRow(r.id, r.b, std::vector<int32_t>(r.count, r.a));
    case Op::ReadBlock: return s.ReadBlock(r.id, out);
    case Op::ReadRow: return s.ReadRow(r.id, r.a, out);
    case Op::ReadValue: return s.ReadValue(r.id, value);
    }
    return true;
}

class ParamStoreRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(ParamStoreRefuses, AndKeepsTheStore)
{
    ParamStore store;
    std::vector<int32_t> before;
    for (const auto& def : ParamTable())
        for (int i = 0; i < def.count(); ++i)
            before.push_back(store.Get(def.number, i));
    EXPECT_FALSE(Attempt(store, GetParam())) << GetParam().what;
    std::vector<int32_t> after;
    for (const auto& def : ParamTable())
        for (int i = 0; i < def.count(); ++i)
            after.push_back(store.Get(def.number, i));
    EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ParamStoreRefuses,
    ::testing::Values(
        Refusal{"byte above 255", Op::Value, 3, 256},
        Refusal{"byte below 0", Op::Value, 3, -1},
        Refusal{"word above 65535", Op::Element, 524, 0, 65536},
        Refusal{"word below 0", Op::Element, 524, 0, -1},
        Refusal{"signed byte above 127", Op::Value, 1062, 128},
        Refusal{"signed byte below -128", Op::Value, 1062, -129},
        Refusal{"signed cell below -128", Op::Element, 1079, 0, -129},
        Refusal{"one bad value spoils a block", Op::Block, 33037, 256, 0, 8}));

INSTANTIATE_TEST_SUITE_P(
    ReadOnlyAndUnknown, ParamStoreRefuses,
    ::testing::Values(
        Refusal{"ready status", Op::Value, 2, 1}, Refusal{"diagnosis register", Op::Value, 67, 1},
        Refusal{"reset count", Op::Value, 68, 1}, Refusal{"compatibility 588", Op::Value, 588, 1},
        Refusal{"compatibility 594", Op::Value, 594, 1},
        Refusal{"no parameter 1", Op::Value, 1, 1}, Refusal{"no parameter 64", Op::ReadValue, 64},
        Refusal{"no parameter 90", Op::Value, 90, 1}, Refusal{"negative id", Op::ReadValue, -1},
        Refusal{"stray bit 11", Op::ReadValue, 0x800 | 3},
        Refusal{"unknown bit-field code", Op::Value, 0x120001A, 1}));

INSTANTIATE_TEST_SUITE_P(
    MismatchedForms, ParamStoreRefuses,
    ::testing::Values(
        Refusal{"word parameter as byte", Op::Element, 12, 0, 1},
        Refusal{"byte parameter as word", Op::Value, 0x203, 1},
        Refusal{"16 without its word flag", Op::Value, 16, 1},
        Refusal{"signed parameter unsigned", Op::Value, 38, 1},
        Refusal{"unsigned parameter signed", Op::Value, 0x403, 1},
        Refusal{"signed table unsigned", Op::Cell, 55, 0, 0},
        Refusal{"row with 19 elements", Op::Row, 0x1330E, 1, 0, 19},
        Refusal{"row without word flag", Op::Row, 0x1410E, 1, 0, 20},
        Refusal{"row id read as a whole block", Op::ReadBlock, 82702},
        Refusal{"block with a wrong count", Op::ReadBlock, 0x1330C},
        Refusal{"block without the block bit", Op::Block, 0x1420C, 1, 0, 20},
        Refusal{"single form with a count", Op::ReadValue, 0x1420C},
        Refusal{"element write by block id", Op::Element, 82700, 0, 1},
        Refusal{"block values short of N", Op::Block, 82700, 1, 0, 19}));

INSTANTIATE_TEST_SUITE_P(
    OutOfBounds, ParamStoreRefuses,
    ::testing::Values(
        Refusal{"element past the end", Op::Element, 524, 20, 1},
        Refusal{"negative element", Op::Element, 524, -1, 1},
        Refusal{"map row 8", Op::Cell, 526, 8, 0},
        Refusal{"map column 20", Op::Cell, 526, 0, 20},
        Refusal{"petrol map row 12", Op::Row, 50005, 1, 12, 12},
        Refusal{"adaptive row 8 read", Op::ReadRow, 83255, 8}));

} // namespace
} // namespace sernox
