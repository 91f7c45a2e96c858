#pragma once
// The reducer's NTC temperature sensor: raw byte <-> degrees Celsius.

#include <cstdint>

namespace vapora {

// -1000 when there is no reading (raw 0 or 255).
double NtcRawToCelsius(int32_t raw);
// Defined for -55..175 C; temperatures outside are clamped to that range.
int32_t CelsiusToNtcRaw(double celsius);

} // namespace vapora
