#pragma once
// Bar lengths, segment choices and value texts of the parameter display.

#include <cstdint>
#include <string>

namespace vapora {

constexpr int kDisplayFullScaleRpm = 6000;

struct DisplayLambdaScale {
    double span = 1.0;  // volts across the whole bar
    double offset = 0;  // volts at the empty end
};

// From the lambda type index (GetParam(4), truncated): 1, 2 -> 0..5 V,
// 3 -> 0.8..2.4 V, anything else -> 0..1 V.
DisplayLambdaScale DisplayLambdaScaleFor(int lambdaType);

// Inner width x rpm / full scale, truncated and kept within the panel.
int SpeedBarLength(int innerWidth, int rpm);
// The direction bit turns the bar round: 0 V fills it.
int LambdaBarLength(int innerWidth, double volts, const DisplayLambdaScale& scale, bool directionBit);
// Green when the probe reads on the good side of the threshold.
bool LambdaIsGreen(double volts, double threshold, bool directionBit);

enum class DisplayTpsSegment { Min, Middle, Upper };
DisplayTpsSegment DisplayTpsSegmentFor(uint8_t engineFlags);

struct DisplayPressureBand {
    int low = 74;
    int high = 76;
    double coefficient = 1.8;
};
DisplayPressureBand DisplayPressureBandFor(bool methane);

enum class DisplayPressureZone { Low, Ok, High };
// A pressure of 0 means no reading and falls in the low zone.
DisplayPressureZone DisplayPressureZoneFor(int differentialKpa, const DisplayPressureBand& band);

// General format with 2 significant digits below 1 V and 3 from 1 V up.
std::string FormatDisplayVolts(double volts);

} // namespace vapora
