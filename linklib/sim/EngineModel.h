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
    // The unit's integrator steps once per this many frames while the probe
    // switches normally, so the probe holds each side for a few frames.
    static constexpr int kIntegratorPeriod = 3;
    // Reducer set so that the unit's own gauge (gas minus manifold times the
    // fuel's coefficient) reads mid-band: LPG 74..76, methane 124..126.
    static constexpr int kReducerLpg = 75;
    static constexpr int kReducerCng = 125;
    static constexpr size_t kNoRepeat = static_cast<size_t>(-1);

    // Starts warm at idle after one rev past the usual changeover speed, so the
    // car is on gas soon after connecting; then it runs the drive cycle.
    EngineModel();

    // Played in order; the last target is held once its steps are used up,
    // unless repeatFrom names the target the play starts again from.
    void SetScenario(std::vector<EngineTarget> targets, size_t repeatFrom = kNoRepeat);
    // What a user on the simulated unit can calibrate against: idle on gas,
    // then about 1600 rpm, then a road drive over several RPM columns, again
    // and again. One step per engine block read.
    void UseDriveCycle();
    // The reducer's differential pressure as the gauge reads it, in kPa;
    // 0 picks the fuel's own set point.
    void SetReducerPressure(int kpa) { reducerSet_ = kpa; }
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
    void UpdateDerived(int previousThrottle, const ParamStore& params);
    int ReducerRaw(const ParamStore& params) const;

    std::vector<EngineTarget> scenario_;
    size_t repeatFrom_ = kNoRepeat;
    size_t scenarioIndex_ = 0;
    int reducerSet_ = 0;
    bool lastRich_ = false;
    int stepsOnSide_ = 0;
    int stepsInTarget_ = 0;
    bool changeoverSpeedSeen_ = false;
    EngineState state_;
};

// Index of the breakpoint nearest to value (ties to the lower index).
int NearestBreakpoint(const std::vector<int32_t>& breakpoints, int value);

} // namespace sernox
