#include "UnitServer.h"

#include "Crc.h"
#include "Protocol.h"

#include <algorithm>

namespace sernox::wire {

namespace {

using Bytes = std::vector<uint8_t>;

} // namespace

std::vector<uint8_t> UnitServer::LineErrorNotice()
{
    return EncodeFrame(0, cmd::LineError, {});
}

std::optional<std::vector<uint8_t>> UnitServer::Handle(const Frame& request)
{
    std::lock_guard lock(mutex_);
    if (haveLast_ && request.seq == lastSeq_ && request.cmd == lastCmd_ && request.payload == lastPayload_) {
        ++duplicates_;
        return lastAnswer_;
    }
    const Answer answer = Dispatch(request);
    if (answer.silent)
        return std::nullopt;
    Bytes frame = answer.negative
        ? EncodeFrame(request.seq, cmd::Negative, {request.cmd, answer.reason})
        : EncodeFrame(request.seq, request.cmd | cmd::AnswerBit, answer.payload);
    haveLast_ = true;
    lastSeq_ = request.seq;
    lastCmd_ = request.cmd;
    lastPayload_ = request.payload;
    lastAnswer_ = frame;
    return frame;
}

// A unit that refuses still answers; one that has dropped the link does not.
UnitServer::Answer UnitServer::Failed()
{
    Answer a;
    if (!unit_.Alive())
        a.silent = true;
    a.negative = true;
    a.reason = static_cast<uint8_t>(Reason::Refused);
    return a;
}

UnitServer::Answer UnitServer::Dispatch(const Frame& request)
{
    auto ok = [](Bytes payload = {}) {
        Answer a;
        a.payload = std::move(payload);
        return a;
    };
    auto negative = [](Reason reason) {
        Answer a;
        a.negative = true;
        a.reason = static_cast<uint8_t>(reason);
        return a;
    };
    const Answer bad = negative(Reason::BadRequest);

    Reader in(request.payload);
    uint32_t u = 0, row = 0, col = 0;
    int32_t id = 0, value = 0;

    switch (request.cmd) {
    case cmd::Hello:
        if (!in.U32(u) || in.Left())
            return bad;
        if (!unit_.Open())
            return Failed();
        return ok(Writer().U8(kProtocolVersion).Take());
    case cmd::Identify: {
        if (in.Left())
            return bad;
        uint8_t bytes[4] = {};
        if (!unit_.Identify(bytes))
            return Failed();
        return ok(Bytes(bytes, bytes + 4));
    }
    case cmd::StatusFlags: {
        uint8_t flags = 0;
        if (in.Left())
            return bad;
        if (!unit_.StatusFlags(flags))
            return Failed();
        return ok({flags});
    }
    case cmd::ReadValue:
        if (!in.I32(id) || in.Left())
            return bad;
        if (!unit_.ReadValue(id, value))
            return Failed();
        return ok(Writer().U32(static_cast<uint32_t>(value)).Take());
    case cmd::ReadBlock:
    case cmd::ReadRow: {
        if (!in.I32(id) || (request.cmd == cmd::ReadRow && !in.U8(row)) || in.Left())
            return bad;
        std::vector<int32_t> values;
        const bool read = request.cmd == cmd::ReadRow ? unit_.ReadRow(id, static_cast<int32_t>(row), values)
                                                      : unit_.ReadBlock(id, values);
        if (!read)
            return Failed();
        Writer out;
        if (!PackElements(id, values, out))
            return negative(Reason::Refused);
        Bytes payload = out.Take();
        if (payload.size() > kMaxPayload)
            return bad;
        return ok(std::move(payload));
    }
    case cmd::WriteValue:
        if (!in.I32(id) || !in.I32(value) || in.Left())
            return bad;
        return unit_.WriteValue(id, value) ? ok() : Failed();
    case cmd::WriteElement:
        if (!in.I32(id) || !in.U8(u) || !in.I32(value) || in.Left())
            return bad;
        return unit_.WriteElement(id, static_cast<int32_t>(u), value) ? ok() : Failed();
    case cmd::WriteCell:
        if (!in.I32(id) || !in.U8(row) || !in.U8(col) || !in.I32(value) || in.Left())
            return bad;
        return unit_.WriteCell(id, static_cast<int32_t>(row), static_cast<int32_t>(col), value) ? ok() : Failed();
    case cmd::WriteBlock:
    case cmd::WriteRow: {
        if (!in.I32(id) || (request.cmd == cmd::WriteRow && !in.U8(row)))
            return bad;
        const auto values = UnpackElements(id, in.Here(), in.Left());
        if (!values)
            return bad;
        const bool written = request.cmd == cmd::WriteRow ? unit_.WriteRow(id, static_cast<int32_t>(row), *values)
                                                          : unit_.WriteBlock(id, *values);
        return written ? ok() : Failed();
    }
    case cmd::ReadLive: {
        if (!in.U8(u) || in.Left())
            return bad;
        std::vector<uint8_t> bytes;
        if (!unit_.ReadLive(static_cast<int32_t>(u), bytes))
            return Failed();
        if (bytes.size() > kMaxPayload)
            return bad;
        return ok(std::move(bytes));
    }
    case cmd::FirmwareBegin:
        return FirmwareBegin(request.payload);
    case cmd::FirmwareChunk:
        return FirmwareChunk(request.payload);
    case cmd::FirmwareEnd:
        return FirmwareEnd(request.payload);
    default:
        return negative(Reason::UnknownCommand);
    }
}

// The battery is checked before the first chunk: an empty file is the unit's
// own way of asking, it answers 1 for a low battery and touches nothing.
UnitServer::Answer UnitServer::FirmwareBegin(const std::vector<uint8_t>& payload)
{
    Answer a;
    Reader in(payload);
    uint32_t size = 0;
    if (!in.U32(size) || in.Left() || size == 0 || size > kFirmwareSizeMax) {
        a.negative = true;
        a.reason = static_cast<uint8_t>(Reason::BadRequest);
        return a;
    }
    if (!unit_.Alive())
        return Failed();
    if (unit_.Program(std::string(), {}) == 1) {
        a.negative = true;
        a.reason = static_cast<uint8_t>(Reason::BatteryLow);
        return a;
    }
    firmwareOpen_ = true;
    firmware_.assign(size, '\0');
    firmwareReceived_ = 0;
    a.payload = Writer().U16(kFirmwareChunkMax).Take();
    return a;
}

// Chunks come in order; one that would leave a hole is refused, so the
// assembled file can have no gap the final check might miss.
UnitServer::Answer UnitServer::FirmwareChunk(const std::vector<uint8_t>& payload)
{
    Answer a;
    a.negative = true;
    Reader in(payload);
    uint32_t offset = 0;
    if (!firmwareOpen_) {
        a.reason = static_cast<uint8_t>(Reason::NotReady);
        return a;
    }
    if (!in.U32(offset) || in.Left() == 0 || offset > firmwareReceived_ || in.Left() > firmware_.size() - offset) {
        a.reason = static_cast<uint8_t>(Reason::BadRequest);
        return a;
    }
    const size_t size = in.Left();
    std::copy_n(in.Here(), size, firmware_.begin() + static_cast<std::ptrdiff_t>(offset));
    firmwareReceived_ = std::max(firmwareReceived_, offset + size);
    a.negative = false;
    a.payload = Writer().U32(offset).U16(static_cast<uint32_t>(size)).U16(Crc16(in.Here(), size)).Take();
    return a;
}

UnitServer::Answer UnitServer::FirmwareEnd(const std::vector<uint8_t>& payload)
{
    Answer a;
    a.negative = true;
    Reader in(payload);
    uint32_t size = 0, crc = 0;
    if (!in.U32(size) || !in.U32(crc) || in.Left()) {
        a.reason = static_cast<uint8_t>(Reason::BadRequest);
        return a;
    }
    if (!firmwareOpen_) {
        a.reason = static_cast<uint8_t>(Reason::NotReady);
        return a;
    }
    firmwareOpen_ = false;
    const auto* data = reinterpret_cast<const uint8_t*>(firmware_.data());
    if (size != firmware_.size() || firmwareReceived_ != size || Crc32(data, size) != crc) {
        a.reason = static_cast<uint8_t>(Reason::VerifyFailed);
        return a;
    }
    const int32_t result = unit_.Program(firmware_, {});
    firmware_.clear();
    a.negative = false;
    a.payload = {static_cast<uint8_t>(result)};
    return a;
}

} // namespace sernox::wire
