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
constexpr int kConfigurationState = 53;
constexpr int kMethaneBit = 64;

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

// The differential pressure the unit's gauge shows for these raw bytes.
int GaugeReading(int gasRaw, int mapRaw, double coefficient)
{
    if (gasRaw <= 5)
        return 0;
    return static_cast<int>((PressureKpa(gasRaw) - 100) - (PressureKpa(mapRaw) - 100) * coefficient);
}

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
    UseDriveCycle();
}

void EngineModel::SetScenario(std::vector<EngineTarget> targets, size_t repeatFrom)
{
    if (targets.empty())
        targets.push_back({kIdleRpm, kIdleThrottle, kIdleMap, 0});
    repeatFrom_ = repeatFrom < targets.size() ? repeatFrom : kNoRepeat;
    scenario_ = std::move(targets);
    scenarioIndex_ = 0;
    stepsInTarget_ = 0;
}

// The speeds sit on the default RPM breakpoints so each holds one map column;
// the road loads stay light enough to keep the throttle off its idle switch.
void EngineModel::UseDriveCycle()
{
    SetScenario({{2000, 60, 40, 10},                        // rev past the changeover speed
                 {kIdleRpm, kIdleThrottle, kIdleMap, 200},  // idle on gas
                 {1600, 60, 28, 150},                       // held at about 1600 rpm
                 {1850, 80, 43, 120},                       // the road drive
                 {2450, 95, 43, 120},
                 {3100, 110, 57, 120},
                 {2150, 85, 43, 120}},
                1);
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
    UpdateDerived(previousThrottle, params);
}

const EngineTarget& EngineModel::CurrentTarget()
{
    while (scenario_[scenarioIndex_].steps > 0 && stepsInTarget_ >= scenario_[scenarioIndex_].steps) {
        if (scenarioIndex_ + 1 < scenario_.size())
            ++scenarioIndex_;
        else if (repeatFrom_ != kNoRepeat)
            scenarioIndex_ = repeatFrom_;
        else
            break;
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
    stepsOnSide_ = rich == lastRich_ ? stepsOnSide_ + 1 : 1;
    lastRich_ = rich;
    const int high = std::max(params.Get(idle ? kMaxCorrectionIdle : kMaxCorrection), 0);
    const int low = std::min(params.Get(idle ? kMinCorrectionIdle : kMinCorrection), 0);
    // Around the balance point the probe then holds each side for a period;
    // far off it, the integrator ramps every frame.
    if (stepsOnSide_ % kIntegratorPeriod == 0 || stepsOnSide_ > 2 * kIntegratorPeriod)
        state_.correction = std::clamp(state_.correction + (rich ? -1 : 1), low, high);
    else
        state_.correction = std::clamp(state_.correction, low, high);
    state_.closedLoop = state_.correction > low && state_.correction < high;
    state_.opening = std::clamp(cell * (100 + state_.correction) / 100, 0, 65535);
}

void EngineModel::UpdateDerived(int previousThrottle, const ParamStore& params)
{
    const int rise = state_.throttle - previousThrottle;
    state_.throttleDelta = std::min(std::abs(rise), 255);
    state_.enrichment = rise > 5 ? std::min(rise * 2, 255) : 0;
    state_.gasPressure = state_.onGas ? ReducerRaw(params) : 0;
    state_.petrolTime = std::min(TrueDemand(state_.rpm, state_.map) * 10, 65535);
}

// The raw gas pressure byte nearest to the reducer's set point, never so low
// that it reads as no reading.
int EngineModel::ReducerRaw(const ParamStore& params) const
{
    const bool methane = (params.Get(kConfigurationState, 0) & kMethaneBit) != 0;
    const double coefficient = methane ? 2.4 : 1.8;
    const int set = reducerSet_ != 0 ? reducerSet_ : (methane ? kReducerCng : kReducerLpg);
    int best = 6;
    for (int raw = 6; raw <= 255; ++raw)
        if (std::abs(GaugeReading(raw, state_.map, coefficient) - set)
            < std::abs(GaugeReading(best, state_.map, coefficient) - set))
            best = raw;
    return best;
}

} // namespace sernox
