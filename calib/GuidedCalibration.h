#pragma once
// The steps of the guided calibration, fed with decoded live frames and the
// Enter key. It says what the window shows and, at the end, which corrections
// go into the gas map; the window only displays and forwards.

#include "calib/LiveFrame.h"

namespace vapora {

enum class GuidedText {
    None,
    Step1,       // switch to gas at idle
    Step2,       // check the reducer pressure
    Step3,       // bring the engine to about 1600 rpm
    Prompt,      // press Enter when ready
    WarmUp,      // wait for the reducer temperature
    Calibrating, // capture running
    Updating,    // the map is being changed
    Success,
};

enum class PressureBand { Low, Ok, High };

struct GuidedSettings {
    bool idleOnly = false;
    double lambdaThreshold = 0; // volts
    bool lambdaBit0 = false;    // lean above the threshold when set
    bool methane = false;
};

class GuidedCalibration {
public:
    static constexpr int kIdleSpeed = 1000;      // idle band: below this
    static constexpr int kSecondSpeed = 1600;
    static constexpr int kSecondLow = 1500;      // second band: strictly between
    static constexpr int kSecondHigh = 1700;
    static constexpr int kSwitchesPerCapture = 5;
    static constexpr int kMaxTicksBetweenSwitches = 40;
    static constexpr int kOutOfBandTicks = 40;
    static constexpr int kWarmTicks = 5;

    explicit GuidedCalibration(const GuidedSettings& settings);

    // Leaves the displacement step (full form) or starts the idle-only form.
    void Begin();

    // A live block was read; each runs the step logic afterwards.
    void OnEngineTick(const EngineValues& engine);
    void OnStatusTick(const StatusValues& status);
    // Enter pressed with the window's key preview on. True when it moved a step.
    bool PressEnter();
    // The window changed the map after step 5 asked for it.
    bool ApplyRequested() const { return step_ == 5 && applyDue_; }
    void ApplyDone();

    // What the window shows.
    int step() const { return step_; }
    GuidedText operation() const { return operation_; }
    bool operationVisible() const { return operationVisible_; }
    GuidedText message() const { return message_; }
    bool messageVisible() const { return messageVisible_; }
    bool progressVisible() const { return progressVisible_; }
    int progress() const { return progress_; }
    bool pressureVisible() const { return pressureVisible_; }
    PressureBand pressureBand() const;
    int warmUpThreshold() const { return settings_.methane ? 20 : 45; }
    double pressureCoefficient() const { return settings_.methane ? kPressureCoeffCng : kPressureCoeffLpg; }
    int pressureLow() const { return settings_.methane ? 124 : 74; }
    int pressureHigh() const { return settings_.methane ? 126 : 76; }
    // When the apply step closes the window (the idle-only form).
    bool closeAfterApply() const { return settings_.idleOnly; }
    bool idleOnly() const { return settings_.idleOnly; }

    bool lambdaLean() const { return lambda_; }
    const EngineValues& engine() const { return engine_; }
    const StatusValues& status() const { return status_; }
    double temperature() const { return status_.temperaturaValid ? status_.temperatura : 0; }
    bool onGas() const { return (status_.flags & kUnitOnGas) != 0; }

    // Captures and counters, for the window and tests.
    int idleCorrection() const { return idleCorrection_; }
    int idleSpeed() const { return idleSpeed_; }
    int secondCorrection() const { return secondCorrection_; }
    int secondSpeed() const { return secondSpeed_; }
    int switchCount() const { return switches_; }
    int ticksSinceSwitch() const { return ticksSinceSwitch_; }
    int warmCount() const { return warmCount_; }
    int outOfBandCount() const { return outOfBand_; }

private:
    bool Lean(double volts) const;
    void RunStep();
    void Capture(bool inBand);
    void CaptureComplete();

    GuidedSettings settings_;
    int step_ = -1;
    GuidedText operation_ = GuidedText::Step1;
    bool operationVisible_ = false;
    GuidedText message_ = GuidedText::Prompt;
    bool messageVisible_ = false;
    bool progressVisible_ = false;
    int progress_ = 0;
    bool pressureVisible_ = false;
    bool applyDue_ = false;

    EngineValues engine_;
    StatusValues status_;
    bool lambda_ = false;
    bool previousLambda_ = false;
    int warmCount_ = 0;
    int switches_ = 0;
    int ticksSinceSwitch_ = 0;
    int outOfBand_ = 0;
    int idleCorrection_ = 0;
    int idleSpeed_ = 0;
    int secondCorrection_ = 0;
    int secondSpeed_ = 0;
};

} // namespace vapora
