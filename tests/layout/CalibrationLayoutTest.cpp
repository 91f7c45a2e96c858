// The calibration choice, the guided, idle/climate and road calibrations and
// the road calibration's parameters.
#include "LayoutFixture.h"

#include "calib/RoadCalibration.h"
#include "calib/forms/TFormCalibra2.h"
#include "calib/forms/TFormCalibraStrada.h"
#include "calib/forms/TFormCalibrazione.h"
#include "calib/forms/TFormParCalStrada.h"
#include "calib/forms/TFormSceltaCal.h"

namespace vapora::test {
namespace {

TEST_F(LayoutTest, CalibrationWindows)
{
    EveryLanguage([this] {
        {
            TFormSceltaCal form(dictionary.get());
            Check(&form, QStringLiteral("SceltaCal"));
        }
        {
            TFormCalibrazione form(ctx, false, dir.path());
            CheckMaximised(&form, QStringLiteral("Calibrazione"));
        }
        {
            TFormCalibrazione form(ctx, true, dir.path());
            CheckMaximised(&form, QStringLiteral("CalibrazioneMinimo"));
        }
        {
            TFormCalibra2 form(ctx);
            CheckMaximised(&form, QStringLiteral("Calibra2"));
        }
        {
            TFormCalibraStrada form(ctx);
            CheckMaximised(&form, QStringLiteral("CalibraStrada"));
        }
        {
            TFormParCalStrada form(RoadTuning{}, Qt::red, Qt::green, nullptr, dictionary.get());
            Check(&form, QStringLiteral("ParCalStrada"));
        }
    });
}

} // namespace
} // namespace vapora::test
