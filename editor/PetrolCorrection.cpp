#include "editor/PetrolCorrection.h"

#include "model/ConfCar.h"

#include <algorithm>
#include <cmath>

namespace vapora {

int PetrolCorrection(const ConfCar& car, int column, int row, double manifoldVolts, int speed, double measuredMs)
{
    constexpr int kLast = ConfCar::kPetrolSize - 1;
    const int a = std::clamp(column, 0, kLast);
    const int b = std::clamp(row, 0, kLast);
    const double p = manifoldVolts;
    auto m = [&](int r, int c) { return car.GetPetrolMapCell(r, c); };
    auto load = [&](int i) { return car.GetPetrolMapRef(i); };
    auto rpm = [&](int i) { return car.GetPetrolRpmRef(i); };
    const double here = m(b, a);

    double d;
    if (load(0) > p) {
        d = m(0, a);
    } else if (load(kLast) > p) {
        const int g = std::clamp(load(b) > p ? b - 1 : b + 1, 0, kLast);
        const double span = std::fabs(load(b) - load(g));
        if (span == 0)
            return 0;
        d = here + (m(g, a) - here) * std::fabs(p - load(b)) / span;
    } else {
        d = m(kLast, a);
    }

    double e;
    if (speed < rpm(0)) {
        e = m(b, 0);
    } else if (speed < rpm(kLast)) {
        const int l = std::clamp(speed < rpm(a) ? a - 1 : a + 1, 0, kLast);
        const double span = std::abs(rpm(a) - rpm(l));
        if (span == 0)
            return 0;
        e = here + (m(b, l) - here) * std::fabs(static_cast<double>(speed - rpm(a))) / span;
    } else {
        e = m(b, kLast);
    }

    const double mapValue = d + e - here;
    if (mapValue == 0)
        return 0;
    return static_cast<int>((measuredMs - mapValue) * 1000 / mapValue);
}

} // namespace vapora
