#pragma once
// The unit's parameter memory. Requests come in by identifier and are checked
// the way the unit checks them: the identifier's form must fit the parameter
// (element size, sign, element count) and every value must fit its element.

#include "ParamTable.h"

#include <cstdint>
#include <map>
#include <vector>

namespace sernox {

class ParamStore {
public:
    // Every parameter of the table, all elements zero.
    ParamStore();

    // Single forms (no block bit): ReadValue/WriteValue address element 0,
    // WriteElement one element by index, WriteCell one cell of a table.
    bool ReadValue(int32_t id, int32_t& value) const;
    bool WriteValue(int32_t id, int32_t value);
    bool WriteElement(int32_t id, int32_t index, int32_t value);
    bool WriteCell(int32_t id, int32_t row, int32_t column, int32_t value);

    // Block forms: the whole parameter (N = element count) or one row (N = row length).
    bool ReadBlock(int32_t id, std::vector<int32_t>& out) const;
    bool ReadRow(int32_t id, int32_t row, std::vector<int32_t>& out) const;
    bool WriteBlock(int32_t id, const std::vector<int32_t>& values);
    bool WriteRow(int32_t id, int32_t row, const std::vector<int32_t>& values);

    // Direct access for the unit itself: no form or read-only checks, only the
    // element's range. Get answers 0 for an unknown parameter or index.
    int32_t Get(int number, int index = 0) const;
    bool Set(int number, int index, int32_t value);
    bool SetAll(int number, const std::vector<int32_t>& values);

private:
    const ParamDef* SingleTarget(int32_t id, bool forWrite) const;
    const ParamDef* BlockTarget(int32_t id, int& count, bool forWrite) const;
    bool StoreRange(const ParamDef& def, int first, const std::vector<int32_t>& values);

    std::map<int, std::vector<int32_t>> values_;
};

} // namespace sernox
