// Time of the petrol map completion with every one of the 144 cells learned
// (the largest system the page can build: 147 x 147), and with fewer cells.

#include "editor/MapCompletion.h"
#include "model/ConfCar.h"

#include <chrono>
#include <cmath>
#include <cstdio>

using namespace vapora;

namespace {

std::vector<LearnedSample> Points(int cells, const std::array<int, 12>& rpm, const std::array<double, 12>& load)
{
    std::vector<LearnedSample> points;
    for (int k = 0; k < cells; ++k) {
        // 11 and 144 have no common factor: the cells spread over the map.
        const int cell = k * 11 % 144;
        const int row = cell / 12;
        const int col = cell % 12;
        // A smooth injection surface, a little off the breakpoints as real points are.
        const int giri = rpm[col] + 37;
        const int map = static_cast<int>(load[row] * 1000) - 21;
        const int inj = static_cast<int>(1500 + giri * 0.9 + map * 2.1 + 300 * std::sin(giri / 900.0));
        points.push_back({giri, map, col, row, inj});
    }
    return points;
}

} // namespace

int main()
{
    std::array<int, 12> rpm{};
    std::array<double, 12> load{};
    for (int i = 0; i < 12; ++i) {
        rpm[i] = 800 + 550 * i;
        load[i] = 0.35 + 0.4 * i;
    }
    for (int cells : {12, 48, 144}) {
        const std::vector<LearnedSample> points = Points(cells, rpm, load);
        PetrolCells out{};
        constexpr int kRuns = 50;
        bool ok = true;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRuns; ++i)
            ok = CompletePetrolCells(points, rpm, load, out) && ok;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kRuns;
        std::printf("completion, %3d learned cells: %8.3f ms per map%s\n", cells, ms, ok ? "" : " (failed)");
    }

    // Through the record, writing all 144 cells, as "Completa mappa" does without a unit.
    ConfCar car("bench.vap", nullptr);
    for (int i = 0; i < 12; ++i) {
        car.SetPetrolRpmRef(i, rpm[i]);
        car.SetPetrolMapRef(i, load[i]);
    }
    for (const LearnedSample& p : Points(144, rpm, load))
        car.AddLearnedPoint(p.giri, p.map * 0.001, p.iniezione * 0.001, p.nGiri, p.nMap, 0);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = CompletePetrolMap(car);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("completion into the record, 144 learned cells: %.3f ms%s\n", ms, ok ? "" : " (failed)");
    return ok ? 0 : 1;
}
