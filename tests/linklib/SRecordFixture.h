#pragma once
// S-record text built in the test, with correct checksums unless told otherwise.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sernox::test {

inline std::string Hex(unsigned byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
    return text;
}

inline std::string SRec(char type, uint32_t address, int addressLength, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> bytes{static_cast<uint8_t>(addressLength + data.size() + 1)};
    for (int i = addressLength - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(address >> (8 * i)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = std::string("S") + type;
    for (uint8_t b : bytes) {
        sum += b;
        line += Hex(b);
    }
    return line + Hex(~sum);
}

inline std::vector<uint8_t> Bytes(int count, uint8_t first)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<uint8_t>(first + i));
    return out;
}

// Header, `records` contiguous 16-byte S1 records from 0x1000, count, S9.
inline std::string GoodFirmware(int records = 4)
{
    std::string text = SRec('0', 0, 2, {'F', 'W'}) + "\n";
    for (int i = 0; i < records; ++i)
        text += SRec('1', 0x1000 + 16 * i, 2, Bytes(16, static_cast<uint8_t>(i * 16))) + "\n";
    text += SRec('5', records, 2, {}) + "\n";
    return text + SRec('9', 0x1000, 2, {}) + "\n";
}

} // namespace sernox::test
