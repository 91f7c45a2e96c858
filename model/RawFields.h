#pragma once
// The record's raw fields with the parameter each belongs to: what keeps every
// field inside its parameter's range, and how a single element is named.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vapora {

class ConfCar;

struct RawField {
    int32_t param = 0;       // unit parameter number, for its range
    std::string_view name;   // key (or key prefix) in configuration files
    int32_t* data = nullptr;
    int rows = 1;            // tables: rows of `columns` elements
    int columns = 1;         // 1 for a scalar
    bool firstUnnumbered = false; // element 0 is named without its index

    int Count() const { return rows * columns; }
    bool Contains(const int32_t* p) const { return p >= data && p < data + Count(); }
    // The file key of element `index`: name, name + index, or name + row + "_" + column.
    std::string ElementName(int index) const;
};

// Every raw field of the record that belongs to a unit parameter.
std::vector<RawField> RawFieldsOf(ConfCar& car);

// The field holding `p` (and the element's index in it), or null.
const RawField* FindRawField(const std::vector<RawField>& fields, const int32_t* p, int* index = nullptr);

} // namespace vapora
