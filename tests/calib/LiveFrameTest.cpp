#include "calib/LiveFrame.h"

#include <gtest/gtest.h>

#include <array>

using namespace vapora;

namespace {

std::array<uint8_t, 20> EngineBlock()
{
    std::array<uint8_t, 20> b{};
    b[0] = 0xDC; // 1500 rpm
    b[1] = 0x05;
    b[2] = 51;   // 1.0 V
    b[3] = 102;  // 2.0 V
    b[4] = 92;   // 100 kPa
    b[5] = 102;  // 110 kPa
    b[6] = 0xF6; // -10
    b[7] = 0x2C; // 300
    b[8] = 0x01;
    b[9] = 7;
    b[10] = 9;
    b[11] = kEngineIdle | kEngineCutoff;
    b[12] = 153; // 3.0 V
    b[13] = 0x05;
    b[14] = 0x10;
    b[15] = 0x27; // 10000
    return b;
}

} // namespace

TEST(LivePressure, RulesAndBoundaries)
{
    EXPECT_EQ(LivePressureKpa(0), 10);
    EXPECT_EQ(LivePressureKpa(255), 260);
    EXPECT_EQ(DifferentialPressure(5, 92, 1.8), 0);
    EXPECT_NE(DifferentialPressure(6, 0, 1.8), 0);
    for (double k : {0.0, 1.0, 1.8, 2.4})
        EXPECT_EQ(DifferentialPressure(102, 92, k), 10) << k;
    // Below atmospheric the manifold term adds to the gas pressure.
    const int pg = LivePressureKpa(150) - 100;
    EXPECT_GT(DifferentialPressure(150, 40, 1.8), pg);
    EXPECT_EQ(DifferentialPressure(150, 40, 1.8), static_cast<int>(pg - (LivePressureKpa(40) - 100) * 1.8));
    // Truncated toward zero, also when negative.
    EXPECT_EQ(DifferentialPressure(7, 255, 1.0), (LivePressureKpa(7) - 100) - 160);
}

TEST(LiveEngineBlock, DecodesTheFixedPart)
{
    const auto b = EngineBlock();
    EngineValues v;
    ASSERT_TRUE(DecodeEngineBlock(b.data(), 12, 1.8, false, false, v));
    EXPECT_EQ(v.giri, 1500);
    EXPECT_DOUBLE_EQ(v.lambda, 1.0);
    EXPECT_DOUBLE_EQ(v.tps, 2.0);
    EXPECT_EQ(v.mapKpa, 100);
    EXPECT_DOUBLE_EQ(v.mapVolts, 92 * 5.0 / 255);
    EXPECT_EQ(v.pressione, 10);
    EXPECT_EQ(v.correttore, -10);
    EXPECT_EQ(v.apertura, 300);
    EXPECT_EQ(v.variazioneTps, 7);
    EXPECT_EQ(v.arricchimento, 9);
    EXPECT_EQ(v.flags, kEngineIdle | kEngineCutoff);
}

TEST(LiveEngineBlock, TailDependsOnUnitAndLength)
{
    const auto b = EngineBlock();
    EngineValues v;
    v.lambda2 = -1;
    v.injBenzinaRaw = -1;

    // Two probes need 16 bytes; 15 leaves probe 2 as it was.
    DecodeEngineBlock(b.data(), 15, 1.8, true, false, v);
    EXPECT_EQ(v.lambda2, -1);
    DecodeEngineBlock(b.data(), 16, 1.8, true, false, v);
    EXPECT_DOUBLE_EQ(v.lambda2, 3.0);
    EXPECT_EQ(v.correttore2, 5);
    EXPECT_EQ(v.apertura2, 0x2710);
    EXPECT_EQ(v.injBenzinaRaw, -1);

    // Model 3 needs 15 bytes; 14 leaves the petrol time as it was.
    EngineValues k3;
    k3.injBenzinaRaw = -1;
    DecodeEngineBlock(b.data(), 14, 1.8, false, true, k3);
    EXPECT_EQ(k3.injBenzinaRaw, -1);
    DecodeEngineBlock(b.data(), 15, 1.8, false, true, k3);
    EXPECT_DOUBLE_EQ(k3.analog2, 3.0);
    EXPECT_EQ(k3.injBenzinaRaw, 0x1005);
    EXPECT_NEAR(k3.injBenzinaMs, 0x1005 * 0.004, 1e-9);

    // A two-probe unit never reads the model-3 tail.
    EXPECT_EQ(EngineTailFor(15, true, true), EngineTail::None);
    EXPECT_EQ(EngineTailFor(20, false, false), EngineTail::None);
}

TEST(LiveEngineBlock, TooShortLeavesEverything)
{
    const auto b = EngineBlock();
    EngineValues v;
    v.giri = 777;
    EXPECT_FALSE(DecodeEngineBlock(b.data(), 11, 1.8, false, false, v));
    EXPECT_FALSE(DecodeEngineBlock(nullptr, 20, 1.8, false, false, v));
    EXPECT_EQ(v.giri, 777);
}

TEST(LiveStatusBlock, TemperatureLevelAndFlags)
{
    const uint8_t block[3] = {128, 42, kUnitOnGas | kUnitProbe1Enabled};
    StatusValues s;
    ASSERT_TRUE(DecodeStatusBlock(block, 3, s));
    EXPECT_TRUE(s.temperaturaValid);
    EXPECT_NEAR(s.temperatura, 24.84, 0.005);
    EXPECT_EQ(static_cast<int>(s.temperatura), 24);
    EXPECT_EQ(s.livello, 42);
    EXPECT_EQ(s.flags & kUnitOnGas, kUnitOnGas);

    const uint8_t cold[3] = {0, 1, 0};
    ASSERT_TRUE(DecodeStatusBlock(cold, 3, s));
    EXPECT_FALSE(s.temperaturaValid);
    EXPECT_FALSE(DecodeStatusBlock(cold, 2, s));
}
