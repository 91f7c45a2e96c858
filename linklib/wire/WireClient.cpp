#include "WireClient.h"

#include "Protocol.h"

#include <algorithm>

namespace sernox::wire {

WireClient::WireClient(Channel& channel, const WireTiming& timing)
    : channel_(channel)
    , timing_(timing)
{
}

void WireClient::Restart(uint32_t seed)
{
    decoder_.Reset();
    seq_ = static_cast<uint8_t>(seed);
}

WireClient::Clock::duration WireClient::LineTime(size_t bytes) const
{
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(ByteSeconds(timing_.baud) * static_cast<double>(bytes)));
}

WireClient::Outcome WireClient::Transact(uint8_t command, const std::vector<uint8_t>& payload,
                                         std::vector<uint8_t>& answer, int attempts)
{
    const int sends = attempts > 0 ? std::min(attempts, timing_.maxAttempts) : timing_.maxAttempts;
    // Sequence 0 is the unit's own for line-error reports.
    if (++seq_ == 0)
        seq_ = 1;
    const std::vector<uint8_t> frame = EncodeFrame(seq_, command, payload);
    if (frame.empty())
        return Outcome::Negative;

    int silentInARow = 0;
    for (int attempt = 0; attempt < sends; ++attempt) {
        if (attempt > 0)
            ++retries_;
        if (!channel_.Write(frame.data(), frame.size()))
            return Outcome::NoAnswer;
        bytesSent_ += frame.size();
        switch (Await(seq_, command, frame.size(), answer)) {
        case Attempt::Answered:
            return Outcome::Answer;
        case Attempt::Refused:
            return Outcome::Negative;
        case Attempt::Broken:
            return Outcome::NoAnswer;
        case Attempt::Silent:
            if (++silentInARow >= timing_.maxSilentAttempts)
                return Outcome::NoAnswer;
            break;
        case Attempt::Garbled:
            silentInARow = 0;
            break;
        }
    }
    return Outcome::Spoiled;
}

// Frames of other sequence numbers are late answers to earlier requests and
// are skipped; a retried request has the same number, so any copy of its
// answer will do.
WireClient::Attempt WireClient::Await(uint8_t seq, uint8_t command, size_t requestSize, std::vector<uint8_t>& answer)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timing_.answerMs)
        + LineTime(requestSize + kMaxFrame);
    const auto gap = std::chrono::milliseconds(timing_.gapMs) + LineTime(4);
    bool heardAnything = false;
    uint8_t buffer[512];

    for (;;) {
        while (auto frame = decoder_.Next()) {
            heardAnything = true;
            if (frame->cmd == cmd::LineError)
                return Attempt::Garbled;
            if (frame->seq != seq)
                continue;
            if (frame->cmd == (command | cmd::AnswerBit)) {
                answer = std::move(frame->payload);
                return Attempt::Answered;
            }
            if (frame->cmd == cmd::Negative && frame->payload.size() == 2 && frame->payload[0] == command) {
                answer = {frame->payload[1]};
                return Attempt::Refused;
            }
        }
        const auto now = Clock::now();
        if (now >= deadline)
            return heardAnything ? Attempt::Garbled : Attempt::Silent;
        auto wait = deadline - now;
        if (decoder_.Pending())
            wait = std::min<Clock::duration>(wait, gap);
        const int waitMs = std::max(1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
        const int n = channel_.Read(buffer, sizeof buffer, waitMs);
        if (n < 0)
            return Attempt::Broken;
        if (n == 0) {
            // A half-received frame that stopped growing will not be finished.
            if (decoder_.Pending()) {
                decoder_.Reset();
                return Attempt::Garbled;
            }
            continue;
        }
        heardAnything = true;
        bytesReceived_ += static_cast<size_t>(n);
        decoder_.Feed(buffer, static_cast<size_t>(n));
    }
}

} // namespace sernox::wire
