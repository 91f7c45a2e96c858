// The graph's cursors, readout, second recording and exports, driven as a
// user does (mouse, keys, menu items, the dialog seam) and checked against
// the recording file read here independently.

#include "MonitorSupport.h"
#include "RecordingFixture.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "model/Ntc.h"
#include "services/i18n/DictionarySource.h"
#include "services/i18n/TDataModuleMur.h"
#include "support/ShippedDictionary.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <sstream>

using namespace vapora;

namespace {

// A recording's lines as their 13 written fields.
std::vector<std::vector<std::string>> Lines(const std::string& text)
{
    std::vector<std::vector<std::string>> out;
    std::istringstream in(text);
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(in, line); ++skip) {
    }
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string token; fields >> token;)
            f.push_back(token);
        out.push_back(f);
    }
    return out;
}

double Num(const std::string& token) { return std::strtod(token.c_str(), nullptr); }

// The readout's value of a trace from the written fields.
double FileValue(const std::vector<std::string>& f, int trace)
{
    static const int kField[kRecordingTraces] = {1, 2, 3, 4, 5, 6, 7, 8, 11, 12};
    const double v = Num(f[kField[trace]]);
    if (trace == 9)
        return v <= 0 || v >= 255 ? NAN : NtcRawToCelsius(static_cast<int32_t>(v));
    return v;
}

struct GraphReadout : ::testing::Test {
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    AppContext ctx;
    std::unique_ptr<TDataModuleMur> dictionary;
    std::unique_ptr<TFormGraficoDrt> form;

    void SetUp() override { ctx.dialogs = &dialogs; }

    // The shipped dictionary, in language 0 (Italian) or 1 (English).
    void UseLanguage(int language)
    {
        const QString table = dir.filePath(QStringLiteral("DizVapora.dbf"));
        if (!QFile::exists(table)) {
            QString error;
            ASSERT_TRUE(MakeDictionary(test::ShippedDictionarySources(QDir(QStringLiteral(VAPORA_DATA_DIR))), table,
                                       &error))
                << error.toStdString();
            dictionary = std::make_unique<TDataModuleMur>(dialogs);
            ASSERT_TRUE(dictionary->Open(dir.path(), QStringLiteral("DizVapora.dbf")));
        }
        dictionary->SelectLanguage(language);
        ctx.dictionary = dictionary.get();
    }

    QString Write(const QString& name, const std::string& text)
    {
        const QString path = dir.filePath(name);
        test::WriteFile(path.toStdString(), text);
        return path;
    }

    TFormGraficoDrt& Open(const QString& path)
    {
        form = std::make_unique<TFormGraficoDrt>(ctx, path);
        form->setWindowState(Qt::WindowNoState);
        form->resize(1000, 700);
        form->show();
        QApplication::processEvents();
        return *form;
    }

    QAction* Action(const char* name) const { return form->findChild<QAction*>(QString::fromLatin1(name)); }
    QValueAxis* AxisX() const { return qobject_cast<QValueAxis*>(form->Chart()->axes(Qt::Horizontal).first()); }
    QString Cell(int row, int column) const { return form->Readout()->item(row, column)->text(); }

    // A mouse event on the chart at the moment `seconds`, half way down the
    // plot (moved by `by` pixels); `held` the buttons down after it.
    void Mouse(QEvent::Type type, double seconds, Qt::MouseButton button, Qt::MouseButtons held, QPointF by = {})
    {
        const QRectF plot = form->Chart()->plotArea();
        const QPointF at = QPointF(form->PositionOf(seconds), plot.center().y()) + by;
        const QPoint viewAt = form->ChartView()->mapFromScene(form->Chart()->mapToScene(at));
        QMouseEvent e(type, viewAt, form->ChartView()->viewport()->mapToGlobal(viewAt), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->ChartView()->viewport(), &e);
    }
    void Click(double seconds, Qt::MouseButton button = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonPress, seconds, button, button);
        Mouse(QEvent::MouseButtonRelease, seconds, button, Qt::NoButton);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(form->ChartView(), key, mods);
    }
};

constexpr int kTraceRow = 4; // rows: time, A, B, A to B, then the traces

} // namespace

TEST_F(GraphReadout, ValuesAreTheFilesAtTheNearestLineEvenWhereTheDrawingLeavesItOut)
{
    const std::string text = test::DriveRecording(24000);
    const auto lines = Lines(text);
    Open(Write("lunga.txt", text));
    ASSERT_EQ(form->Data().size(), lines.size());

    std::set<double> drawn;
    for (const QPointF& p : form->Trace(0)->points())
        drawn.insert(p.x());
    std::mt19937 rng(17);
    int leftOut = 0;
    for (int k = 0; k < 150; ++k) {
        const size_t line = 1 + rng() % (lines.size() - 2);
        const double ms = Num(lines[line][0]);
        leftOut += drawn.count(ms / 1000) == 0 ? 1 : 0;
        // Within a third of the way to either neighbour: still this line.
        const double jitter = (static_cast<int>(rng() % 61) - 30) * 0.001;
        form->MoveCursorTo(ms / 1000 + jitter);
        const ReadoutColumn& c = form->ReadoutOf(0);
        ASSERT_EQ(c.row, line) << "at " << ms;
        EXPECT_EQ(c.timeMs, static_cast<int64_t>(ms));
        for (int trace = 0; trace < kRecordingTraces; ++trace) {
            const double want = FileValue(lines[line], trace);
            if (std::isnan(want))
                EXPECT_TRUE(std::isnan(c.values[trace]));
            else
                ASSERT_EQ(c.values[trace], want) << "line " << line << " trace " << trace;
        }
        // What the window shows: the same numbers, no chart factor.
        EXPECT_EQ(Cell(0, 0), QString::fromStdString(SecondsText(static_cast<int64_t>(ms))));
        EXPECT_EQ(Cell(kTraceRow + 0, 0), QString::fromStdString(lines[line][1]));
        EXPECT_EQ(Num(Cell(kTraceRow + 1, 0).toStdString()), Num(lines[line][2]));
        EXPECT_EQ(Cell(kTraceRow + 7, 0), QString::fromStdString(lines[line][8]));
    }
    EXPECT_GT(leftOut, 100) << "most sampled lines are not among the drawn points";
    EXPECT_TRUE(form->Readout()->isVisible());
    EXPECT_TRUE(form->Readout()->verticalHeaderItem(kTraceRow)->text().endsWith(QStringLiteral("(rpm)")));
    // A hidden trace leaves the readout too.
    Action("MenuGiri1")->trigger();
    EXPECT_TRUE(form->Readout()->isRowHidden(kTraceRow));
}

TEST_F(GraphReadout, KeysStepTheCursorLineByLineAndStopAtTheEnds)
{
    Open(Write("passi.txt", test::DriveRecording(400)));
    const size_t last = form->Data().size() - 1;
    Key(Qt::Key_Right, Qt::ControlModifier); // the first step lands in the middle of the view
    const size_t middle = form->CursorLine();
    ASSERT_NE(middle, kNoSample);
    EXPECT_NEAR(form->Data().time[middle], (AxisX()->min() + AxisX()->max()) / 2, 0.2);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(form->CursorLine(), middle + 1);
    Key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->CursorLine(), middle - 9);
    Key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 60);
    EXPECT_EQ(form->CursorLine(), 0u);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(form->CursorLine(), 0u);
    EXPECT_EQ(Cell(0, 0), QString::fromStdString(SecondsText(RecordingTimeMs(form->Data(), 0))));
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 60);
    EXPECT_EQ(form->CursorLine(), last);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(form->CursorLine(), last);

    // Plain arrows still pan and leave the cursor; a zoomed view follows the cursor past its edge.
    const QRectF plot = form->Chart()->plotArea();
    form->Chart()->zoomIn(QRectF(plot.left() + plot.width() * 0.3, plot.top(), plot.width() / 10, plot.height()));
    const double min = AxisX()->min();
    Key(Qt::Key_Right, Qt::NoModifier);
    EXPECT_GT(AxisX()->min(), min);
    EXPECT_EQ(form->CursorLine(), last);
    form->MoveCursorTo(AxisX()->max());
    for (int i = 0; i < 40; ++i) {
        Key(Qt::Key_Right, Qt::ControlModifier);
        const double t = form->Data().time[form->CursorLine()];
        ASSERT_GE(t, AxisX()->min());
        ASSERT_LE(t, AxisX()->max());
    }

    // One line: every step stays on it.
    Open(Write("una.txt", test::DriveRecording(1)));
    Key(Qt::Key_Right, Qt::ControlModifier, 3);
    EXPECT_EQ(form->CursorLine(), 0u);
    Key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->CursorLine(), 0u);
    EXPECT_EQ(Cell(kTraceRow, 0).toInt(), form->ReadoutOf(0).values[0]);
    form->PinCursor(0);
    form->PinCursor(100);
    ASSERT_TRUE(form->BothPinned());
    EXPECT_EQ(form->StatsOf(0, 0).count, 1u);
    EXPECT_EQ(form->StatsOf(0, 0).mean, form->ReadoutOf(0).values[0]);
    // Esc still closes the window, pinned cursors or not.
    Key(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(GraphReadout, TwoClicksGiveTheSpanAndItsStatisticsARightClickClearsThem)
{
    // Few enough lines that a pixel is less than half a line's step.
    const std::string text = test::DriveRecording(300);
    const auto lines = Lines(text);
    Open(Write("due.txt", text));
    const auto& time = form->Data().time;
    Mouse(QEvent::MouseMove, time[123], Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->CursorLine(), 123u);
    Click(time[260]); // B before A: the span is the same
    // Quick enough to be a double click: still the second cursor.
    Mouse(QEvent::MouseButtonDblClick, time[41], Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, time[41], Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(form->BothPinned());
    EXPECT_EQ(form->PinnedA(), 260u);
    EXPECT_EQ(form->PinnedB(), 41u);
    EXPECT_EQ(Cell(3, 0),
              QString::fromStdString(SecondsText(static_cast<int64_t>(Num(lines[260][0]) - Num(lines[41][0])))));
    for (int trace = 0; trace < kRecordingTraces; ++trace) {
        double lo = INFINITY, hi = -INFINITY, sum = 0;
        size_t count = 0;
        for (size_t i = 41; i <= 260; ++i) {
            const double v = FileValue(lines[i], trace);
            if (std::isnan(v))
                continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            sum += v;
            ++count;
        }
        const TraceStats& s = form->StatsOf(0, trace);
        ASSERT_EQ(s.count, count) << trace;
        EXPECT_EQ(s.min, lo) << trace;
        EXPECT_EQ(s.max, hi) << trace;
        EXPECT_NEAR(s.mean, sum / count, 1e-9 * std::fabs(sum / count)) << trace;
        EXPECT_EQ(Cell(kTraceRow + trace, 3), QString::fromStdString(TraceMeanText(trace, s.mean))) << trace;
    }
    EXPECT_FALSE(form->Readout()->isColumnHidden(1));

    // A drag zooms and pins nothing; a third click starts a new pair.
    const double span = AxisX()->max() - AxisX()->min();
    Mouse(QEvent::MouseButtonPress, time[150], Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, time[150], Qt::NoButton, Qt::LeftButton, QPointF(80, 60));
    Mouse(QEvent::MouseButtonRelease, time[150], Qt::LeftButton, Qt::NoButton, QPointF(80, 60));
    EXPECT_LT(AxisX()->max() - AxisX()->min(), span / 2);
    EXPECT_EQ(form->PinnedA(), 260u);
    form->MenuAnnullaZoomClick();
    Click(time[150]);
    EXPECT_EQ(form->PinnedA(), 150u);
    EXPECT_EQ(form->PinnedB(), kNoSample);
    EXPECT_TRUE(form->Readout()->isColumnHidden(1));

    Click(time[150], Qt::RightButton);
    EXPECT_EQ(form->PinnedA(), kNoSample);
    EXPECT_FALSE(form->Chart()->isZoomed());
    Click(time[10]);
    Click(time[20]);
    Key(Qt::Key_Delete, Qt::NoModifier); // "Cancella cursori"
    EXPECT_FALSE(form->BothPinned());
    EXPECT_EQ(Cell(kTraceRow, 1), QString());
}

TEST_F(GraphReadout, CsvExportReadsBackAsTheFilesLinesInEitherLanguage)
{
    const std::string text = test::DriveRecording(1500);
    const auto lines = Lines(text);
    const QString path = Write("esporta.txt", text);
    struct Expect {
        int language;
        QChar separator, decimal;
    };
    for (const Expect& e : {Expect{0, u';', u','}, Expect{1, u',', u'.'}}) {
        SCOPED_TRACE(e.language);
        UseLanguage(e.language);
        Open(path);
        const auto& time = form->Data().time;
        form->PinCursor(time[300]);
        form->PinCursor(time[420]);
        const QString out = dir.filePath(QStringLiteral("righe%1.csv").arg(e.language));
        dialogs.fileNames.push_back(out);
        Action("MenuEsportaCsv")->trigger();
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(rows.size(), 1 + 121);
        EXPECT_TRUE(rows[0].startsWith(QStringLiteral("TEMPO (ms)") + e.separator + QStringLiteral("GIRI (rpm)")));
        EXPECT_EQ(rows[0].count(e.separator), 12);
        for (int i = 1; i < rows.size(); ++i) {
            const QStringList cells = rows[i].split(e.separator);
            ASSERT_EQ(cells.size(), 13) << rows[i].toStdString();
            for (int f = 0; f < 13; ++f) {
                QString cell = cells[f];
                EXPECT_FALSE(e.decimal != u'.' && cell.contains(u'.'));
                cell.replace(e.decimal, u'.');
                ASSERT_EQ(Num(cell.toStdString()), Num(lines[300 + i - 1][f])) << rows[i].toStdString();
            }
        }
    }
    // Without pinned cursors: the lines in view.
    form->ClearCursors();
    const QRectF plot = form->Chart()->plotArea();
    form->Chart()->zoomIn(QRectF(plot.left() + plot.width() * 0.5, plot.top(), plot.width() / 20, plot.height()));
    size_t inView = 0;
    for (const auto& l : lines)
        inView += Num(l[0]) >= AxisX()->min() * 1000 && Num(l[0]) <= AxisX()->max() * 1000 ? 1 : 0;
    ASSERT_GT(inView, 0u);
    const QString visible = dir.filePath(QStringLiteral("vista.csv"));
    ASSERT_TRUE(form->ExportCsv(visible));
    QFile file(visible);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), static_cast<qsizetype>(inView + 1));
}

TEST_F(GraphReadout, ExportsThatCannotBeWrittenSayWhyAndKeepTheOldFile)
{
    Open(Write("vecchia.txt", test::DriveRecording(100)));
    const QString target = Write("esistente.csv", "contenuto di prima");
    QFile::setPermissions(target, QFile::ReadOwner);
    EXPECT_FALSE(form->ExportCsv(target));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("esistente.csv")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("sola lettura"))) << dialogs.messages[0].text.toStdString();
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "contenuto di prima");

    // A cancelled dialog writes nothing; an image through the dialog is a PNG of the chart.
    dialogs.messages.clear();
    Action("MenuSalvaImmagine")->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    const QString png = dir.filePath(QStringLiteral("grafico.png"));
    dialogs.fileNames.push_back(png);
    Action("MenuSalvaImmagine")->trigger();
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), form->ChartView()->viewport()->size());

    // A recording of only its header has nothing to export.
    Open(Write("vuota.txt", "titolo\r\nTEMPO"));
    EXPECT_FALSE(form->ExportCsv(dir.filePath(QStringLiteral("niente.csv"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("niente.csv"))));
    EXPECT_EQ(dialogs.messages.back().icon, MsgIcon::Information);
}

TEST_F(GraphReadout, ASecondRecordingLiesOverTheFirstFromItsStartAndGoesAway)
{
    const QString first = Write("prima.txt", test::DriveRecording(800));
    // The second started 40 s into its own clock and is shorter.
    std::string text;
    AppendRecordingHeader(text, "dopo");
    for (int i = 0; i < 300; ++i) {
        RecordLine l;
        l.timeMs = static_cast<uint32_t>(40000 + i * 150);
        l.giri = 1000 + i;
        l.temperaturaRaw = 100;
        AppendRecordLine(text, l);
    }
    const QString second = Write("dopo.txt", text);
    Open(first);
    const double wholeSpan = AxisX()->max();
    EXPECT_FALSE(Action("MenuRimuoviRegistrazione")->isEnabled());

    dialogs.fileNames.push_back(second);
    Action("MenuAggiungiRegistrazione")->trigger();
    ASSERT_TRUE(form->HasSecond());
    const double start = form->Data().time[0];
    EXPECT_EQ(form->SecondOffsetMs(), RecordingTimeMs(form->Data(), 0) - 40000);
    EXPECT_NEAR(form->SecondTrace(0)->at(0).x(), start, 1e-9);
    EXPECT_TRUE(form->SecondTrace(0)->isVisible());
    EXPECT_EQ(form->SecondTrace(0)->pen().style(), Qt::DashLine);
    EXPECT_EQ(form->SecondTrace(0)->pen().color(), form->Trace(0)->pen().color());
    EXPECT_FALSE(form->Readout()->isColumnHidden(4));

    // At the first's line 100 the second reads its own line 100; moved by two lines, line 98.
    form->MoveCursorTo(form->Data().time[100]);
    const int64_t cursorMs = RecordingTimeMs(form->Data(), 100);
    EXPECT_EQ(form->ReadoutOf(1).row, NearestSample(form->SecondData(), cursorMs - form->SecondOffsetMs()));
    Action("MenuSpostaDestra")->trigger();
    Action("MenuSpostaDestra")->trigger();
    EXPECT_EQ(form->SecondOffsetMs(), RecordingTimeMs(form->Data(), 0) - 40000 + 300);
    EXPECT_NEAR(form->SecondTrace(0)->at(0).x(), start + 0.3, 1e-9);
    EXPECT_EQ(form->ReadoutOf(1).row, NearestSample(form->SecondData(), cursorMs - form->SecondOffsetMs()));
    EXPECT_EQ(form->ReadoutOf(1).values[0], 1000 + static_cast<double>(form->ReadoutOf(1).row));
    Action("MenuAllineaInizio")->trigger();
    EXPECT_EQ(form->SecondOffsetMs(), RecordingTimeMs(form->Data(), 0) - 40000);
    // Past the second's end it reads nothing.
    form->MoveCursorTo(form->Data().time[700]);
    EXPECT_EQ(form->ReadoutOf(1).row, kNoSample);
    EXPECT_EQ(Cell(kTraceRow, 4), QString());
    // Statistics of both over the same span, the second on its own clock.
    form->PinCursor(form->Data().time[10]);
    form->PinCursor(form->Data().time[20]);
    size_t count = 0;
    double lo = INFINITY;
    for (int i = 0; i < 300; ++i) {
        const int64_t t = 40000 + i * 150 + form->SecondOffsetMs();
        if (t >= RecordingTimeMs(form->Data(), 10) && t <= RecordingTimeMs(form->Data(), 20)) {
            ++count;
            lo = std::min(lo, 1000.0 + i);
        }
    }
    EXPECT_GE(count, 10u);
    EXPECT_EQ(form->StatsOf(1, 0).count, count);
    EXPECT_EQ(form->StatsOf(1, 0).min, lo);

    // A file that does not read leaves the pair as it was.
    dialogs.fileNames.push_back(Write("rotta.txt", "titolo\r\nTEMPO\r\n0 1 2"));
    Action("MenuAggiungiRegistrazione")->trigger();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.startsWith(QStringLiteral("Formato file non valido")));
    EXPECT_TRUE(form->HasSecond());

    Action("MenuRimuoviRegistrazione")->trigger();
    EXPECT_FALSE(form->HasSecond());
    EXPECT_FALSE(form->SecondTrace(0)->isVisible());
    EXPECT_EQ(form->SecondTrace(0)->count(), 0);
    EXPECT_TRUE(form->Readout()->isColumnHidden(4));
    EXPECT_FALSE(Action("MenuSpostaDestra")->isEnabled());
    EXPECT_EQ(AxisX()->max(), wholeSpan);
    // The whole view is the same after adding and removing, however often.
    Open(Write("corta.txt", test::DriveRecording(200)));
    const double shortSpan = AxisX()->max();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(form->AddRecording(second));
        EXPECT_GE(AxisX()->max(), form->Data().time.back());
        form->RemoveRecording();
        EXPECT_EQ(AxisX()->max(), shortSpan);
    }
    // Only the first recording has legend entries.
    for (QLegendMarker* marker : form->Chart()->legend()->markers())
        if (marker->series()->objectName().startsWith(QStringLiteral("TracciaSeconda"))) {
            EXPECT_FALSE(marker->isVisible());
        }
}

TEST_F(GraphReadout, AccessKeysAndShortcutsAreUniqueInEitherLanguage)
{
    const QString path = Write("tasti.txt", test::DriveRecording(10));
    for (int language : {0, 1}) {
        SCOPED_TRACE(language);
        UseLanguage(language);
        Open(path);
        auto key = [](const QString& text) {
            const qsizetype at = text.indexOf(u'&');
            return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
        };
        // The menu bar with the OK button, then each menu on its own.
        std::vector<std::pair<QString, QList<QAction*>>> levels;
        QList<QAction*> top = form->findChild<QMenuBar*>()->actions();
        levels.push_back({QStringLiteral("menu bar"), top});
        for (QMenu* menu : form->findChildren<QMenu*>())
            levels.push_back({menu->objectName(), menu->actions()});
        for (const auto& [name, actions] : levels) {
            std::map<QChar, QString> seen;
            if (name == QStringLiteral("menu bar"))
                seen[key(form->findChild<QPushButton*>(QStringLiteral("ButtonOk"))->text())] = QStringLiteral("OK");
            for (QAction* a : actions) {
                if (a->isSeparator() || !a->isVisible() || a->objectName().startsWith(QStringLiteral("MenuVuoto")))
                    continue;
                const QChar k = key(a->text());
                ASSERT_FALSE(k.isNull()) << name.toStdString() << ": " << a->text().toStdString();
                EXPECT_TRUE(seen.insert({k, a->text()}).second)
                    << name.toStdString() << ": " << a->text().toStdString() << " and " << seen[k].toStdString();
            }
        }
        // The Elimina menu shows every trace at start; Aggiungi needs them hidden to show its items.
        for (int i = 0; i < kRecordingTraces; ++i)
            form->SetTraceShown(i, false);
        std::map<QChar, QString> seen;
        for (QAction* a : form->findChild<QMenu*>(QStringLiteral("MenuAggiungi"))->actions()) {
            if (!a->isVisible() || !a->isEnabled())
                continue;
            EXPECT_TRUE(seen.insert({key(a->text()), a->text()}).second) << a->text().toStdString();
        }

        // Shortcuts: one action each, none taken from the chart's own keys.
        const std::set<QKeySequence> chartKeys = {
            QKeySequence(Qt::Key_Left), QKeySequence(Qt::Key_Right), QKeySequence(Qt::Key_Up),
            QKeySequence(Qt::Key_Down), QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Left),
            QKeySequence(Qt::CTRL | Qt::Key_Right), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)};
        std::set<QKeySequence> shortcuts;
        for (QAction* a : form->findChildren<QAction*>()) {
            if (a->shortcut().isEmpty())
                continue;
            EXPECT_TRUE(shortcuts.insert(a->shortcut()).second) << a->shortcut().toString().toStdString();
            EXPECT_EQ(chartKeys.count(a->shortcut()), 0u) << a->shortcut().toString().toStdString();
        }
        EXPECT_GE(shortcuts.size(), 9u);
    }
}
