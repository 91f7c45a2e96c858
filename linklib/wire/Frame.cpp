#include "Frame.h"

#include "Crc.h"

#include <algorithm>

namespace sernox::wire {

std::vector<uint8_t> EncodeFrame(uint8_t seq, uint8_t cmd, const std::vector<uint8_t>& payload)
{
    if (payload.size() > kMaxPayload)
        return {};
    std::vector<uint8_t> out;
    out.reserve(payload.size() + kFrameOverhead);
    out.push_back(kStartByte);
    out.push_back(static_cast<uint8_t>(payload.size()));
    out.push_back(seq);
    out.push_back(cmd);
    out.insert(out.end(), payload.begin(), payload.end());
    const uint16_t crc = Crc16(out.data() + 1, out.size() - 1);
    out.push_back(static_cast<uint8_t>(crc >> 8));
    out.push_back(static_cast<uint8_t>(crc));
    return out;
}

void FrameDecoder::Feed(const uint8_t* data, size_t size)
{
    buffer_.insert(buffer_.end(), data, data + size);
}

void FrameDecoder::Reset()
{
    if (!buffer_.empty())
        ++rejected_;
    buffer_.clear();
    checkedEnd_ = 0;
}

void FrameDecoder::Drop(size_t count)
{
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
    checkedEnd_ = checkedEnd_ > count ? checkedEnd_ - count : 0;
}

// A complete frame with a good CRC starts at pos.
bool FrameDecoder::GoodAt(size_t pos) const
{
    if (buffer_.size() - pos < 2 || buffer_[pos] != kStartByte || buffer_[pos + 1] > kMaxPayload)
        return false;
    const size_t total = buffer_[pos + 1] + kFrameOverhead;
    if (buffer_.size() - pos < total)
        return false;
    const uint16_t crc = Crc16(buffer_.data() + pos + 1, total - 3);
    return buffer_[pos + total - 2] == (crc >> 8) && buffer_[pos + total - 1] == (crc & 0xFF);
}

// The head frame is incomplete. If bytes of it were lost, a whole frame may
// already sit behind it and waiting for the head's length would only delay it.
// Each candidate is checked once: its bytes never change after it is complete.
std::optional<size_t> FrameDecoder::CompleteFrameAfterHead()
{
    const size_t end = buffer_.size();
    for (size_t pos = 1; pos + kFrameOverhead <= end; ++pos) {
        if (buffer_[pos] != kStartByte || buffer_[pos + 1] > kMaxPayload)
            continue;
        const size_t frameEnd = pos + buffer_[pos + 1] + kFrameOverhead;
        if (frameEnd > end || frameEnd <= checkedEnd_)
            continue;
        if (GoodAt(pos))
            return pos;
    }
    checkedEnd_ = end;
    return std::nullopt;
}

std::optional<Frame> FrameDecoder::Next()
{
    for (;;) {
        const auto start = std::find(buffer_.begin(), buffer_.end(), kStartByte);
        if (start != buffer_.begin()) {
            ++rejected_;
            Drop(static_cast<size_t>(start - buffer_.begin()));
        }
        if (buffer_.size() < 2)
            return std::nullopt;
        if (buffer_[1] > kMaxPayload) {
            ++rejected_;
            Drop(1);
            continue;
        }
        const size_t total = buffer_[1] + kFrameOverhead;
        if (buffer_.size() < total) {
            const auto later = CompleteFrameAfterHead();
            if (!later)
                return std::nullopt;
            ++rejected_;
            Drop(*later);
            continue;
        }
        if (!GoodAt(0)) {
            ++rejected_;
            Drop(1);
            continue;
        }
        Frame frame;
        frame.seq = buffer_[2];
        frame.cmd = buffer_[3];
        frame.payload.assign(buffer_.begin() + 4, buffer_.begin() + static_cast<std::ptrdiff_t>(total - 2));
        Drop(total);
        return frame;
    }
}

} // namespace sernox::wire
