#pragma once
// The far end of the link: one control unit, whatever carries the bytes to it
// (the in-process simulation now, a serial line later). One operation for each
// kind of request the link object makes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sernox {

class Unit {
public:
    virtual ~Unit() = default;

    // True when the unit answers on its interface.
    virtual bool Open() = 0;
    virtual void Close() = 0;

    virtual bool Identify(uint8_t idBytes[4]) = 0;
    virtual bool StatusFlags(uint8_t& flags) = 0;

    // Single value or single element form of an identifier (no block bit).
    virtual bool ReadValue(int32_t id, int32_t& value) = 0;
    // Whole block (block bit set): out receives every element of the parameter.
    virtual bool ReadBlock(int32_t id, std::vector<int32_t>& out) = 0;
    // One row of a two-dimensional parameter (block bit set, N = row length).
    virtual bool ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out) = 0;

    virtual bool WriteValue(int32_t id, int32_t value) = 0;
    virtual bool WriteElement(int32_t id, int32_t index, int32_t value) = 0;
    virtual bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value) = 0;
    virtual bool WriteBlock(int32_t id, const std::vector<int32_t>& values) = 0;
    virtual bool WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values) = 0;

    // block 0 engine, 1 status; out receives the bytes the unit sends.
    virtual bool ReadLive(int32_t block, std::vector<uint8_t>& out) = 0;

    // Firmware image given as the S-record file's text. Returns 0 accepted,
    // 1 battery too low, 2 bad file or failed transfer. progress(percent).
    virtual int32_t Program(const std::string& srecordText,
                            const std::function<void(int32_t)>& progress) = 0;

    // False once the unit has stopped answering (link lost).
    virtual bool Alive() = 0;
};

} // namespace sernox
