#include "LiveBlocks.h"

#include <algorithm>

namespace sernox {

namespace {

constexpr int kUpperThrottle = 153; // 3 V
constexpr uint8_t kFuelLevel = 150;

void PutByte(std::vector<uint8_t>& out, int value)
{
    out.push_back(static_cast<uint8_t>(value));
}

void PutWord(std::vector<uint8_t>& out, int value)
{
    const int v = std::clamp(value, 0, 65535);
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

uint8_t EngineFlags(const EngineState& s)
{
    uint8_t flags = 0;
    if (s.idle) flags |= 1;
    if (s.onGas && s.closedLoop) flags |= 2;
    if (s.cutOff) flags |= 4;
    if (s.throttle >= kUpperThrottle) flags |= 8;
    return flags;
}

} // namespace

LiveTail TailFor(uint8_t modelByte, uint8_t softwareVersion, int32_t flag1)
{
    const int model = modelByte & 0x3F;
    if (model == 1 && (softwareVersion < 12 || (flag1 & 4) == 0))
        return LiveTail::TwoProbes;
    if (model == 3)
        return LiveTail::SecondInput;
    return LiveTail::None;
}

std::vector<uint8_t> EngineBlock(const EngineState& s, LiveTail tail)
{
    std::vector<uint8_t> out;
    PutWord(out, s.rpm);
    PutByte(out, s.lambda);
    PutByte(out, s.throttle);
    PutByte(out, s.map);
    PutByte(out, s.gasPressure);
    PutByte(out, s.correction); // two's complement byte
    PutWord(out, s.opening);
    PutByte(out, s.throttleDelta);
    PutByte(out, s.enrichment);
    PutByte(out, EngineFlags(s));
    if (tail == LiveTail::TwoProbes) {
        // Bank 2 runs the same loop as bank 1 on this engine.
        PutByte(out, s.lambda);
        PutByte(out, s.correction);
        PutWord(out, s.opening);
    } else if (tail == LiveTail::SecondInput) {
        PutByte(out, s.map);
        PutWord(out, s.petrolTime);
    }
    return out;
}

std::vector<uint8_t> StatusBlock(const EngineState& s, LiveTail tail)
{
    uint8_t flags = 16; // probe 1 always read
    if (tail == LiveTail::TwoProbes) flags |= 4;
    if (s.onGas) flags |= 8;
    return {static_cast<uint8_t>(s.reducerTemp), kFuelLevel, flags};
}

} // namespace sernox
