#pragma once
// The unit's parameter map: what each parameter number holds and how its
// identifiers are encoded.

#include <cstdint>
#include <optional>
#include <vector>

namespace sernox {

// Identifier bits: parameter number in the low byte, then the form flags.
constexpr int32_t kIdBlock = 0x100;
constexpr int32_t kIdWord = 0x200;
constexpr int32_t kIdSigned = 0x400;

// Element count of a block identifier (bits 12-19).
constexpr int32_t IdCount(int32_t id) { return (id >> 12) & 0xFF; }

struct ParamDef {
    int number = 0;
    int rows = 1;
    int columns = 1;
    bool word = false;      // 16-bit elements, else bytes
    bool isSigned = false;
    bool readOnly = false;
    int32_t min = 0;        // the parameter's raw range, as the program's record keeps it
    int32_t max = 0;

    int count() const { return rows * columns; }
    int32_t minValue() const { return min; }
    int32_t maxValue() const { return max; }
    bool InRange(int32_t value) const { return value >= min && value <= max; }
};

// Every parameter the unit knows, in number order: the program's own parameter
// table, so that the unit and the record can never disagree on a size or a range.
const std::vector<ParamDef>& ParamTable();
const ParamDef* FindParam(int number);

// An identifier taken apart. The editor's bit-field codes over parameter 26
// come out as the plain single form of 26: they carry the whole word.
struct IdForm {
    int number = 0;
    bool block = false;
    bool word = false;
    bool isSigned = false;
    int count = 0;
};

std::optional<IdForm> DecodeId(int32_t id);

} // namespace sernox
