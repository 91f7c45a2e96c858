#include "editor/MapCompletion.h"

#include "model/ConfCar.h"

#include <cmath>
#include <utility>

namespace vapora {
namespace {

constexpr double kTiny = 1e-15;

double Kernel(double d) { return d >= kTiny ? d * d * std::log(d) : 0.0; }

struct Centre {
    int nGiri;
    int nMap;
    long long sumGiri = 0;
    long long sumMap = 0;
    long long sumIniezione = 0;
    int count = 0;
};

// Gaussian elimination with partial pivoting (first row on ties); false on a
// pivot below kTiny. a is n x n row-major, b the right-hand side, solved in place.
bool Solve(std::vector<double>& a, std::vector<double>& b, int n)
{
    auto at = [&](int r, int c) -> double& { return a[static_cast<size_t>(r) * n + c]; };
    for (int k = 0; k < n - 1; ++k) {
        int pivot = k;
        for (int r = k + 1; r < n; ++r)
            if (std::fabs(at(r, k)) > std::fabs(at(pivot, k)))
                pivot = r;
        if (std::fabs(at(pivot, k)) < kTiny)
            return false;
        if (pivot != k) {
            for (int c = 0; c < n; ++c)
                std::swap(at(k, c), at(pivot, c));
            std::swap(b[k], b[pivot]);
        }
        for (int r = k + 1; r < n; ++r) {
            const double f = at(r, k) / at(k, k);
            if (f == 0)
                continue;
            for (int c = k; c < n; ++c)
                at(r, c) -= f * at(k, c);
            b[r] -= f * b[k];
        }
    }
    if (n == 0 || std::fabs(at(n - 1, n - 1)) < kTiny)
        return false;
    for (int r = n - 1; r >= 0; --r) {
        double s = b[r];
        for (int c = r + 1; c < n; ++c)
            s -= at(r, c) * b[c];
        b[r] = s / at(r, r);
    }
    return true;
}

} // namespace

bool CompletePetrolCells(const std::vector<LearnedSample>& points, const std::array<int, kPetrolCells>& rpmRefs,
                         const std::array<double, kPetrolCells>& mapRefs, PetrolCells& out)
{
    const double r = rpmRefs[kPetrolCells - 1];
    const double l = mapRefs[kPetrolCells - 1];
    // Everything is scaled by the last breakpoints: a zero one would divide by zero.
    if (!(r > 0) || !(l > 0))
        return false;

    std::vector<Centre> groups;
    for (const LearnedSample& p : points) {
        Centre* g = nullptr;
        for (Centre& c : groups)
            if (c.nGiri == p.nGiri && c.nMap == p.nMap) {
                g = &c;
                break;
            }
        if (g == nullptr)
            g = &groups.emplace_back(Centre{p.nGiri, p.nMap});
        g->sumGiri += p.giri;
        g->sumMap += p.map;
        g->sumIniezione += p.iniezione;
        ++g->count;
    }
    const int count = static_cast<int>(groups.size());
    std::vector<double> x(count), y(count), v(count);
    for (int g = 0; g < count; ++g) {
        const Centre& c = groups[g];
        x[g] = (static_cast<double>(c.sumGiri) / c.count) / r;
        y[g] = (static_cast<double>(c.sumMap) / c.count) / (1000 * l);
        v[g] = static_cast<double>(c.sumIniezione / c.count); // whole microseconds, truncated
    }

    const int n = count + 3;
    std::vector<double> a(static_cast<size_t>(n) * n, 0.0);
    std::vector<double> w(n, 0.0);
    auto at = [&](int row, int col) -> double& { return a[static_cast<size_t>(row) * n + col]; };
    for (int g = 0; g < count; ++g) {
        for (int h = 0; h < count; ++h)
            if (g != h)
                at(g, h) = Kernel(std::hypot(x[g] - x[h], y[g] - y[h]));
        at(g, count) = at(count, g) = 1;
        at(g, count + 1) = at(count + 1, g) = x[g];
        at(g, count + 2) = at(count + 2, g) = y[g];
        w[g] = v[g];
    }
    if (!Solve(a, w, n))
        return false;

    for (int j = 0; j < kPetrolCells; ++j)
        for (int i = 0; i < kPetrolCells; ++i) {
            const double cx = rpmRefs[i] / r;
            const double cy = mapRefs[j] / l;
            double f = w[count] + w[count + 1] * cx + w[count + 2] * cy;
            for (int g = 0; g < count; ++g)
                f += w[g] * Kernel(std::hypot(cx - x[g], cy - y[g]));
            // A wild surface far from the learned cells must not overflow the
            // cast; anything that large is refused by the record anyway.
            const double rounded = std::trunc(f + 0.5);
            out[j][i] = !(rounded > 0) ? 0 : rounded > 1e9 ? 1000000000 : static_cast<int>(rounded);
        }
    return true;
}

bool CompletePetrolMap(ConfCar& car)
{
    std::vector<LearnedSample> points;
    points.reserve(car.PuntiAppresi.size());
    for (const auto& p : car.PuntiAppresi)
        points.push_back({p->Giri, p->Map, p->nGiri, p->nMap, p->Iniezione});
    std::array<int, kPetrolCells> rpm{};
    std::array<double, kPetrolCells> load{};
    for (int i = 0; i < kPetrolCells; ++i) {
        rpm[i] = car.GetPetrolRpmRef(i);
        load[i] = car.GetPetrolMapRef(i);
    }
    PetrolCells cells{};
    if (points.empty() || !CompletePetrolCells(points, rpm, load, cells))
        return false;
    for (int j = 0; j < kPetrolCells; ++j)
        for (int i = 0; i < kPetrolCells; ++i)
            car.SetPetrolMapCell(j, i, cells[j][i] * 0.001);
    return true;
}

} // namespace vapora
