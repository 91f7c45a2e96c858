// The frame decoder fed the bytes of a line in pieces of any size: every frame
// it gives was on the line, whole and with a good check, after the frame
// before it; and a good frame sent after the damage still arrives.

#include "fuzz/FuzzSupport.h"
#include "wire/Frame.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace sernox::wire;

namespace {

// Where `frame` lies in `line` at or after `from`, or line.size() when nowhere.
size_t Find(const std::vector<uint8_t>& line, size_t from, const std::vector<uint8_t>& frame)
{
    const auto it = std::search(line.begin() + static_cast<std::ptrdiff_t>(from), line.end(), frame.begin(), frame.end());
    return static_cast<size_t>(it - line.begin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool sendMarker = in.ConsumeBool();
    FrameDecoder decoder;
    std::vector<uint8_t> line;
    size_t consumed = 0; // the line up to the end of the last frame given
    size_t markerAt = SIZE_MAX;
    bool markerSwallowed = false; // by a frame begun before it that happens to check good
    auto drain = [&] {
        std::vector<Frame> frames;
        while (auto frame = decoder.Next()) {
            FUZZ_CHECK(frame->payload.size() <= kMaxPayload);
            const std::vector<uint8_t> bytes = EncodeFrame(frame->seq, frame->cmd, frame->payload);
            FUZZ_CHECK(!bytes.empty());
            const size_t at = Find(line, consumed, bytes);
            FUZZ_CHECK(at < line.size());
            markerSwallowed = markerSwallowed || (at < markerAt && markerAt < at + bytes.size());
            consumed = at + bytes.size();
            frames.push_back(*frame);
        }
        return frames;
    };
    while (in.remaining_bytes() > 0) {
        const size_t piece = in.ConsumeIntegralInRange<size_t>(1, 300);
        const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(piece);
        line.insert(line.end(), bytes.begin(), bytes.end());
        decoder.Feed(bytes.data(), bytes.size());
        drain();
    }
    if (!sendMarker)
        return 0;
    // Whatever the line did, a good frame followed by enough good frames to
    // fill any frame the damage may have begun is received.
    const std::vector<uint8_t> marker = EncodeFrame(0x5A, 0x7E, {1, 2, 3, 4});
    const std::vector<uint8_t> filler = EncodeFrame(0, 0, {});
    bool seen = false;
    for (size_t i = 0; i < kMaxFrame && !seen && !markerSwallowed; ++i) {
        const std::vector<uint8_t>& next = i == 0 ? marker : filler;
        if (i == 0)
            markerAt = line.size();
        line.insert(line.end(), next.begin(), next.end());
        decoder.Feed(next.data(), next.size());
        for (const Frame& f : drain())
            seen = seen || (f.seq == 0x5A && f.cmd == 0x7E && f.payload == std::vector<uint8_t>{1, 2, 3, 4});
    }
    FUZZ_CHECK(seen || markerSwallowed);
    return 0;
}
