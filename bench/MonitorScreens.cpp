// Renders the monitoring windows to PNG files in the folder given (default
// the current one): the display, the diagnosis, a long recording's graph
// unzoomed and zoomed.

#include "SimulatedSession.h"
#include "monitor/MonitorSupport.h"
#include "monitor/RecordingFixture.h"
#include "calib/forms/TFormDiagnosi.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "calib/forms/TFormVisualizza.h"

#include <QApplication>
#include <QChart>
#include <QDir>
#include <QPixmap>

#include <cstdio>

using namespace vapora;

namespace {

void Save(QWidget& w, const QDir& dir, const char* name)
{
    w.setWindowState(Qt::WindowNoState);
    w.resize(1024, 700);
    w.show();
    QApplication::processEvents();
    bench::SavePng(w, dir, name);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    {
        test::ScriptedLiveLink link;
        test::FakeClock clock;
        ConfCar car("x.vap", &link, clock);
        car.IdUnita[2] = 1; // two probes
        car.IdUnita[3] = 15;
        car.TipoDiLambda = 2;
        car.RifLambda = 23;
        AppContext ctx;
        ctx.link = &link;
        ctx.car = &car;
        link.length = 16;
        const int rpm = 2480;
        link.block[0] = rpm & 0xFF;
        link.block[1] = rpm >> 8;
        link.block[2] = 41;  // 0.8 V
        link.block[3] = 84;  // 1.65 V
        link.block[4] = 92;  // 100 kPa
        link.block[5] = 169; // 75 kPa over the manifold
        link.block[11] = 0;
        link.block[12] = 12; // probe 2 at 0.24 V
        TFormVisualizza display(ctx);
        display.Timer1Timer();
        Save(display, dir, "visualizza.png");
        display.Timer1Timer();
    }
    {
        test::SimBench bench;
        bench.unit->StoreElement(57, 0, 0x0024);  // reducer heating and lean control in error
        bench.unit->StoreElement(58, 0, 0x077B);
        bench.unit->StoreElement(59, 0, 7391);    // 2463 h 40 min on gas
        bench.unit->StoreElement(60, 0, 1234);
        bench.Connect();
        TFormDiagnosi diagnosis(bench.ctx);
        Save(diagnosis, dir, "diagnosi.png");
    }
    {
        const QString path = QDir::temp().filePath(QStringLiteral("giornata.txt"));
        test::WriteFile(path.toStdString(), test::DriveRecording(24000));
        AppContext ctx;
        TFormGraficoDrt graph(ctx, path);
        Save(graph, dir, "grafico.png");
        const QRectF area = graph.Chart()->plotArea();
        graph.Chart()->zoomIn(QRectF(area.left() + area.width() * 0.42, area.top() + area.height() * 0.3,
                                     area.width() * 0.04, area.height() * 0.6));
        Save(graph, dir, "grafico_zoom.png");
        QFile::remove(path);
    }
    return 0;
}
