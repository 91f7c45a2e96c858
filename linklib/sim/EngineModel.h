#pragma once
// A small closed loop standing in for the car: engine speed, throttle and
// manifold pressure follow a scenario, the reducer warms up, and the unit's
// lambda correction chases the difference between the gas map and what the
// engine really needs. Time advances one step per call, never by the clock.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sernox {

class ParamStore;

// A point the engine moves toward and holds for `steps` steps (0 = for good).
struct EngineTarget {
    int rpm = 0;
    int throttle = 0; // throttle sensor, raw volts (255 = 5 V)
    int map = 0;      // manifold pressure sensor, raw volts (same scale as RifMAP)
    int steps = 0;
};

struct EngineState {
    int rpm = 0;
    int throttle = 0;
    int map = 0;
    int reducerTemp = 0;  // NTC raw: falls as the reducer warms
    int gasPressure = 0;  // raw, 0 while on petrol
    int lambda = 0;       // probe voltage raw
    int correction = 0;   // signed, percent of the map cell
    int opening = 0;      // gas injector opening actually used
    int throttleDelta = 0;
    int enrichment = 0;
    int petrolTime = 0;   // petrol injection, 0.004 ms steps
    bool onGas = false;
    bool closedLoop = false; // correction off its limits: the map point is reachable
    bool cutOff = false;
    bool idle = false;        // throttle at its minimum position
    int row = 0;          // gas map cell at the running point
    int column = 0;
};

class EngineModel {
public:
    static constexpr int kIdleRpm = 850;
    static constexpr int kIdleThrottle = 30;
    static constexpr int kIdleMap = 28;
    static constexpr int kWarmReducer = 29; // about 80 degrees
    static constexpr int kLambdaRich = 41;  // 0.8 V
    static constexpr int kLambdaLean = 5;   // 0.1 V

    // Starts warm at idle after one rev past the usual changeover speed, so the
    // car is on gas soon after connecting.
    EngineModel();

    // Played in order; the last target is held once its steps are used up.
    void SetScenario(std::vector<EngineTarget> targets);
    // Hold one point for good.
    void SetTarget(int rpm, int throttle, int map);
    void SetReducerTemperature(int raw) { state_.reducerTemp = raw; }
    // Forget the correction and fall back to petrol, as after an engine restart.
    void Restart();

    // One step of the loop against the unit's current configuration.
    void Step(const ParamStore& params);
    const EngineState& state() const { return state_; }

    // The gas map value the simulated engine really needs at a running point.
    static int TrueDemand(int rpm, int map);

private:
    const EngineTarget& CurrentTarget();
    void Follow(const EngineTarget& target);
    void UpdateChangeover(const ParamStore& params);
    void UpdateCorrection(const ParamStore& params);
    void UpdateDerived(int previousThrottle);

    std::vector<EngineTarget> scenario_;
    size_t scenarioIndex_ = 0;
    int stepsInTarget_ = 0;
    bool changeoverSpeedSeen_ = false;
    EngineState state_;
};

// Index of the breakpoint nearest to value (ties to the lower index).
int NearestBreakpoint(const std::vector<int32_t>& breakpoints, int value);

} // namespace sernox
