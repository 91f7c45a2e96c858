#include "InitialConfiguration.h"

#include "EngineModel.h"
#include "ParamStore.h"

#include <string_view>

namespace sernox {

namespace {

int VoltsRaw(double volts) { return static_cast<int>(volts * 255 * 0.2 + 0.5); }

// NTC raw byte for a resistance ratio r (resistance over the 25 degree value).
int NtcRaw(double r) { return static_cast<int>(255 * r / (1 + r) + 0.5); }

void LoadMaps(ParamStore& s)
{
    s.SetAll(12, {450, 550, 650, 800, 950, 1150, 1350, 1600, 1850, 2150,
                  2450, 2750, 3100, 3500, 3900, 4350, 4850, 5350, 5900, 6500});
    for (int i = 0; i < 8; ++i)
        s.Set(13, i, VoltsRaw((i + 1) * 2.5 / 9));
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 20; ++col)
            s.Set(14, row * 20 + col, EngineModel::TrueDemand(s.Get(12, col), s.Get(13, row)) * 9 / 10);
    const double petrolMapVolts[] = {0.51, 0.82, 1.18, 1.51, 1.80, 2.16, 2.47, 2.80, 3.16, 3.45, 3.78, 4.12};
    for (int i = 0; i < 12; ++i) {
        s.Set(83, i, VoltsRaw(petrolMapVolts[i]));
        s.Set(84, i, 500 + 500 * i);
    }
}

void LoadStepTables(ParamStore& s)
{
    for (int col = 0; col < 20; ++col) {
        s.Set(29, col, 0x22);
        s.Set(30, col, col < 5 ? 15 : 4); // 300 ms, then 80 ms, in 20 ms steps
        s.Set(31, col, col < 5 ? 15 : 4);
    }
}

void LoadScalars(ParamStore& s)
{
    const std::pair<int, int> values[] = {
        {4, 2}, {5, 28}, {7, 5}, {8, 30}, {9, 15}, {10, 30}, {11, 15}, {15, 128},
        {16, 1801}, {18, 20}, {19, 6500}, {20, 4}, {21, 5}, {22, 1800}, {23, 30},
        {24, 3}, {27, 7}, {63, 10}, {32, 25}, {33, 25}, {34, 250}, {35, 10}, {36, 129},
        {71, 46}, {38, 40}, {39, -40}, {40, 30}, {41, -30}, {44, 204}, {45, 4000},
        {46, 6}, {69, 6}, {70, 3}, {51, 6}, {52, 10}, {54, 6}, {56, 2}, {62, 255},
        {73, 100}, {74, 1250}, {75, 32}, {81, 5},
    };
    for (const auto& [number, value] : values)
        s.Set(number, 0, value);
}

void LoadBandTables(ParamStore& s)
{
    s.SetAll(37, {200, 141, 94, 40});
    s.SetAll(47, {30, 30, 30, 30, 30, 30});
    s.SetAll(78, {50, 50, 40, 30, 30, 30});
    s.SetAll(50, {2, 2, 2, 2, 2, 2});
    s.SetAll(49, {0, 0, 30, 20, 20, 20});
    s.SetAll(48, {10, 6, 10, 20, 20, 20});
    s.SetAll(80, {10, 10, 10, 10, 10, 10});
    s.SetAll(58, {65, 0});
    // Temperature references: raw 0, 80 down to 10 degrees, raw 255.
    const double ratios[] = {0.1262, 0.1757, 0.2493, 0.36, 0.5329, 0.805, 1.2492, 1.9902};
    s.Set(42, 0, 0);
    for (int i = 0; i < 8; ++i)
        s.Set(42, i + 1, NtcRaw(ratios[i]));
    s.Set(42, 9, 255);
    for (int i = 0; i < 9; ++i)
        s.Set(43, i, 100);
}

void LoadName(ParamStore& s, std::string_view name)
{
    for (size_t i = 0; i < name.size(); ++i)
        s.Set(53, static_cast<int>(i) + 2, static_cast<unsigned char>(name[i]));
}

} // namespace

void LoadInitialConfiguration(ParamStore& store)
{
    LoadMaps(store);
    LoadStepTables(store);
    LoadScalars(store);
    LoadBandTables(store);
    LoadName(store, "ResetLpg");
}

} // namespace sernox
