#pragma once
// One request, one answer, over a channel that may spoil bytes. A request is
// sent again when its answer is garbled, incomplete or late; a unit that
// stays silent for a few attempts in a row is taken as gone. Every request
// ends within a bounded time.

#include "Channel.h"
#include "Frame.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace sernox::wire {

struct WireTiming {
    int baud = 57600;
    // Waiting for an answer: this much plus the line time of the request and
    // of the longest answer.
    int answerMs = 100;
    // Quiet time that ends a half-received answer.
    int gapMs = 15;
    int maxAttempts = 24;
    // Attempts in a row without a single byte back before giving up.
    int maxSilentAttempts = 3;
};

class WireClient {
public:
    // Spoiled: the unit kept answering but no attempt came through intact.
    enum class Outcome { Answer, Negative, NoAnswer, Spoiled };

    WireClient(Channel& channel, const WireTiming& timing);

    // answer holds the answer's payload, or the reason of a negative answer.
    // attempts > 0 lowers the number of sends below the timing's maximum.
    Outcome Transact(uint8_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer,
                     int attempts = 0);

    // Forget bytes of an earlier session and start new sequence numbers.
    void Restart(uint32_t seed);

    const WireTiming& timing() const { return timing_; }
    uint64_t BytesSent() const { return bytesSent_; }
    uint64_t BytesReceived() const { return bytesReceived_; }
    uint64_t Retries() const { return retries_; }

private:
    enum class Attempt { Answered, Refused, Garbled, Silent, Broken };
    using Clock = std::chrono::steady_clock;

    Attempt Await(uint8_t seq, uint8_t command, size_t requestSize, std::vector<uint8_t>& answer);
    Clock::duration LineTime(size_t bytes) const;

    Channel& channel_;
    WireTiming timing_;
    FrameDecoder decoder_;
    uint8_t seq_ = 0;
    uint64_t bytesSent_ = 0;
    uint64_t bytesReceived_ = 0;
    uint64_t retries_ = 0;
};

} // namespace sernox::wire
