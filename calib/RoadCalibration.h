#pragma once
// The road calibration's sampling: while the car is driven on gas, the lambda
// correction is taken per RPM column whenever the probe switches regularly at
// a steady speed and throttle; a last sample at idle ends it. The window reads
// the unit, forwards the decoded values and shows what this keeps.

#include "calib/LiveFrame.h"
#include "calib/MapCorrection.h"

#include <array>

namespace vapora {

struct RoadTuning {
    int switchesPerSample = 1;
    int idleColumns = 5;
    int minTicks = 1;      // a switch counts after more ticks than this...
    int maxTicks = 40;     // ...and fewer than this
    int rpmTolerance = 200;
    int tpsTolerance = 10; // whole volts
    int samplesPerColumn = 100;
};

enum class RoadTick {
    Nothing,
    Sampled,  // a road sample was added (the window beeps)
    IdleDone, // the idle sample is in: ask whether to change the map
};

class RoadCalibration {
public:
    static constexpr int kIdleConfirmSpeed = 1000;
    static constexpr int kIdleSwitchesPerSample = 3;

    RoadCalibration(const RpmBreakpoints& breakpoints, double lambdaThreshold, bool lambdaBit0);

    // Phase 0 until the status block first shows gas. True when that happens.
    bool OnStatus(const StatusValues& status);
    void OnEngine(const EngineValues& engine);
    // The sample step of a tick; runs on the values kept when nothing was read.
    RoadTick Sample();

    // The speed is low enough to take the idle sample.
    bool AtIdle() const { return engine_.giri <= kIdleConfirmSpeed; }
    // Moves from the road to the idle phase; false (nothing done) elsewhere.
    bool StartIdlePhase();

    // The changes the means make to the map (weights and interpolation).
    RoadDeltas Deltas() const;

    int phase() const { return phase_; }
    int column() const { return column_; }
    int previousColumn() const { return previousColumn_; }
    bool sampling() const { return sampling_; }
    bool lambdaLean() const { return lambda_; }
    const EngineValues& engine() const { return engine_; }
    const EngineValues& previousEngine() const { return previous_; }
    float mean(int column) const { return means_[column]; }
    int count(int column) const { return counts_[column]; }
    const std::array<float, kRpmColumns>& means() const { return means_; }
    const std::array<int, kRpmColumns>& counts() const { return counts_; }
    int switchCount() const { return switches_; }
    int ticksSinceSwitch() const { return ticksSinceSwitch_; }
    const std::array<int, kRpmColumns>& bounds() const { return bounds_; }
    const RpmBreakpoints& breakpoints() const { return breakpoints_; }
    int ColumnFor(int speed) const;

    RoadTuning& tuning() { return tuning_; }
    const RoadTuning& tuning() const { return tuning_; }

private:
    bool Usable() const;

    RpmBreakpoints breakpoints_;
    std::array<int, kRpmColumns> bounds_{};
    double threshold_;
    bool bit0_;
    RoadTuning tuning_;

    int phase_ = 0;
    EngineValues engine_;
    EngineValues previous_;
    bool lambda_ = true;
    bool previousLambda_ = true;
    int column_ = 0;
    int previousColumn_ = 0;
    int ticksSinceSwitch_ = 0;
    int switches_ = 0;
    bool sampling_ = false;
    std::array<float, kRpmColumns> means_{};
    std::array<int, kRpmColumns> counts_{};
};

} // namespace vapora
