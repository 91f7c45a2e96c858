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
    const QString second = dir.filePath(QStringLiteral("drive2.txt"));
    WriteFile(second.toStdString(), DriveRecording(150));
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
            // The readout as it grows: a cursor, two pinned cursors, then a
            // second recording beside the first.
            const double start = form.Data().time.front(), end = form.Data().time.back();
            form.MoveCursorTo(start + (end - start) * 0.4);
            CheckMaximised(&form, QStringLiteral("Grafico-cursore"));
            form.PinCursor(start + (end - start) * 0.2);
            form.PinCursor(start + (end - start) * 0.7);
            CheckMaximised(&form, QStringLiteral("Grafico-cursori"));
            ASSERT_TRUE(form.AddRecording(second));
            form.ShiftSecond(3);
            CheckMaximised(&form, QStringLiteral("Grafico-confronto"));
        }
    });
}

} // namespace
} // namespace vapora::test
