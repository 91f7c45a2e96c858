// The unit's side of the protocol, frame in, frame out, without a line.

#include "linklib/SRecordFixture.h"
#include "sim/SimUnit.h"
#include "wire/Crc.h"
#include "wire/Protocol.h"
#include "wire/UnitServer.h"

#include <gtest/gtest.h>

#include <random>

namespace sernox::wire {
namespace {

struct Served : ::testing::Test {
    SimUnit unit;
    UnitServer server{unit};
    uint8_t seq = 0;

    // The decoded answer to one request.
    Frame Ask(uint8_t command, std::vector<uint8_t> payload, uint8_t useSeq = 0)
    {
        Frame request{useSeq ? useSeq : ++seq, command, std::move(payload)};
        const auto answer = server.Handle(request);
        if (!answer)
            return {0, 0, {}};
        FrameDecoder d;
        d.Feed(answer->data(), answer->size());
        return *d.Next();
    }
};

TEST_F(Served, ARepeatedWriteIsAnsweredAgainButAppliedOnce)
{
    const auto write = Writer().U32(526).U8(2).U8(3).U32(123).Take();
    const Frame first = Ask(cmd::WriteCell, write, 50);
    const Frame again = Ask(cmd::WriteCell, write, 50);
    EXPECT_EQ(first.cmd, cmd::WriteCell | cmd::AnswerBit);
    EXPECT_EQ(again.cmd, first.cmd);
    EXPECT_EQ(unit.WriteCount(), 1);
    EXPECT_EQ(server.Duplicates(), 1u);
    EXPECT_EQ(unit.StoredElement(14, 2 * 20 + 3), 123);

    // Same number, other content: a new request.
    Ask(cmd::WriteCell, Writer().U32(526).U8(2).U8(3).U32(124).Take(), 50);
    EXPECT_EQ(unit.WriteCount(), 2);
}

TEST_F(Served, RefusalsAndMalformedRequestsGetNegativeAnswersWithAReason)
{
    unit.RefuseAllWrites(true);
    Frame refused = Ask(cmd::WriteValue, Writer().U32(3).U32(1).Take());
    EXPECT_EQ(refused.cmd, cmd::Negative);
    EXPECT_EQ(refused.payload, (std::vector<uint8_t>{cmd::WriteValue, static_cast<uint8_t>(Reason::Refused)}));
    Frame shortRequest = Ask(cmd::ReadValue, {1, 2});
    EXPECT_EQ(shortRequest.payload[1], static_cast<uint8_t>(Reason::BadRequest));
    Frame unknown = Ask(0x6A, {});
    EXPECT_EQ(unknown.payload[1], static_cast<uint8_t>(Reason::UnknownCommand));

    // A unit that dropped the link says nothing at all.
    unit.DropLink();
    EXPECT_FALSE(server.Handle({++seq, cmd::ReadValue, Writer().U32(3).Take()}));
}

TEST_F(Served, FirmwareIsProgrammedOnlyWhenTheWholeFileArrivedUnchanged)
{
    const std::string text = test::GoodFirmware(6);
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    const auto size = static_cast<uint32_t>(text.size());
    auto send = [&](bool spoil) {
        Ask(cmd::FirmwareBegin, Writer().U32(size).Take());
        for (uint32_t off = 0; off < size; off += 100) {
            std::vector<uint8_t> chunk(data + off, data + std::min(size, off + 100));
            if (spoil && off == 100)
                chunk[5] ^= 1; // the frame was fine, the content was not
            Ask(cmd::FirmwareChunk, Writer().U32(off).Bytes(chunk.data(), chunk.size()).Take());
        }
        return Ask(cmd::FirmwareEnd, Writer().U32(size).U32(Crc32(data, size)).Take());
    };
    const Frame spoiled = send(true);
    EXPECT_EQ(spoiled.cmd, cmd::Negative);
    EXPECT_EQ(spoiled.payload[1], static_cast<uint8_t>(Reason::VerifyFailed));
    EXPECT_EQ(unit.Firmware(), nullptr);

    const Frame good = send(false);
    EXPECT_EQ(good.payload, std::vector<uint8_t>{0});
    ASSERT_NE(unit.Firmware(), nullptr);

    // A chunk that would leave a hole, and an end without a begin.
    Ask(cmd::FirmwareBegin, Writer().U32(size).Take());
    EXPECT_EQ(Ask(cmd::FirmwareChunk, Writer().U32(50).U8('S').Take()).cmd, cmd::Negative);
    EXPECT_EQ(Ask(cmd::FirmwareEnd, Writer().U32(size).U32(0).Take()).cmd, cmd::Negative);
    EXPECT_EQ(Ask(cmd::FirmwareEnd, Writer().U32(size).U32(0).Take()).payload[1],
              static_cast<uint8_t>(Reason::NotReady));

    unit.SetBatteryLow(true);
    EXPECT_EQ(Ask(cmd::FirmwareBegin, Writer().U32(size).Take()).payload[1], static_cast<uint8_t>(Reason::BatteryLow));
}

// Random well-framed requests with random payloads: every one gets an
// answer, and nothing lands outside the unit's value ranges.
TEST_F(Served, RandomRequestsNeverBreakTheUnit)
{
    std::mt19937 random(99);
    const uint8_t commands[] = {cmd::Hello, cmd::Identify, cmd::StatusFlags, cmd::ReadValue, cmd::ReadBlock,
                                cmd::ReadRow, cmd::WriteValue, cmd::WriteElement, cmd::WriteCell, cmd::WriteBlock,
                                cmd::WriteRow, cmd::ReadLive, cmd::FirmwareBegin, cmd::FirmwareChunk,
                                cmd::FirmwareEnd, 0x00, 0x99};
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> payload(random() % 48);
        for (auto& b : payload)
            b = static_cast<uint8_t>(random());
        if (payload.size() >= 4 && random() % 2) {
            payload[0] = static_cast<uint8_t>(random() % 90); // a real parameter now and then
            payload[1] = static_cast<uint8_t>(random() % 8);
            payload[2] = static_cast<uint8_t>(random() % 0x15 << 4);
            payload[3] = 0;
        }
        if (i % 4 == 0 && payload.size() >= 4)
            payload[0] = payload[1] = payload[2] = 0, payload[3] = 0; // small firmware sizes
        Frame request{static_cast<uint8_t>(i), commands[random() % std::size(commands)], payload};
        ASSERT_TRUE(server.Handle(request)) << i;
    }
    for (const ParamDef& def : ParamTable())
        for (int e = 0; e < def.count(); ++e)
            ASSERT_TRUE(def.InRange(unit.StoredElement(def.number, e))) << def.number;
}

} // namespace
} // namespace sernox::wire
