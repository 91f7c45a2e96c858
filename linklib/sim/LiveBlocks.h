#pragma once
// The two live blocks the unit sends, laid out byte for byte from the
// engine model's state. 16-bit fields go least significant byte first.

#include "EngineModel.h"

#include <cstdint>
#include <vector>

namespace sernox {

// What follows the 12 fixed bytes of the engine block.
enum class LiveTail {
    None,        // 12 bytes
    TwoProbes,   // 16: probe 2 voltage, bank 2 correction, bank 2 opening
    SecondInput, // 15: second analog input, petrol injection time
};

// Model code is the low six bits of the identification's model byte; a model 1
// unit has a second probe unless a newer software (12 on) has Flag1 bit 2 set.
LiveTail TailFor(uint8_t modelByte, uint8_t softwareVersion, int32_t flag1);

std::vector<uint8_t> EngineBlock(const EngineState& state, LiveTail tail);
std::vector<uint8_t> StatusBlock(const EngineState& state, LiveTail tail);

} // namespace sernox
