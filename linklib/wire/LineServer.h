#pragma once
// Serves a unit over a byte stream (a file descriptor: pseudo-terminal master,
// serial port, socket). It can pace its bytes to an emulated baud rate and
// spoil the line on purpose: corrupted and dropped bytes both ways, an added
// delay before each answer, and silence after a while.

#include "Frame.h"
#include "UnitServer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>

namespace sernox::wire {

struct LineFaults {
    double corrupt = 0;          // chance per byte, each direction
    double drop = 0;             // chance per byte, each direction
    int delayMs = 0;             // before every answer
    int silentAfterMs = -1;      // from the first request; -1 never
    int silentAfterRequests = -1; // requests answered before going silent; -1 never
    uint32_t seed = 1;
};

struct LineOptions {
    int baud = 0; // 0: bytes go as fast as the stream takes them
    LineFaults faults;
    // Quiet time after stray bytes before the unit reports a line error.
    int gapMs = 5;
};

class LineServer {
public:
    using Clock = std::chrono::steady_clock;

    LineServer(UnitServer& server, int fd, const LineOptions& options);

    // Serves until stop is set (checked at least every 20 ms).
    void Run(const std::atomic<bool>& stop);

    uint64_t RequestsHandled() const { return requests_; }
    uint64_t LineErrorsReported() const { return notices_; }

private:
    void Receive(const uint8_t* data, size_t size);
    void AnswerFrames();
    void ReportNoise();
    void Send(const std::vector<uint8_t>& frame);
    bool WriteAll(const uint8_t* data, size_t size);
    bool Silent() const;
    bool Chance(double p);
    Clock::duration LineTime(size_t bytes) const;

    UnitServer& server_;
    int fd_;
    LineOptions options_;
    std::mt19937 random_;
    FrameDecoder decoder_;

    Clock::time_point rxFree_{};
    Clock::time_point txFree_{};
    Clock::time_point lastByte_{};
    Clock::time_point firstRequest_{};
    bool sawRequest_ = false;
    uint64_t seenRejected_ = 0;
    uint64_t requests_ = 0;
    uint64_t notices_ = 0;
};

} // namespace sernox::wire
