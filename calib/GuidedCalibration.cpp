#include "calib/GuidedCalibration.h"

namespace vapora {

GuidedCalibration::GuidedCalibration(const GuidedSettings& settings) : settings_(settings) {}

void GuidedCalibration::Begin()
{
    if (step_ != -1)
        return;
    step_ = 0;
    operationVisible_ = true;
    messageVisible_ = true;
}

bool GuidedCalibration::Lean(double volts) const
{
    return settings_.lambdaBit0 ? volts > settings_.lambdaThreshold : volts < settings_.lambdaThreshold;
}

void GuidedCalibration::OnEngineTick(const EngineValues& engine)
{
    engine_ = engine;
    previousLambda_ = lambda_;
    lambda_ = Lean(engine.lambda);
    RunStep();
}

void GuidedCalibration::OnStatusTick(const StatusValues& status)
{
    status_ = status;
    RunStep();
}

bool GuidedCalibration::PressEnter()
{
    if (step_ == 0 && onGas() && engine_.giri < kIdleSpeed) {
        step_ = 1;
        message_ = GuidedText::WarmUp;
        return true;
    }
    if (step_ == 2) {
        step_ = 3;
        pressureVisible_ = false;
        operationVisible_ = false;
        progressVisible_ = true;
        progress_ = 0;
        message_ = GuidedText::Calibrating;
        return true;
    }
    return false;
}

PressureBand GuidedCalibration::pressureBand() const
{
    if (engine_.pressione < pressureLow())
        return PressureBand::Low;
    return engine_.pressione <= pressureHigh() ? PressureBand::Ok : PressureBand::High;
}

void GuidedCalibration::RunStep()
{
    switch (step_) {
    case 1:
        if (warmUpThreshold() > temperature())
            warmCount_ = 0;
        else
            ++warmCount_;
        if (warmCount_ >= kWarmTicks) {
            step_ = 2;
            operation_ = GuidedText::Step2;
            message_ = GuidedText::Prompt;
            pressureVisible_ = true;
        }
        break;
    case 3:
        Capture(engine_.giri < kIdleSpeed);
        break;
    case 4:
        if (settings_.idleOnly) {
            secondCorrection_ = 0;
            secondSpeed_ = kSecondSpeed;
            step_ = 5;
        } else {
            Capture(engine_.giri > kSecondLow && engine_.giri < kSecondHigh);
        }
        break;
    case 5:
        applyDue_ = true;
        break;
    default: break;
    }
}

void GuidedCalibration::Capture(bool inBand)
{
    if (!inBand) {
        if (step_ == 3 || outOfBand_ >= kOutOfBandTicks) {
            switches_ = 0;
            progress_ = 0;
            messageVisible_ = false;
        } else {
            ++outOfBand_;
        }
        return;
    }
    if (step_ == 4)
        outOfBand_ = 0;
    messageVisible_ = true;
    if (lambda_ == previousLambda_) {
        ++ticksSinceSwitch_;
        return;
    }
    if (ticksSinceSwitch_ > 1 && ticksSinceSwitch_ < kMaxTicksBetweenSwitches) {
        ++switches_;
        progress_ = switches_ * 100 / kSwitchesPerCapture;
    }
    ticksSinceSwitch_ = 0;
    if (switches_ >= kSwitchesPerCapture)
        CaptureComplete();
}

void GuidedCalibration::CaptureComplete()
{
    if (step_ == 3) {
        idleCorrection_ = engine_.correttore;
        idleSpeed_ = engine_.giri;
        step_ = 4;
        if (settings_.idleOnly) {
            message_ = GuidedText::Updating;
            messageVisible_ = true;
        } else {
            operation_ = GuidedText::Step3;
            operationVisible_ = true;
            messageVisible_ = false;
        }
        progress_ = 0;
        // The first tick outside the 1600 rpm band clears what is left of this capture.
        outOfBand_ = kOutOfBandTicks;
    } else {
        secondCorrection_ = engine_.correttore;
        secondSpeed_ = engine_.giri;
        step_ = 5;
        operationVisible_ = false;
        message_ = GuidedText::Updating;
        messageVisible_ = true;
        progress_ = 0;
    }
}

void GuidedCalibration::ApplyDone()
{
    if (step_ != 5)
        return;
    applyDue_ = false;
    progressVisible_ = false;
    message_ = GuidedText::Success;
    messageVisible_ = true;
    step_ = 6;
}

} // namespace vapora
