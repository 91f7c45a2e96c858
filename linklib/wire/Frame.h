#pragma once
// Frames on the line:
//
//   0xA5 | length | sequence | command | payload (length bytes) | CRC-16 (high, low)
//
// The CRC covers length, sequence, command and payload. The decoder takes
// bytes as they come, skips anything that is not a good frame and finds its
// way back to the next start byte, whatever the line did to the bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace sernox::wire {

constexpr uint8_t kStartByte = 0xA5;
constexpr size_t kMaxPayload = 250;
constexpr size_t kFrameOverhead = 6;
constexpr size_t kMaxFrame = kMaxPayload + kFrameOverhead;

struct Frame {
    uint8_t seq = 0;
    uint8_t cmd = 0;
    std::vector<uint8_t> payload;
};

// Empty when the payload is too long for one frame.
std::vector<uint8_t> EncodeFrame(uint8_t seq, uint8_t cmd, const std::vector<uint8_t>& payload);

class FrameDecoder {
public:
    void Feed(const uint8_t* data, size_t size);
    // The next good frame among the bytes fed so far.
    std::optional<Frame> Next();
    // Bytes held that are not (yet) a frame.
    bool Pending() const { return !buffer_.empty(); }
    void Reset();
    // Frames with a bad CRC or length, and stray bytes, since construction.
    uint64_t Rejected() const { return rejected_; }

private:
    void Drop(size_t count);
    std::optional<size_t> CompleteFrameAfterHead();
    bool GoodAt(size_t pos) const;

    std::vector<uint8_t> buffer_;
    size_t checkedEnd_ = 0; // lookahead candidates ending before this were already tried
    uint64_t rejected_ = 0;
};

} // namespace sernox::wire
