#pragma once
// Raw unit values <-> engineering units. Every float-to-integer conversion
// truncates toward zero after adding 0.5; the reciprocal factors are taken in
// extended precision from the double resolutions, so that values lying exactly
// on a half step round the way the unit's own tools always rounded them.

#include <cstdint>
#include <climits>

namespace vapora::conv {

// 1 / 0.004, 1 / 0.02 and 1 / 0.005 with the resolutions as doubles:
// 249.99999999999999480..., 49.999999999999998960..., 199.99999999999999584...
inline const long double kPerPetrolStep = 1.0L / static_cast<long double>(0.004);
inline const long double kPerSlowStep = 1.0L / static_cast<long double>(0.02);
inline const long double kPerFastStep = 1.0L / static_cast<long double>(0.005);

// Beyond the integer range a value is held at its ends and NaN gives 0: a plain cast
// of either is undefined.
inline int32_t Trunc(long double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0L)
        return INT32_MAX;
    if (v <= -2147483648.0L)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

inline int32_t Round(long double v) { return Trunc(v + 0.5L); }

inline double VoltsFromRaw(int32_t raw) { return raw * 5.0 / 255.0; }
inline int32_t RawFromVolts(double v) { return Round(static_cast<long double>(v) * 255 * 0.2L); }

inline double PetrolMsFromRaw(int32_t raw) { return raw * 0.004; }
inline int32_t RawFromPetrolMs(double v) { return Round(v * kPerPetrolStep); }

inline double SlowSecondsFromRaw(int32_t raw) { return raw * 0.02; }
inline int32_t RawFromSlowSeconds(double v) { return Round(v * kPerSlowStep); }

inline double FastSecondsFromRaw(int32_t raw) { return raw * 0.005; }
inline int32_t RawFromFastSeconds(double v) { return Round(v * kPerFastStep); }

inline double Times20FromRaw(int32_t raw) { return raw * 20.0; }
inline int32_t RawFromTimes20(double v) { return Round(v * 0.05L); }

inline double Times5FromRaw(int32_t raw) { return raw * 5.0; }
inline int32_t RawFromTimes5(double v) { return Round(v * 0.2L); }

inline double Times50FromRaw(int32_t raw) { return raw * 50.0; }
inline int32_t RawFromTimes50(double v) { return Round(v * 0.02L); }

} // namespace vapora::conv
