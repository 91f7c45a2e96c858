// The unit's side of the wire with the simulated unit behind it, on any
// sequence of requests (some of them whole firmware transfers): every request
// gets nothing or one good answer frame of its own sequence number, a repeated
// request gets the same answer, and the unit never holds a value outside its
// parameter's range.

#include "fuzz/FuzzSupport.h"
#include "sim/ParamTable.h"
#include "sim/SimUnit.h"
#include "wire/Crc.h"
#include "wire/Frame.h"
#include "wire/Protocol.h"
#include "wire/UnitServer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace sernox;
using namespace sernox::wire;

namespace {

constexpr uint8_t kCommands[] = {cmd::Hello,      cmd::Identify,     cmd::StatusFlags,  cmd::ReadValue,
                                 cmd::ReadBlock,  cmd::ReadRow,      cmd::WriteValue,   cmd::WriteElement,
                                 cmd::WriteCell,  cmd::WriteBlock,   cmd::WriteRow,     cmd::ReadLive,
                                 cmd::FirmwareBegin, cmd::FirmwareChunk, cmd::FirmwareEnd};

void Exchange(UnitServer& server, const Frame& request)
{
    const std::optional<std::vector<uint8_t>> answer = server.Handle(request);
    if (!answer)
        return;
    FrameDecoder decoder;
    decoder.Feed(answer->data(), answer->size());
    const std::optional<Frame> frame = decoder.Next();
    FUZZ_CHECK(frame.has_value());
    FUZZ_CHECK(!decoder.Pending() && decoder.Rejected() == 0);
    FUZZ_CHECK(frame->seq == request.seq);
    if (frame->cmd == cmd::Negative) {
        FUZZ_CHECK(frame->payload.size() == 2 && frame->payload[0] == request.cmd);
    } else {
        FUZZ_CHECK(frame->cmd == (request.cmd | cmd::AnswerBit));
    }
    // The same request again, as after a lost answer: answered the same, not carried out twice.
    const std::optional<std::vector<uint8_t>> repeated = server.Handle(request);
    FUZZ_CHECK(repeated == answer);
}

// A firmware file sent the way the program sends it: begin, chunks in order, end with the check.
void SendFirmware(UnitServer& server, uint8_t& seq, const std::string& file)
{
    if (file.empty())
        return;
    Exchange(server, {seq++, cmd::FirmwareBegin, Writer().U32(static_cast<uint32_t>(file.size())).Take()});
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    for (size_t at = 0; at < file.size(); at += kFirmwareChunkMax) {
        const size_t n = std::min(kFirmwareChunkMax, file.size() - at);
        Exchange(server, {seq++, cmd::FirmwareChunk, Writer().U32(static_cast<uint32_t>(at)).Bytes(bytes + at, n).Take()});
    }
    Exchange(server, {seq++, cmd::FirmwareEnd,
                      Writer().U32(static_cast<uint32_t>(file.size())).U32(Crc32(bytes, file.size())).Take()});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    SimUnit unit;
    UnitServer server(unit);
    uint8_t seq = 1;
    while (in.remaining_bytes() > 0) {
        const uint8_t action = in.ConsumeIntegral<uint8_t>();
        if (action < 8) {
            SendFirmware(server, seq, in.ConsumeRandomLengthString(4096));
            continue;
        }
        Frame request;
        request.seq = action < 128 ? seq++ : in.ConsumeIntegral<uint8_t>();
        request.cmd = action < 240 ? kCommands[in.ConsumeIntegralInRange<size_t>(0, std::size(kCommands) - 1)]
                                   : in.ConsumeIntegral<uint8_t>();
        request.payload = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, kMaxPayload));
        Exchange(server, request);
    }
    for (const ParamDef& def : ParamTable())
        for (int i = 0; i < def.count(); ++i)
            FUZZ_CHECK(def.InRange(unit.StoredElement(def.number, i)));
    return 0;
}
