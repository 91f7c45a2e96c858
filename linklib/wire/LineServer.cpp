#include "LineServer.h"

#include "Protocol.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace sernox::wire {

LineServer::LineServer(UnitServer& server, int fd, const LineOptions& options)
    : server_(server)
    , fd_(fd)
    , options_(options)
    , random_(options.faults.seed)
{
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

bool LineServer::Chance(double p)
{
    return p > 0 && std::uniform_real_distribution<double>(0, 1)(random_) < p;
}

LineServer::Clock::duration LineServer::LineTime(size_t bytes) const
{
    if (options_.baud <= 0)
        return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(ByteSeconds(options_.baud) * static_cast<double>(bytes)));
}

bool LineServer::Silent() const
{
    const LineFaults& f = options_.faults;
    if (f.silentAfterRequests >= 0 && requests_ >= static_cast<uint64_t>(f.silentAfterRequests))
        return true;
    return f.silentAfterMs >= 0 && sawRequest_
        && Clock::now() - firstRequest_ >= std::chrono::milliseconds(f.silentAfterMs);
}

void LineServer::Run(const std::atomic<bool>& stop)
{
    uint8_t buffer[512];
    while (!stop.load()) {
        int waitMs = 20;
        const bool noisy = decoder_.Pending() || decoder_.Rejected() != seenRejected_;
        if (noisy) {
            const auto quiet = Clock::now() - lastByte_;
            const auto gap = std::chrono::milliseconds(options_.gapMs) + LineTime(3);
            if (quiet >= gap) {
                ReportNoise();
                continue;
            }
            waitMs = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(gap - quiet).count());
        }
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, waitMs);
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            Receive(buffer, static_cast<size_t>(n));
            AnswerFrames();
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // Nobody on the other end (a closed pseudo-terminal): wait for the next one.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

void LineServer::Receive(const uint8_t* data, size_t size)
{
    const auto now = Clock::now();
    rxFree_ = std::max(rxFree_, now) + LineTime(size);
    lastByte_ = now;
    for (size_t i = 0; i < size; ++i) {
        if (Chance(options_.faults.drop))
            continue;
        uint8_t b = data[i];
        if (Chance(options_.faults.corrupt))
            b ^= static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(random_));
        decoder_.Feed(&b, 1);
    }
}

void LineServer::AnswerFrames()
{
    while (auto frame = decoder_.Next()) {
        // The request is whole only once its last byte has crossed the emulated line.
        std::this_thread::sleep_until(rxFree_);
        if (!sawRequest_) {
            sawRequest_ = true;
            firstRequest_ = Clock::now();
        }
        if (Silent())
            continue;
        if (options_.faults.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(options_.faults.delayMs));
        const auto answer = server_.Handle(*frame);
        ++requests_;
        if (answer)
            Send(*answer);
        // Noise before a request that got through needs no report.
        seenRejected_ = decoder_.Rejected();
    }
}

// Bytes that made no frame: tell the other side at once rather than let it
// wait for a whole timeout.
void LineServer::ReportNoise()
{
    decoder_.Reset();
    seenRejected_ = decoder_.Rejected();
    if (Silent())
        return;
    ++notices_;
    Send(UnitServer::LineErrorNotice());
}

void LineServer::Send(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(frame.size());
    for (uint8_t b : frame) {
        if (Chance(options_.faults.drop))
            continue;
        if (Chance(options_.faults.corrupt))
            b ^= static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(random_));
        bytes.push_back(b);
    }
    if (options_.baud <= 0) {
        WriteAll(bytes.data(), bytes.size());
        return;
    }
    // Each byte leaves when its last bit would have: the reader sees the
    // answer grow at the emulated rate.
    const auto start = std::max(Clock::now(), txFree_);
    size_t sent = 0;
    while (sent < bytes.size()) {
        const auto now = Clock::now();
        size_t due = sent;
        while (due < bytes.size() && start + LineTime(due + 1) <= now)
            ++due;
        if (due > sent) {
            if (!WriteAll(bytes.data() + sent, due - sent))
                return;
            sent = due;
        } else {
            std::this_thread::sleep_until(start + LineTime(sent + 1));
        }
    }
    txFree_ = start + LineTime(bytes.size());
}

// Bytes nobody reads are given up after a while instead of blocking the unit.
bool LineServer::WriteAll(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, 200) <= 0)
            return false;
    }
    return true;
}

} // namespace sernox::wire
