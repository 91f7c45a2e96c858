// The frame codec: clean streams, damaged streams, and random input.

#include "wire/Crc.h"
#include "wire/Frame.h"
#include "wire/Protocol.h"

#include <gtest/gtest.h>

#include <random>

namespace sernox::wire {
namespace {

std::vector<Frame> DecodeAll(FrameDecoder& decoder, const std::vector<uint8_t>& bytes, size_t piece)
{
    std::vector<Frame> out;
    for (size_t i = 0; i < bytes.size(); i += piece) {
        decoder.Feed(bytes.data() + i, std::min(piece, bytes.size() - i));
        while (auto f = decoder.Next())
            out.push_back(std::move(*f));
    }
    return out;
}

std::vector<uint8_t> Stream(const std::vector<std::vector<uint8_t>>& frames)
{
    std::vector<uint8_t> out;
    for (const auto& f : frames)
        out.insert(out.end(), f.begin(), f.end());
    return out;
}

TEST(Crc, MatchesTheStandardCheckValues)
{
    const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc16(text, sizeof text), 0x29B1);
    EXPECT_EQ(Crc32(text, sizeof text), 0xCBF43926u);
}

TEST(FrameCodec, FramesSurviveAnySplitOfTheStream)
{
    // Payloads full of start bytes: the length, not the content, ends a frame.
    const auto a = EncodeFrame(1, cmd::ReadRow, std::vector<uint8_t>(40, kStartByte));
    const auto b = EncodeFrame(2, cmd::Identify, {});
    const auto c = EncodeFrame(3, cmd::WriteBlock, std::vector<uint8_t>(kMaxPayload, 0x5A));
    EXPECT_TRUE(EncodeFrame(4, 1, std::vector<uint8_t>(kMaxPayload + 1)).empty());
    for (size_t piece : {1u, 3u, 7u, 1000u}) {
        FrameDecoder decoder;
        const auto frames = DecodeAll(decoder, Stream({a, b, c}), piece);
        ASSERT_EQ(frames.size(), 3u) << "piece " << piece;
        EXPECT_EQ(frames[0].payload, std::vector<uint8_t>(40, kStartByte));
        EXPECT_EQ(frames[1].seq, 2);
        EXPECT_EQ(frames[1].cmd, cmd::Identify);
        EXPECT_EQ(frames[2].payload.size(), kMaxPayload);
        EXPECT_FALSE(decoder.Pending());
    }
}

TEST(FrameCodec, ADamagedFrameIsDroppedAndTheNextOneFound)
{
    const auto good = EncodeFrame(9, cmd::ReadValue, {1, 2, 3, 4});
    for (size_t at = 0; at < good.size(); ++at) {
        auto bad = good;
        bad[at] ^= 0x10;
        FrameDecoder decoder;
        const auto frames = DecodeAll(decoder, Stream({bad, good}), 1);
        ASSERT_EQ(frames.size(), 1u) << "byte " << at;
        EXPECT_EQ(frames[0].seq, 9);
        EXPECT_GT(decoder.Rejected(), 0u);
    }
}

// A lost byte makes the head frame wait for bytes that never come; the
// whole frame behind it must not wait with it.
TEST(FrameCodec, AFrameBehindAShortenedOneIsNotHeldBack)
{
    auto shortened = EncodeFrame(1, cmd::ReadRow, std::vector<uint8_t>(40, 7));
    shortened.erase(shortened.begin() + 10);
    const auto next = EncodeFrame(2, cmd::Identify, {8, 1, 1, 15});
    FrameDecoder decoder;
    const auto frames = DecodeAll(decoder, Stream({shortened, next}), 1000);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].seq, 2);
}

TEST(ElementPacking, TravelsInTheIdentifiersWidthAndNeverWraps)
{
    const int32_t signedBytes = 0x14537, words = 0x1430E;
    Writer w;
    ASSERT_TRUE(PackElements(signedBytes, {-128, -1, 0, 127}, w));
    const auto packed = w.Take();
    ASSERT_EQ(packed.size(), 4u);
    EXPECT_EQ(UnpackElements(signedBytes, packed.data(), packed.size()), (std::vector<int32_t>{-128, -1, 0, 127}));

    Writer w2;
    ASSERT_TRUE(PackElements(words, {0, 65535, 300}, w2));
    const auto wordBytes = w2.Take();
    EXPECT_EQ(UnpackElements(words, wordBytes.data(), wordBytes.size()), (std::vector<int32_t>{0, 65535, 300}));
    EXPECT_FALSE(UnpackElements(words, wordBytes.data(), 5)) << "half a word";

    Writer refused;
    EXPECT_FALSE(PackElements(signedBytes, {128}, refused));
    EXPECT_FALSE(PackElements(words, {65536}, refused));
    EXPECT_FALSE(PackElements(words, {-1}, refused));
}

// Random bytes, and clean streams with random damage, fed in random pieces:
// no crash, no hang, every frame handed out is a well-formed one, and a clean
// frame after the damage always comes through.
TEST(FrameFuzz, RandomAndDamagedStreams)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes;
        std::vector<std::vector<uint8_t>> frames;
        const int kind = round % 3;
        if (kind == 0) {
            bytes.resize(random() % 600);
            for (auto& b : bytes)
                b = static_cast<uint8_t>(random() % 4 == 0 ? kStartByte : random());
        } else {
            for (int f = 0; f < 6; ++f) {
                std::vector<uint8_t> payload(random() % (kind == 1 ? 20 : kMaxPayload + 1));
                for (auto& b : payload)
                    b = static_cast<uint8_t>(random());
                frames.push_back(EncodeFrame(static_cast<uint8_t>(f), static_cast<uint8_t>(random()), payload));
            }
            bytes = Stream(frames);
            for (size_t i = 0; i < bytes.size();) {
                const unsigned r = random() % 100;
                if (r < 2)
                    bytes[i++] ^= static_cast<uint8_t>(1 + random() % 255);
                else if (r < 3)
                    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(i));
                else if (r < 4)
                    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(i++), static_cast<uint8_t>(random()));
                else
                    ++i;
            }
        }
        const auto sentinel = EncodeFrame(0xEE, 0x77, {1, 2, 3});
        FrameDecoder decoder;
        std::vector<Frame> out;
        for (size_t i = 0; i < bytes.size();) {
            const size_t piece = 1 + random() % 64;
            decoder.Feed(bytes.data() + i, std::min(piece, bytes.size() - i));
            i += piece;
            while (auto f = decoder.Next())
                out.push_back(std::move(*f));
        }
        for (const Frame& f : out)
            ASSERT_LE(f.payload.size(), kMaxPayload);
        // Enough filler to complete any frame the damage started, then a clean one.
        const std::vector<uint8_t> filler(kMaxFrame, 0);
        decoder.Feed(filler.data(), filler.size());
        while (decoder.Next()) {
        }
        decoder.Feed(sentinel.data(), sentinel.size());
        auto last = decoder.Next();
        ASSERT_TRUE(last) << "round " << round;
        EXPECT_EQ(last->seq, 0xEE);
    }
}

} // namespace
} // namespace sernox::wire
