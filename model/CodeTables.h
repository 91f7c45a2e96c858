#pragma once
// Code tables of the configuration record. The index of a code is what the
// editor's lists show; a code is searched from the first entry, first match wins.

#include <array>
#include <cstdint>
#include <span>

namespace vapora::codes {

inline constexpr std::array<int32_t, 6> kLambda{2, 40, 25, 4, 0, 0};
inline constexpr std::array<int32_t, 8> kCylinders{3, 4, 5, 6, 8, 1, 2, 32};
inline constexpr std::array<int32_t, 9> kLevelSensor{129, 2, 4, 4, 131, 193, 66, 68, 195};
inline constexpr std::array<std::array<int32_t, 4>, 3> kDefaultSensorRefs{{
    {200, 141, 94, 40}, {17, 44, 77, 100}, {17, 44, 77, 100}}};

// -1 when the code is in no entry.
inline int IndexOf(std::span<const int32_t> table, int32_t code)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i] == code)
            return static_cast<int>(i);
    return -1;
}

} // namespace vapora::codes
