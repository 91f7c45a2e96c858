#include "model/Ntc.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vapora {
namespace {

// Sensor resistance over its resistance at 25 C, from -55 C in steps of 5 C.
constexpr std::array<float, 48> kRatio{
    97.578f, 67.65f, 47.538f, 33.831f, 24.359f, 17.753f, 13.067f, 9.7228f,
    7.3006f, 5.5361f, 4.2332f, 3.266f, 2.5392f, 1.9902f, 1.5709f, 1.2492f,
    1.0f, 0.805f, 0.65326f, 0.5329f, 0.4371f, 0.36f, 0.299f, 0.2493f,
    0.2088f, 0.1757f, 0.148f, 0.1262f, 0.1076f, 0.09215f, 0.07922f, 0.0683f,
    0.05924f, 0.05153f, 0.04492f, 0.0392f, 0.0343f, 0.03018f, 0.02665f, 0.023594f,
    0.0209f, 0.0186f, 0.0166f, 0.01486f, 0.01332f, 0.01198f, 0.01079f, 0.00974f};

constexpr double kNoReading = -1000.0;

} // namespace

double NtcRawToCelsius(int32_t raw)
{
    if (raw >= 255 || raw <= 0)
        return kNoReading;
    const float ratio = static_cast<float>(static_cast<double>(raw) / (255 - raw));
    int k = 46;
    for (int i = 0; i <= 46; ++i) {
        if (ratio >= kRatio[i]) {
            k = i;
            break;
        }
    }
    const double upper = k == 0 ? 0.0 : static_cast<double>(kRatio[k - 1]);
    const double here = kRatio[k];
    return (k - (ratio - here) / (upper - here)) * 5.0 - 55.0;
}

int32_t CelsiusToNtcRaw(double celsius)
{
    // NaN has no place on the curve (and would index outside it): no reading.
    if (std::isnan(celsius))
        return 0;
    const double t = std::clamp(celsius, -55.0, 175.0);
    const float a = static_cast<float>((t + 55.0) * 0.2);
    const int k = std::min(static_cast<int>(a), 46);
    const float ratio = kRatio[k] + (a - static_cast<float>(k)) * (kRatio[k + 1] - kRatio[k]);
    return static_cast<int32_t>(ratio * 255.0 / (ratio + 1.0) + 0.5);
}

} // namespace vapora
