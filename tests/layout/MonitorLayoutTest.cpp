// The display, diagnosis and recording graph windows.
#include "LayoutFixture.h"

#include "calib/forms/TFormDiagnosi.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "calib/forms/TFormVisualizza.h"
#include "monitor/RecordingFixture.h"

namespace vapora::test {
namespace {

TEST_F(LayoutTest, DisplayDiagnosisAndGraph)
{
    const QString recording = dir.filePath(QStringLiteral("drive.txt"));
    WriteFile(recording.toStdString(), DriveRecording(200));
    EveryLanguage([&] {
        {
            TFormVisualizza form(ctx);
            CheckMaximised(&form, QStringLiteral("Visualizza"));
        }
        {
            TFormDiagnosi form(ctx);
            CheckMaximised(&form, QStringLiteral("Diagnosi"));
        }
        {
            TFormGraficoDrt form(ctx, recording);
            CheckMaximised(&form, QStringLiteral("Grafico"));
        }
    });
}

} // namespace
} // namespace vapora::test
