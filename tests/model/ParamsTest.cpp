#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "support/FakeClock.h"
#include "support/FakeLink.h"

#include <gtest/gtest.h>

using namespace vapora;

namespace {

struct Params : ::testing::Test {
    test::FakeLink link;
    test::FakeClock clock;
    ConfCar car{"default.mur", &link, clock};
    void SetUp() override { link.calls.clear(); }
};

// Identifier, engineering value to set, raw value expected, value read back.
struct Conversion {
    int32_t id;
    double value;
    int32_t raw;
    double back;
};

} // namespace

TEST_F(Params, EveryIdentifierConvertsBothWays)
{
    const Conversion cases[] = {
        {3, 4, 4, 4},
        {4, 1, 40 | 0x40, 1},          // list index -> code with bit 6
        {5, 1.0, 51, 1.0},
        {8, 5.0, 255, 5.0},
        {9, 0.6, 31, 31 * 5.0 / 255},
        {10, 2.0, 102, 2.0},
        {11, 0, 0, 0},
        {6, 12, 12, 12},
        {7, 9, 9, 9},
        {17, 3, 3, 3},
        {21, 5, 5, 5},
        {23, 40, 40, 40},
        {77, 41, 41, 41},
        {26, 0x41, 0x41, 0x41},
        {35, 255, 255, 255},
        {46, 6, 6, 6},
        {51, 7, 7, 7},
        {56, 8, 8, 8},
        {61, 2, 2, 2},
        {62, 200, 200, 200},
        {81, 5, 5, 5},
        {531, 6500, 6500, 6500},
        {534, 1800, 1800, 1800},
        {557, 4000, 4000, 4000},
        {586, 1250, 1250, 1250},
        {15, 25, 128, 24.8425},
        {18, 0.4, 20, 0.4},
        {25, 1.0, 50, 1.0},
        {32, 0.36, 18, 0.36},
        {33, 0.02, 1, 0.02},
        {546, 1.0, 50, 1.0},
        {20, 5, 1, 5},                // index 5 -> single coil (1)
        {24, 60, 3, 60},
        {69, 120, 6, 120},
        {70, 55, 3, 60},
        {27, 0.14, 7, 7 * 5.0 / 255},
        {44, 4.0, 204, 4.0},
        {63, 0.2, 10, 10 * 5.0 / 255},
        {54, 0.03, 6, 0.03},
        {71, 0.9, 46, 46 * 5.0 / 255},
        {72, 0, 0, 0},
        {75, 1400, 28, 1400},
        {571, 100, 5, 100},
        {572, 35, 2, 40},
        {1062, 40, 40, 40},
        {1064, -5, -5, -5},
        {1097, 100, 100, 100},
        {1063, 40, -40, 40},
        {1065, 29.9, -29, 29},
    };
    for (const Conversion& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(car.SetParam(c.id, c.value), 1);
        ASSERT_FALSE(link.calls.empty());
        const test::LinkCall sent = link.calls.back();
        EXPECT_EQ(sent.op, "value");
        EXPECT_EQ(sent.id, c.id);
        EXPECT_EQ(sent.value, c.raw);
        EXPECT_NEAR(car.GetParam(c.id), c.back, 0.0005);
    }
}

TEST_F(Params, UnknownAndNegativeIdentifiers)
{
    EXPECT_EQ(car.GetParam(999), 800000);
    EXPECT_EQ(car.GetParam(36), 800000);
    EXPECT_EQ(car.SetParam(999, 1), 0);
    EXPECT_EQ(car.SetParam(-1, 1), -1);
    EXPECT_EQ(car.SetParam(4, 6), 0); // index beyond the lambda table
    EXPECT_TRUE(link.calls.empty());
}

TEST_F(Params, ChangeoverRpmKeepsItsModeBit)
{
    car.GiriPerCambio = 1801;
    EXPECT_EQ(car.SetParam(528, 2001), 1);
    EXPECT_EQ(car.GiriPerCambio, 2001);
    EXPECT_EQ(car.GetParam(528), 2000);
    car.GiriPerCambio = 1800;
    car.SetParam(528, 2001);
    EXPECT_EQ(car.GiriPerCambio, 2000);
}

TEST_F(Params, TpsBitFieldsWriteTheWholeWordUnderTheirOwnCode)
{
    car.TipoDiTps = 0x41;
    EXPECT_EQ(car.GetParam(ids::kTpsBits0to2), 1);
    EXPECT_EQ(car.GetParam(ids::kTpsBits3to5), 0); // drive-by-wire hides the switch type
    EXPECT_EQ(car.GetParam(ids::kTpsBit7), 0);

    EXPECT_EQ(car.SetParam(ids::kTpsBit7, 1), 1);
    EXPECT_EQ(car.TipoDiTps, 0xC1);
    EXPECT_EQ(link.calls.back().id, ids::kTpsBit7);
    EXPECT_EQ(link.calls.back().value, 0xC1);
    EXPECT_EQ(car.GetParam(ids::kTpsBit7), 1);

    car.TipoDiTps = 0x19;
    EXPECT_EQ(car.GetParam(ids::kTpsBits3to5), 3);
    car.SetParam(ids::kTpsBits3to5, 2);
    EXPECT_EQ(car.TipoDiTps, 0x11);
    car.SetParam(ids::kTpsBits0to2, 0);
    EXPECT_EQ(car.TipoDiTps, 0x10);
}

TEST_F(Params, LiveValuesAreReReadFromTheUnit)
{
    link.connected = true;
    link.values[ids::kTempoGas] = 7;
    link.values[ids::kRegistroDiagnosi] = 3;
    link.values[ids::kRifLambda] = 102;
    EXPECT_EQ(car.GetParam(ids::kTempoGas), 140);
    EXPECT_EQ(car.GetParam(ids::kRegistroDiagnosi), 3);
    EXPECT_DOUBLE_EQ(car.GetParam(ids::kRifLambda), 2.0);
    // A read that fails keeps the record's value.
    link.connected = false;
    EXPECT_EQ(car.GetParam(ids::kTempoGas), 140);
}

TEST_F(Params, SetParamSendsEvenWithoutWriteThrough)
{
    car.WriteThrough = false;
    car.SetParam(ids::kFlag1, 4);
    ASSERT_EQ(link.calls.size(), 1u);
    EXPECT_EQ(link.calls[0].id, ids::kFlag1);
    link.refuseAll = true;
    EXPECT_EQ(car.SetParam(ids::kFlag1, 0), 0);
    EXPECT_EQ(car.Flag1, 4);
    EXPECT_TRUE(car.Modified);
}

TEST(ParamTable, IdentifierBitsAgreeWithTheParameter)
{
    for (const params::Param* p : params::All()) {
        SCOPED_TRACE(p->number);
        EXPECT_EQ(ids::ParamNumber(p->Single()), p->number);
        EXPECT_FALSE(ids::IsBlock(p->Single()));
        EXPECT_EQ(ids::ElementCount(p->Single()), 0);
        EXPECT_EQ(ids::IsSigned(p->Single()), p->Signed());
        EXPECT_EQ(ids::IsWord(p->Single()), p->Word());
        if (p->Block() == 0)
            continue;
        EXPECT_EQ(ids::ParamNumber(p->Block()), p->number);
        EXPECT_TRUE(ids::IsBlock(p->Block()));
        EXPECT_EQ(ids::ElementCount(p->Block()), p->Columns());
        EXPECT_EQ(ids::IsWord(p->Block()), p->Word());
        EXPECT_EQ(ids::IsSigned(p->Block()), p->Signed());
    }
    EXPECT_EQ(ids::kGasMapRow, ids::Block(14, 20, ids::kWord));
    EXPECT_EQ(ids::kAdaptRow, ids::Block(55, 20, ids::kSigned));
    EXPECT_EQ(ids::BitShift(ids::kTpsBit7), 7);
    EXPECT_EQ(ids::BitWidth(ids::kTpsBits3to5), 3);
    EXPECT_EQ(ids::ParamNumber(ids::kTpsBits3to5), 26);
}
