// Time to read a long recording and to first paint its graph, then to zoom
// and scroll it, to move the cursor with its readout, to pin two cursors and
// work out the span's statistics, and to lay a second recording over the
// first. Runs offscreen; prints one line per figure, each as wall-clock time
// and, in brackets, the process's processor time (the part a busy machine
// does not inflate).

#include "services/AppContext.h"
#include "calib/Recording.h"
#include "calib/RecordingReadout.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "monitor/RecordingFixture.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QTableWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

using namespace vapora;

namespace {

struct Stopwatch {
    using Clock = std::chrono::steady_clock;
    Clock::time_point wall = Clock::now();
    std::clock_t cpu = std::clock();

    struct Figure {
        double wall = 0;
        double cpu = 0;
    };
    Figure Lap(int times = 1) const
    {
        const double w = std::chrono::duration<double, std::milli>(Clock::now() - wall).count();
        const double c = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        return {w / times, c / times};
    }
};

const char* Show(const Stopwatch::Figure& f)
{
    static char buffer[8][48];
    static int next = 0;
    char* out = buffer[next++ % 8];
    std::snprintf(out, 48, "%.1f ms (%.1f)", f.wall, f.cpu);
    return out;
}

// The whole chart drawn again, as after a zoom or a scroll.
void Paint(TFormGraficoDrt& form)
{
    QImage image(form.ChartView()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    form.ChartView()->render(&painter);
}

// Lays a second recording of `lines` lines over the open one and shows it.
void Overlay(TFormGraficoDrt& form, int lines)
{
    const QString path = QDir::temp().filePath(QStringLiteral("vapora_bench_second_%1.txt").arg(lines));
    test::WriteFile(path.toStdString(), test::DriveRecording(lines));
    Stopwatch t;
    const bool added = form.AddRecording(path);
    QApplication::processEvents();
    const auto overlay = t.Lap();
    t = {};
    form.ShiftSecond(1);
    QApplication::processEvents();
    const auto shift = t.Lap();
    std::printf("  second recording of %d lines: read, laid over and shown %s%s | moved by a line %s\n", lines,
                Show(overlay), added ? "" : " (NOT READ)", Show(shift));
    QFile::remove(path);
}

void Run(int lines, int overlayLines = 0)
{
    const std::string text = test::DriveRecording(lines);
    const QString path = QDir::temp().filePath(QStringLiteral("vapora_bench_%1.txt").arg(lines));
    test::WriteFile(path.toStdString(), text);

    Stopwatch t;
    Recording data;
    ReadRecording(path.toStdString(), data);
    const auto parse = t.Lap();

    AppContext ctx;
    t = {};
    TFormGraficoDrt form(ctx, path);
    form.setWindowState(Qt::WindowNoState);
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();
    Paint(form);
    const auto firstPaint = t.Lap();

    int points = 0;
    for (int i = 0; i < kRecordingTraces; ++i)
        points += form.Trace(i)->count();

    QChart* chart = form.Chart();
    const QRectF area = chart->plotArea();
    t = {};
    chart->zoomIn(QRectF(area.left() + area.width() * 0.4, area.top(), area.width() * 0.05, area.height()));
    Paint(form);
    const auto zoom = t.Lap();

    t = {};
    for (int i = 0; i < 10; ++i) {
        chart->scroll(area.width() / 10, 0);
        Paint(form);
    }
    const auto scroll = t.Lap(10);

    t = {};
    form.MenuAnnullaZoomClick();
    Paint(form);
    const auto reset = t.Lap();

    std::printf("%d lines (%.1f MB, %.1f h at 150 ms), %d points drawn for %zu values\n"
                "  parse %s | open and first paint %s | zoom %s | scroll step %s | undo zoom %s\n",
                lines, text.size() / 1e6, lines * 0.15 / 3600, points, data.size() * kRecordingTraces, Show(parse),
                Show(firstPaint), Show(zoom), Show(scroll), Show(reset));

    // The cursor across the whole recording: each move read out and shown
    // (the window repaints what changed: the cursor's strip and the readout).
    const double start = form.Data().time.front(), end = form.Data().time.back();
    constexpr int kMoves = 60;
    QApplication::processEvents(); // the repaint the undone zoom left pending
    Stopwatch::Figure worst;
    t = {};
    for (int i = 0; i < kMoves; ++i) {
        const Stopwatch one;
        form.MoveCursorTo(start + (end - start) * (i + 0.5) / kMoves);
        QApplication::processEvents();
        const auto f = one.Lap();
        if (f.wall > worst.wall)
            worst = f;
    }
    const auto move = t.Lap(kMoves);

    // Two cursors a tenth and nine tenths of the way: the statistics over 80 %.
    form.PinCursor(start + (end - start) * 0.1);
    QApplication::processEvents();
    t = {};
    form.PinCursor(start + (end - start) * 0.9);
    const auto pin = t.Lap();
    QApplication::processEvents();
    t = {};
    size_t counted = 0;
    RecordingStatistics statistics;
    statistics.Build(form.Data());
    const auto summaries = t.Lap();
    t = {};
    for (int trace = 0; trace < kRecordingTraces; ++trace)
        counted += statistics
                       .Between(form.Data(), trace, RecordingTimeMs(form.Data(), form.PinnedA()),
                                RecordingTimeMs(form.Data(), form.PinnedB()))
                       .count;
    const auto query = t.Lap();
    std::printf("  cursor move with readout %s, worst %s | two-cursor statistics with readout %s "
                "(the query alone %s over %zu values; its summaries, made at open, %s)\n",
                Show(move), Show(worst), Show(pin), Show(query), counted, Show(summaries));
    if (overlayLines > 0)
        Overlay(form, overlayLines);
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
    Run(2000000, 200000);
    return 0;
}
