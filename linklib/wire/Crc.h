#pragma once
// Checksums of the wire: CRC-16 guards every frame, CRC-32 the whole
// firmware file once it has crossed in chunks.

#include <cstddef>
#include <cstdint>

namespace sernox::wire {

// CRC-16/CCITT-FALSE: polynomial 0x1021, start 0xFFFF, no reflection.
uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc = 0xFFFF);

// CRC-32 as zlib computes it (reflected 0xEDB88320).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

} // namespace sernox::wire
