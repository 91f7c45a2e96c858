#pragma once
// Commands and payloads of the wire protocol (docs/wire-protocol.md).
// Multi-byte numbers go least significant byte first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace sernox::wire {

namespace cmd {
constexpr uint8_t Hello = 0x01;
constexpr uint8_t Identify = 0x02;
constexpr uint8_t StatusFlags = 0x03;
constexpr uint8_t ReadValue = 0x10;
constexpr uint8_t ReadBlock = 0x11;
constexpr uint8_t ReadRow = 0x12;
constexpr uint8_t WriteValue = 0x20;
constexpr uint8_t WriteElement = 0x21;
constexpr uint8_t WriteCell = 0x22;
constexpr uint8_t WriteBlock = 0x23;
constexpr uint8_t WriteRow = 0x24;
constexpr uint8_t ReadLive = 0x30;
constexpr uint8_t FirmwareBegin = 0x40;
constexpr uint8_t FirmwareChunk = 0x41;
constexpr uint8_t FirmwareEnd = 0x42;

constexpr uint8_t AnswerBit = 0x80;
// Negative answer: payload = request command, reason.
constexpr uint8_t Negative = 0xFF;
// Sent by the unit, sequence 0, when it heard bytes that made no frame.
constexpr uint8_t LineError = 0xFE;
} // namespace cmd

enum class Reason : uint8_t {
    Refused = 1,      // the unit would not read or take the value
    BadRequest = 2,   // payload does not fit the command
    UnknownCommand = 3,
    BatteryLow = 4,
    VerifyFailed = 5, // firmware did not arrive whole
    NotReady = 6,     // firmware chunk or end without a begin
};

constexpr uint8_t kProtocolVersion = 1;
constexpr size_t kFirmwareChunkMax = 192;
constexpr uint32_t kFirmwareSizeMax = 8u * 1024 * 1024;

// Little-endian payload building and reading.
class Writer {
public:
    Writer& U8(uint32_t v);
    Writer& U16(uint32_t v);
    Writer& U32(uint32_t v);
    Writer& Bytes(const uint8_t* data, size_t size);
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool U8(uint32_t& v);
    bool U16(uint32_t& v);
    bool U32(uint32_t& v);
    bool I32(int32_t& v);
    size_t Left() const { return bytes_.size() - pos_; }
    const uint8_t* Here() const { return bytes_.data() + pos_; }
    bool Skip(size_t n);

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
};

// Block and row elements travel in their own width (one byte, or two for
// word identifiers) to keep whole transfers short.
size_t ElementWidth(int32_t id);
// False when a value does not fit the identifier's element form; such a value
// would be refused by the unit anyway and must not be wrapped on the way.
bool PackElements(int32_t id, const std::vector<int32_t>& values, Writer& out);
std::optional<std::vector<int32_t>> UnpackElements(int32_t id, const uint8_t* data, size_t size);

// Seconds of line time per byte (start, 8 data, stop bits).
constexpr double ByteSeconds(int baud) { return baud > 0 ? 10.0 / baud : 0.0; }

} // namespace sernox::wire
