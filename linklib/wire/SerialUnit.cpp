#include "SerialUnit.h"

#include "Crc.h"
#include "Protocol.h"

#include <algorithm>
#include <chrono>

namespace sernox::wire {

namespace {

constexpr int32_t kIdBlock = 0x100;
constexpr int32_t kProgramFailed = 2;
constexpr size_t kFirstChunk = 128;
constexpr size_t kSmallestChunk = 8;
// Sends of one chunk before it is split; the smallest gets the full count.
constexpr int kSendsBeforeSplit = 3;

constexpr int32_t IdCount(int32_t id) { return (id >> 12) & 0xFF; }

// Rows, columns and indexes cross as one byte; no parameter has more.
bool FitsByte(int32_t v) { return v >= 0 && v <= 255; }

} // namespace

SerialUnit::SerialUnit(std::unique_ptr<Channel> channel, const WireTiming& timing)
    : channel_(std::move(channel))
    , client_(*channel_, timing)
{
}

SerialUnit::~SerialUnit()
{
    channel_->Close();
}

// The session number makes a new session's first request differ from the
// last one the unit remembers, so it is never taken for a repeat.
bool SerialUnit::Open()
{
    if (!channel_->IsOpen() && !channel_->Open())
        return alive_ = false;
    const uint32_t session = static_cast<uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count()) ^ (++sessions_ * 0x9E3779B9u);
    client_.Restart(session);
    alive_ = true;
    std::vector<uint8_t> answer;
    if (!Ask(cmd::Hello, Writer().U32(session).Take(), answer) || answer.empty()) {
        channel_->Close();
        return alive_ = false;
    }
    return true;
}

void SerialUnit::Close()
{
    channel_->Close();
}

bool SerialUnit::Ask(uint8_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer)
{
    if (!alive_ || !channel_->IsOpen())
        return alive_ = false;
    switch (client_.Transact(command, payload, answer)) {
    case WireClient::Outcome::Answer:
        return true;
    case WireClient::Outcome::Negative:
        return false;
    case WireClient::Outcome::NoAnswer:
    case WireClient::Outcome::Spoiled:
        break;
    }
    return alive_ = false;
}

bool SerialUnit::Tell(uint8_t command, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> answer;
    return Ask(command, payload, answer) && answer.empty();
}

bool SerialUnit::Identify(uint8_t idBytes[4])
{
    std::vector<uint8_t> answer;
    if (!Ask(cmd::Identify, {}, answer) || answer.size() != 4)
        return false;
    std::copy(answer.begin(), answer.end(), idBytes);
    return true;
}

bool SerialUnit::StatusFlags(uint8_t& flags)
{
    std::vector<uint8_t> answer;
    if (!Ask(cmd::StatusFlags, {}, answer) || answer.size() != 1)
        return false;
    flags = answer[0];
    return true;
}

bool SerialUnit::ReadValue(int32_t id, int32_t& value)
{
    std::vector<uint8_t> answer;
    if (!Ask(cmd::ReadValue, Writer().U32(static_cast<uint32_t>(id)).Take(), answer))
        return false;
    Reader in(answer);
    int32_t v = 0;
    if (!in.I32(v) || in.Left())
        return false;
    value = v;
    return true;
}

bool SerialUnit::ReadElements(uint8_t command, int32_t id, const std::vector<uint8_t>& payload,
                              std::vector<int32_t>& out)
{
    std::vector<uint8_t> answer;
    if (!Ask(command, payload, answer))
        return false;
    auto values = UnpackElements(id, answer.data(), answer.size());
    if (!values)
        return false;
    out = std::move(*values);
    return true;
}

bool SerialUnit::ReadBlock(int32_t id, std::vector<int32_t>& out)
{
    return ReadElements(cmd::ReadBlock, id, Writer().U32(static_cast<uint32_t>(id)).Take(), out);
}

bool SerialUnit::ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out)
{
    if (!FitsByte(row))
        return false;
    return ReadElements(cmd::ReadRow, id, Writer().U32(static_cast<uint32_t>(id)).U8(row).Take(), out);
}

bool SerialUnit::WriteValue(int32_t id, int32_t value)
{
    return Tell(cmd::WriteValue, Writer().U32(static_cast<uint32_t>(id)).U32(static_cast<uint32_t>(value)).Take());
}

bool SerialUnit::WriteElement(int32_t id, int32_t index, int32_t value)
{
    if (!FitsByte(index))
        return false;
    return Tell(cmd::WriteElement,
                Writer().U32(static_cast<uint32_t>(id)).U8(index).U32(static_cast<uint32_t>(value)).Take());
}

bool SerialUnit::WriteCell(int32_t id, int32_t row, int32_t column, int32_t value)
{
    if (!FitsByte(row) || !FitsByte(column))
        return false;
    return Tell(cmd::WriteCell, Writer()
                                    .U32(static_cast<uint32_t>(id))
                                    .U8(row)
                                    .U8(column)
                                    .U32(static_cast<uint32_t>(value))
                                    .Take());
}

// row < 0: the whole block.
bool SerialUnit::WriteElements(uint8_t command, int32_t id, int32_t row, const std::vector<int32_t>& values)
{
    Writer out;
    out.U32(static_cast<uint32_t>(id));
    if (row >= 0)
        out.U8(row);
    if (!(id & kIdBlock) || static_cast<int32_t>(values.size()) != IdCount(id) || !PackElements(id, values, out))
        return false;
    return Tell(command, out.Take());
}

bool SerialUnit::WriteBlock(int32_t id, const std::vector<int32_t>& values)
{
    return WriteElements(cmd::WriteBlock, id, -1, values);
}

bool SerialUnit::WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values)
{
    if (!FitsByte(row))
        return false;
    return WriteElements(cmd::WriteRow, id, row, values);
}

bool SerialUnit::ReadLive(int32_t block, std::vector<uint8_t>& out)
{
    if (!FitsByte(block))
        return false;
    std::vector<uint8_t> answer;
    if (!Ask(cmd::ReadLive, {static_cast<uint8_t>(block)}, answer))
        return false;
    out = std::move(answer);
    return true;
}

// The file crosses in chunks, each echoed back with its place, length and
// CRC; the unit then checks length and CRC-32 of the whole before it programs
// anything. A long frame on a noisy line rarely arrives whole, so a chunk
// that keeps coming back spoiled is split and its first half sent in its
// place (the unit takes a chunk again at a place it already holds). The size
// that got through, halved after retries, is the next chunk's; it grows back
// while the line is clean.
bool SerialUnit::SendFirmware(const std::string& text, const std::function<void(int32_t)>& progress)
{
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    size_t chunk = kFirstChunk;
    size_t offset = 0;
    int reported = -1;
    while (offset < text.size()) {
        size_t size = std::min(chunk, text.size() - offset);
        const uint64_t retriesBefore = client_.Retries();
        std::vector<uint8_t> answer;
        for (;;) {
            if (!alive_ || !channel_->IsOpen())
                return alive_ = false;
            const bool smallest = size <= kSmallestChunk;
            const auto outcome = client_.Transact(
                cmd::FirmwareChunk, Writer().U32(static_cast<uint32_t>(offset)).Bytes(data + offset, size).Take(),
                answer, smallest ? 0 : kSendsBeforeSplit);
            if (outcome == WireClient::Outcome::Answer)
                break;
            if (outcome == WireClient::Outcome::Negative)
                return false;
            if (outcome == WireClient::Outcome::NoAnswer || smallest)
                return alive_ = false;
            size = std::max(kSmallestChunk, size / 2);
        }
        Reader in(answer);
        uint32_t echoOffset = 0, echoSize = 0, echoCrc = 0;
        if (!in.U32(echoOffset) || !in.U16(echoSize) || !in.U16(echoCrc) || echoOffset != offset
            || echoSize != size || echoCrc != Crc16(data + offset, size))
            return false;
        offset += size;
        chunk = client_.Retries() > retriesBefore ? std::max(kSmallestChunk, size / 2)
                                                  : std::min(kFirmwareChunkMax, size + size / 2);
        const int percent = static_cast<int>(offset * 99 / text.size());
        if (percent != reported && progress)
            progress(percent);
        reported = percent;
    }
    return true;
}

int32_t SerialUnit::Program(const std::string& srecordText, const std::function<void(int32_t)>& progress)
{
    if (srecordText.empty() || srecordText.size() > kFirmwareSizeMax)
        return kProgramFailed;
    std::vector<uint8_t> answer;
    const auto size = static_cast<uint32_t>(srecordText.size());
    if (!Ask(cmd::FirmwareBegin, Writer().U32(size).Take(), answer))
        return answer.size() == 1 && answer[0] == static_cast<uint8_t>(Reason::BatteryLow) ? 1 : kProgramFailed;
    if (progress)
        progress(0);
    if (!SendFirmware(srecordText, progress))
        return kProgramFailed;
    const auto* data = reinterpret_cast<const uint8_t*>(srecordText.data());
    if (!Ask(cmd::FirmwareEnd, Writer().U32(size).U32(Crc32(data, size)).Take(), answer) || answer.size() != 1)
        return kProgramFailed;
    if (answer[0] == 0 && progress)
        progress(100);
    return answer[0];
}

} // namespace sernox::wire
