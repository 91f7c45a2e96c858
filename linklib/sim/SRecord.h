#pragma once
// Motorola S-record reading and checking, with no knowledge of the unit.
//
// Accepted: S0 header, S1/S2/S3 data (16/24/32-bit addresses), S5/S6 record
// count, S7/S8/S9 termination. Every line must have valid hex, a byte count
// that matches the line, and a checksum that is the ones' complement of the
// low byte of the sum of count, address and data bytes. Data must move
// forward: a record may leave a gap after the previous one but may not start
// before its end (no overlap, no going back). A count record must agree with
// the data records before it. The file must end with exactly one termination
// record; anything after it but blank lines is refused, and a file without
// one is taken as truncated. Blank lines and CR LF line ends are allowed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sernox {

struct FirmwareSegment {
    uint32_t address = 0;
    std::vector<uint8_t> bytes;
};

struct FirmwareImage {
    std::string header;                    // S0 text, if any
    std::vector<FirmwareSegment> segments; // contiguous data merged
    uint32_t entry = 0;                    // address of the termination record
    int dataRecords = 0;
};

struct SRecordResult {
    bool ok = false;
    int line = 0;      // 1-based line of the first fault
    std::string error; // what was wrong with it
    FirmwareImage image;
};

SRecordResult ParseSRecords(std::string_view text);

} // namespace sernox
