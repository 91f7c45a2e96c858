// Learned-point files: any file loads without fault, and the points loaded,
// exported and loaded again into a fresh record are the same points.

#include "fuzz/FuzzSupport.h"
#include "model/ConfCar.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace vapora;

namespace {

bool SamePoints(const ConfCar& a, const ConfCar& b)
{
    if (a.PuntiAppresi.size() != b.PuntiAppresi.size())
        return false;
    for (size_t i = 0; i < a.PuntiAppresi.size(); ++i) {
        const PuntoAppreso& p = *a.PuntiAppresi[i];
        const PuntoAppreso& q = *b.PuntiAppresi[i];
        if (p.Giri != q.Giri || p.Map != q.Map || p.nGiri != q.nGiri || p.nMap != q.nMap || p.Iniezione != q.Iniezione)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string file = fuzz::PathOf("points.txt");
    static const std::string exported = fuzz::PathOf("exported.txt");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::FileWith("points.txt", bytes);

    ConfCar car("", nullptr);
    car.LoadLearnedPoints(file, false);
    if (car.PuntiAppresi.empty())
        return 0;
    FUZZ_CHECK(car.ExportLearnedPoints(exported));
    ConfCar again("", nullptr);
    FUZZ_CHECK(again.LoadLearnedPoints(exported, false));
    FUZZ_CHECK(SamePoints(car, again));

    // Merged into a record that already holds them, they change nothing.
    FUZZ_CHECK(again.LoadLearnedPoints(exported, true));
    FUZZ_CHECK(SamePoints(car, again));
    return 0;
}
