#include "calib/RoadCalibration.h"

#include <algorithm>
#include <cstdlib>

namespace vapora {

RoadCalibration::RoadCalibration(const RpmBreakpoints& breakpoints, double lambdaThreshold, bool lambdaBit0)
    : breakpoints_(breakpoints), threshold_(lambdaThreshold), bit0_(lambdaBit0)
{
    for (int i = 0; i + 1 < kRpmColumns; ++i)
        bounds_[i] = (breakpoints[i] + breakpoints[i + 1]) / 2;
    // Breakpoints that fall would make later bounds lower than earlier ones
    // and the column count meaningless: a bound never falls.
    for (int i = 1; i + 1 < kRpmColumns; ++i)
        bounds_[i] = std::max(bounds_[i], bounds_[i - 1]);
    bounds_[kRpmColumns - 1] = bounds_[kRpmColumns - 2] + 1000;
}

int RoadCalibration::ColumnFor(int speed) const
{
    const int n = static_cast<int>(std::count_if(bounds_.begin(), bounds_.end(), [speed](int b) { return b <= speed; }));
    return std::min(n, kRpmColumns - 1);
}

bool RoadCalibration::OnStatus(const StatusValues& status)
{
    if (phase_ != 0 || (status.flags & kUnitOnGas) == 0)
        return false;
    phase_ = 1;
    return true;
}

void RoadCalibration::OnEngine(const EngineValues& engine)
{
    previous_ = engine_;
    previousLambda_ = lambda_;
    previousColumn_ = column_;
    engine_ = engine;
    const bool above = engine.lambda > threshold_;
    lambda_ = bit0_ ? above : !above;
    column_ = ColumnFor(engine.giri);
}

bool RoadCalibration::Usable() const
{
    if (phase_ == 0)
        return false;
    if (phase_ != 2 && column_ < tuning_.idleColumns)
        return false;
    if (counts_[column_] >= tuning_.samplesPerColumn)
        return false;
    if (std::abs(engine_.giri - previous_.giri) > tuning_.rpmTolerance)
        return false;
    if (phase_ != 2 && (engine_.flags & kEngineIdle) != 0)
        return false;
    return std::abs(static_cast<int>(engine_.tps - previous_.tps)) < tuning_.tpsTolerance;
}

RoadTick RoadCalibration::Sample()
{
    sampling_ = Usable();
    if (!sampling_) {
        switches_ = 0;
        ticksSinceSwitch_ = 0;
        return RoadTick::Nothing;
    }
    if (lambda_ == previousLambda_) {
        ++ticksSinceSwitch_;
        return RoadTick::Nothing;
    }
    RoadTick result = RoadTick::Nothing;
    if (ticksSinceSwitch_ > tuning_.minTicks && ticksSinceSwitch_ < tuning_.maxTicks) {
        ++switches_;
        if (switches_ >= tuning_.switchesPerSample) {
            if (phase_ == 2) {
                means_[column_] = static_cast<float>(engine_.correttore);
                phase_ = 3; // done: no further sample
                ticksSinceSwitch_ = 0;
                return RoadTick::IdleDone;
            }
            const int n = ++counts_[column_];
            means_[column_] = ((n - 1) * means_[column_] + engine_.correttore) / n;
            switches_ = 0;
            result = RoadTick::Sampled;
        }
    }
    ticksSinceSwitch_ = 0;
    return result;
}

bool RoadCalibration::StartIdlePhase()
{
    if (phase_ != 1)
        return false;
    tuning_.switchesPerSample = kIdleSwitchesPerSample;
    phase_ = 2;
    return true;
}

RoadDeltas RoadCalibration::Deltas() const
{
    return RoadColumnDeltas(breakpoints_, means_, counts_);
}

} // namespace vapora
