// Time to read a long recording and to first paint its graph, then to zoom
// and scroll it. Runs offscreen; prints one line per figure.

#include "services/AppContext.h"
#include "calib/Recording.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "monitor/RecordingFixture.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QLineSeries>
#include <QPainter>

#include <chrono>
#include <cstdio>

using namespace vapora;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

void Paint(TFormGraficoDrt& form)
{
    QImage image(form.ChartView()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    form.ChartView()->render(&painter);
}

void Run(int lines)
{
    const std::string text = test::DriveRecording(lines);
    const QString path = QDir::temp().filePath(QStringLiteral("vapora_bench_%1.txt").arg(lines));
    test::WriteFile(path.toStdString(), text);

    auto t = Clock::now();
    Recording data;
    ReadRecording(path.toStdString(), data);
    const double parse = Ms(t);

    AppContext ctx;
    t = Clock::now();
    TFormGraficoDrt form(ctx, path);
    form.setWindowState(Qt::WindowNoState);
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();
    Paint(form);
    const double firstPaint = Ms(t);

    int points = 0;
    for (int i = 0; i < kRecordingTraces; ++i)
        points += form.Trace(i)->count();

    QChart* chart = form.Chart();
    const QRectF area = chart->plotArea();
    t = Clock::now();
    chart->zoomIn(QRectF(area.left() + area.width() * 0.4, area.top(), area.width() * 0.05, area.height()));
    Paint(form);
    const double zoom = Ms(t);

    t = Clock::now();
    for (int i = 0; i < 10; ++i) {
        chart->scroll(area.width() / 10, 0);
        Paint(form);
    }
    const double scroll = Ms(t) / 10;

    t = Clock::now();
    form.MenuAnnullaZoomClick();
    Paint(form);
    const double reset = Ms(t);

    std::printf("%7d lines (%5.1f MB, %.1f h at 150 ms): parse %7.1f ms | open+first paint %7.1f ms "
                "(%d points drawn for %zu records) | zoom %6.1f ms | scroll step %6.1f ms | undo zoom %6.1f ms\n",
                lines, text.size() / 1e6, lines * 0.15 / 3600, parse, firstPaint, points,
                data.size() * kRecordingTraces, zoom, scroll, reset);
    QFile::remove(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int lines : {24000, 200000})
        Run(lines);
    return 0;
}
