#include "EngineModel.h"

#include "ParamStore.h"

#include <algorithm>
#include <cstdlib>

namespace sernox {

namespace {

// Parameters the loop looks at.
constexpr int kRpmBreakpoints = 12;
constexpr int kMapBreakpoints = 13;
constexpr int kGasMap = 14;
constexpr int kChangeoverTemp = 15;
constexpr int kChangeoverRpm = 16;
constexpr int kOverRev = 19;
constexpr int kCutoffRpm = 22;
constexpr int kHysteresis = 27;
constexpr int kMaxCorrection = 38;
constexpr int kMinCorrection = 39;
constexpr int kMaxCorrectionIdle = 40;
constexpr int kMinCorrectionIdle = 41;

constexpr int kGasMapColumns = 20;
constexpr int kStallRpm = 300;

std::vector<int32_t> Elements(const ParamStore& params, int number, int count)
{
    std::vector<int32_t> out(count);
    for (int i = 0; i < count; ++i)
        out[i] = params.Get(number, i);
    return out;
}

// First-order lag in whole units that still lands exactly on the target.
int Approach(int current, int target)
{
    const int delta = (target - current) * 3 / 10;
    return delta == 0 ? target : current + delta;
}

int PressureKpa(int raw) { return raw * 1000 / 1020 + 10; }
int PressureRaw(int kpa) { return std::clamp((kpa - 10) * 1020 / 1000, 0, 255); }

bool AtIdle(const EngineState& s, const ParamStore& params)
{
    return s.throttle <= EngineModel::kIdleThrottle + params.Get(kHysteresis);
}

} // namespace

int NearestBreakpoint(const std::vector<int32_t>& breakpoints, int value)
{
    int best = 0;
    for (int i = 1; i < static_cast<int>(breakpoints.size()); ++i)
        if (std::abs(breakpoints[i] - value) < std::abs(breakpoints[best] - value))
            best = i;
    return best;
}

EngineModel::EngineModel()
{
    state_.rpm = kIdleRpm;
    state_.throttle = kIdleThrottle;
    state_.map = kIdleMap;
    state_.reducerTemp = 51; // about 60 degrees: the car has just been driven in
    SetScenario({{2000, 60, 40, 10}, {kIdleRpm, kIdleThrottle, kIdleMap, 0}});
}

void EngineModel::SetScenario(std::vector<EngineTarget> targets)
{
    if (targets.empty())
        targets.push_back({kIdleRpm, kIdleThrottle, kIdleMap, 0});
    scenario_ = std::move(targets);
    scenarioIndex_ = 0;
    stepsInTarget_ = 0;
}

void EngineModel::SetTarget(int rpm, int throttle, int map)
{
    SetScenario({{rpm, throttle, map, 0}});
}

void EngineModel::Restart()
{
    state_.onGas = false;
    state_.correction = 0;
    changeoverSpeedSeen_ = false;
}

int EngineModel::TrueDemand(int rpm, int map)
{
    return 40 + map * 8 / 5 + rpm * 12 / 1000;
}

void EngineModel::Step(const ParamStore& params)
{
    const int previousThrottle = state_.throttle;
    Follow(CurrentTarget());
    UpdateChangeover(params);
    UpdateCorrection(params);
    UpdateDerived(previousThrottle);
}

const EngineTarget& EngineModel::CurrentTarget()
{
    while (scenarioIndex_ + 1 < scenario_.size() && scenario_[scenarioIndex_].steps > 0
           && stepsInTarget_ >= scenario_[scenarioIndex_].steps) {
        ++scenarioIndex_;
        stepsInTarget_ = 0;
    }
    ++stepsInTarget_;
    return scenario_[scenarioIndex_];
}

void EngineModel::Follow(const EngineTarget& target)
{
    state_.rpm = Approach(state_.rpm, target.rpm);
    state_.throttle = Approach(state_.throttle, target.throttle);
    state_.map = Approach(state_.map, target.map);
    if (state_.rpm >= kStallRpm && state_.reducerTemp > kWarmReducer)
        --state_.reducerTemp;
}

// On gas once the reducer is warm and the engine has reached the changeover
// speed; back to petrol on over-revving or when the engine stops.
void EngineModel::UpdateChangeover(const ParamStore& params)
{
    if (state_.rpm < kStallRpm) {
        Restart();
        return;
    }
    const int overRev = params.Get(kOverRev);
    if (overRev > 0 && state_.rpm > overRev) {
        state_.onGas = false;
        return;
    }
    const bool warm = state_.reducerTemp <= params.Get(kChangeoverTemp);
    if (warm && state_.rpm >= (params.Get(kChangeoverRpm) & ~1))
        changeoverSpeedSeen_ = true;
    if (warm && changeoverSpeedSeen_)
        state_.onGas = true;
}

// The probe switches at stoichiometric: rich when the corrected map cell
// gives at least what the engine needs. The correction steps against it, so
// it settles where cell x (100 + correction) / 100 meets the true demand.
void EngineModel::UpdateCorrection(const ParamStore& params)
{
    state_.row = NearestBreakpoint(Elements(params, kMapBreakpoints, 8), state_.map);
    state_.column = NearestBreakpoint(Elements(params, kRpmBreakpoints, kGasMapColumns), state_.rpm);
    const bool idle = AtIdle(state_, params);
    state_.idle = idle;
    state_.cutOff = state_.onGas && idle && state_.rpm > params.Get(kCutoffRpm);
    if (!state_.onGas || state_.cutOff) {
        state_.correction = 0;
        state_.closedLoop = false;
        state_.opening = 0;
        state_.lambda = state_.lambda == kLambdaRich ? kLambdaLean : kLambdaRich;
        return;
    }
    const int cell = params.Get(kGasMap, state_.row * kGasMapColumns + state_.column);
    const bool rich = cell * (100 + state_.correction) / 100 >= TrueDemand(state_.rpm, state_.map);
    state_.lambda = rich ? kLambdaRich : kLambdaLean;
    const int high = std::max(params.Get(idle ? kMaxCorrectionIdle : kMaxCorrection), 0);
    const int low = std::min(params.Get(idle ? kMinCorrectionIdle : kMinCorrection), 0);
    state_.correction = std::clamp(state_.correction + (rich ? -1 : 1), low, high);
    state_.closedLoop = state_.correction > low && state_.correction < high;
    state_.opening = std::clamp(cell * (100 + state_.correction) / 100, 0, 65535);
}

void EngineModel::UpdateDerived(int previousThrottle)
{
    const int rise = state_.throttle - previousThrottle;
    state_.throttleDelta = std::min(std::abs(rise), 255);
    state_.enrichment = rise > 5 ? std::min(rise * 2, 255) : 0;
    state_.gasPressure = state_.onGas ? PressureRaw(PressureKpa(state_.map) + 100) : 0;
    state_.petrolTime = std::min(TrueDemand(state_.rpm, state_.map) * 10, 65535);
}

} // namespace sernox
