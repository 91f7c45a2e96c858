#include "calib/DisplayBars.h"

#include "calib/LiveFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vapora {
namespace {

int Clamp(double length, int innerWidth)
{
    if (innerWidth <= 0 || !(length > 0)) // NaN lands here too
        return 0;
    if (length >= innerWidth)
        return innerWidth;
    return static_cast<int>(length);
}

} // namespace

DisplayLambdaScale DisplayLambdaScaleFor(int lambdaType)
{
    switch (lambdaType) {
    case 1:
    case 2: return {5.0, 0.0};
    case 3: return {1.6, 0.8};
    default: return {1.0, 0.0};
    }
}

int SpeedBarLength(int innerWidth, int rpm)
{
    return Clamp(static_cast<double>(innerWidth) * rpm / kDisplayFullScaleRpm, innerWidth);
}

int LambdaBarLength(int innerWidth, double volts, const DisplayLambdaScale& scale, bool directionBit)
{
    if (scale.span <= 0)
        return 0;
    const double fraction = directionBit ? (scale.span - volts) / scale.span : (volts - scale.offset) / scale.span;
    return Clamp(innerWidth * fraction, innerWidth);
}

bool LambdaIsGreen(double volts, double threshold, bool directionBit)
{
    return directionBit ? volts > threshold : volts < threshold;
}

DisplayTpsSegment DisplayTpsSegmentFor(uint8_t engineFlags)
{
    if (engineFlags & kEngineIdle)
        return DisplayTpsSegment::Min;
    return (engineFlags & kEngineTpsHigh) ? DisplayTpsSegment::Upper : DisplayTpsSegment::Middle;
}

DisplayPressureBand DisplayPressureBandFor(bool methane)
{
    if (methane)
        return {124, 126, kPressureCoeffCng};
    return {74, 76, kPressureCoeffLpg};
}

DisplayPressureZone DisplayPressureZoneFor(int differentialKpa, const DisplayPressureBand& band)
{
    if (differentialKpa < band.low)
        return DisplayPressureZone::Low;
    if (differentialKpa > band.high)
        return DisplayPressureZone::High;
    return DisplayPressureZone::Ok;
}

std::string FormatDisplayVolts(double volts)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", std::fabs(volts) < 1.0 ? 2 : 3, volts);
    return text;
}

} // namespace vapora
