#pragma once
// A recording drawn as ten traces against time. The whole file is read when
// the window is made; each trace is drawn thinned to the plot's pixel columns
// and thinned again whenever the visible span changes (zoom, scroll).
// A cursor reads the file's own values at the nearest line; two pinned
// cursors give the span's statistics; a second recording can be laid over
// the first, dashed; lines and the chart can be exported.

#include "calib/Recording.h"
#include "calib/RecordingReadout.h"
#include "PrintTarget.h"

#include <QDialog>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QChart;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QTableWidget;
class QChartView;
class QLineSeries;
class QMenu;
class QMenuBar;
class QPushButton;
class QValueAxis;

namespace vapora {

struct AppContext;

class TFormGraficoDrt : public QDialog {
    Q_OBJECT
public:
    // Reads the file. A missing file leaves the window unloaded without a word;
    // an unreadable or malformed one shows the bad-file message first.
    TFormGraficoDrt(AppContext& ctx, const QString& fileName, QWidget* parent = nullptr);
    ~TFormGraficoDrt() override;

    // Opens the graph of a recording modally (through the dialog service) when
    // the file reads; what the configuration window's "Visualizza grafico" calls.
    // False when nothing was shown.
    static bool ShowRecording(AppContext& ctx, QWidget* parent, const QString& fileName);

    bool Loaded() const { return loaded_; }
    const Recording& Data() const { return data_; }
    QChart* Chart() const { return chart_; }
    QChartView* ChartView() const { return chartView_; }
    QLineSeries* Trace(int index) const { return series_[index]; }
    QString TraceTitle(int index) const;
    int ShownCount() const { return shownCount_; }
    int HiddenCount() const { return kRecordingTraces - shownCount_; }

    void SetPrintTarget(std::unique_ptr<PrintTarget> target) { printTarget_ = std::move(target); }

    // Menu commands.
    void SetTraceShown(int index, bool shown);
    void MenuAnnullaZoomClick();
    void MenuStampaClick();
    // Draws the chart as it is on the screen into one page of a painter.
    void RenderChart(class QPainter& painter, const QRectF& target);
    // Re-thins every shown trace for the current span and plot width.
    void UpdateTraces();

    // Cursors. The moving cursor sits on the line nearest a moment; a click
    // pins cursor A, the next one B, a third starts again from A.
    void MoveCursorTo(double seconds);
    // Ctrl+Left/Right: by lines of the recording, stopping at its ends.
    void StepCursor(int lines);
    void PinCursor(double seconds);
    void ClearCursors();
    size_t CursorLine() const { return cursor_; }
    size_t PinnedA() const { return pinA_; }
    size_t PinnedB() const { return pinB_; }
    bool BothPinned() const { return pinA_ != kNoSample && pinB_ != kNoSample; }
    // The readout: the moving cursor's column of each recording (1 the second)
    // and the statistics between the pinned cursors.
    const ReadoutColumn& ReadoutOf(int recording) const { return readout_[recording]; }
    const TraceStats& StatsOf(int recording, int trace) const { return stats_[recording][trace]; }
    QTableWidget* Readout() const { return gridLettura_; }
    // Chart position (x) of a moment, and the moment under a chart position.
    double PositionOf(double seconds) const;
    double SecondsAt(double x) const;

    // A second recording over the first. False, with the reason shown, when
    // the file does not read; the first stays alone then.
    bool AddRecording(const QString& fileName);
    void RemoveRecording();
    bool HasSecond() const { return hasSecond_; }
    const Recording& SecondData() const { return second_; }
    QLineSeries* SecondTrace(int index) const { return secondSeries_[index]; }
    // What to add to the second recording's times to draw it over the first.
    int64_t SecondOffsetMs() const;
    // Moves the second recording by whole lines of its own.
    void ShiftSecond(int lines);
    void AlignSecond();

    // Exports: the lines between the pinned cursors, else those in view, with
    // the language's separator and decimal mark; the chart as it is drawn.
    // An empty name asks for one through the save dialog. False, with the
    // reason shown, when nothing was written.
    bool ExportCsv(const QString& fileName);
    bool SaveImage(const QString& fileName);

    void MenuAggiungiRegistrazioneClick();
    void MenuEsportaCsvClick();
    void MenuSalvaImmagineClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static void RoundAxisTicks(QValueAxis* axis, int intervals);
    void BuildMenus();
    void BuildChart();
    void BuildReadout();
    void LabelReadout();
    void LoadTexts();
    void Populate();
    void UpdateTrace(int index);
    void UpdateSecondTrace(int index);
    void HideSecondMarkers();
    int TimeIntervals() const;
    // The full view over both recordings, from their ranges measured once.
    void ShowWholeSpan();
    void MeasureSpan(const Recording& recording, int which);

    void SetCursorLine(size_t line);
    void PlaceCursors();
    void UpdateReadout();
    void UpdateStatistics();
    void ShowReadoutParts();
    void FitReadout();
    void SetCell(int row, int column, const QString& text);
    QString ValueText(int trace, double value, bool hasLine) const;
    void UpdateSecondMenus();
    bool WriteExport(const QString& fileName, const std::string& bytes);
    QString ExportName(const QString& suffix) const;
    QString FileErrorText(int error) const;

    AppContext& ctx_;
    QString fileName_;
    bool loaded_ = false;
    Recording data_;
    QString badFileText_ = QStringLiteral("Formato file non valido");

    QMenuBar* menuBar_ = nullptr;
    QMenu* menuGrafico_ = nullptr;
    QMenu* menuTracce_ = nullptr;
    QMenu* menuAggiungi_ = nullptr;
    QMenu* menuElimina_ = nullptr;
    QAction* menuAnnullaZoom_ = nullptr;
    QAction* menuStampa_ = nullptr;
    QAction* menuEsci_ = nullptr;
    std::array<QAction*, kRecordingTraces> aggiungi_{};
    std::array<QAction*, kRecordingTraces> elimina_{};
    QAction* menuVuoto_ = nullptr;
    QAction* menuVuoto1_ = nullptr;
    int shownCount_ = kRecordingTraces;

    QChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    std::array<QLineSeries*, kRecordingTraces> series_{};
    std::array<QString, kRecordingTraces> titles_;
    QPushButton* buttonOk_ = nullptr;

    std::unique_ptr<PrintTarget> printTarget_;
    std::vector<XY> scratch_;
    bool updating_ = false;

    // Menu items of the readout, the second recording and the exports.
    QMenu* menuConfronto_ = nullptr;
    QAction* menuEsportaCsv_ = nullptr;
    QAction* menuSalvaImmagine_ = nullptr;
    QAction* menuCancellaCursori_ = nullptr;
    QAction* menuAggiungiRegistrazione_ = nullptr;
    QAction* menuRimuoviRegistrazione_ = nullptr;
    QAction* menuSpostaSinistra_ = nullptr;
    QAction* menuSpostaDestra_ = nullptr;
    QAction* menuAllineaInizio_ = nullptr;

    RecordingStatistics statistics_;
    std::array<ValueRange, 2> timeRange_{};
    std::array<ValueRange, 2> valueRange_{};
    size_t cursor_ = kNoSample;
    size_t pinA_ = kNoSample;
    size_t pinB_ = kNoSample;
    std::array<ReadoutColumn, 2> readout_{};
    std::array<std::array<TraceStats, kRecordingTraces>, 2> stats_{};

    bool hasSecond_ = false;
    QString secondName_;
    Recording second_;
    RecordingStatistics secondStatistics_;
    int64_t secondShiftMs_ = 0;
    std::array<QLineSeries*, kRecordingTraces> secondSeries_{};

    QTableWidget* gridLettura_ = nullptr;
    std::vector<int> readoutWidths_;
    QGraphicsLineItem* cursorItem_ = nullptr;
    std::array<QGraphicsLineItem*, 2> pinItems_{};
    std::array<QGraphicsSimpleTextItem*, 2> pinLabels_{};
    QGraphicsRectItem* spanItem_ = nullptr;

    // Texts of the readout, the exports and their messages.
    struct Texts {
        QString cursor = QStringLiteral("Cursore");
        QString min = QStringLiteral("Min");
        QString max = QStringLiteral("Max");
        QString mean = QStringLiteral("Media");
        QString second = QStringLiteral("(2)");
        QString time = QStringLiteral("Tempo (s)");
        QString cursorA = QStringLiteral("Cursore A (s)");
        QString cursorB = QStringLiteral("Cursore B (s)");
        QString delta = QStringLiteral("Durata A-B (s)");
        QString notAvailable = QStringLiteral("n.d.");
        QString rpm = QStringLiteral("rpm");
        QString volt = QStringLiteral("V");
        QString bar = QStringLiteral("bar");
        QString celsius = QString::fromUtf8("\u00b0C");
        QString openTitle = QStringLiteral("Apri file dati in tempo reale");
        QString openFilter = QStringLiteral("Acquisizioni in tempo reale");
        QString csvTitle = QStringLiteral("Esporta CSV");
        QString csvFilter = QStringLiteral("File CSV");
        QString imageTitle = QStringLiteral("Salva immagine");
        QString imageFilter = QStringLiteral("Immagini PNG");
        QString nothingToExport = QStringLiteral("Nessuna riga della registrazione nell'intervallo da esportare.");
        QString notSaved = QStringLiteral("Il file non \u00e8 stato salvato:");
        QString missing = QStringLiteral("Il file o la sua cartella non esiste.");
    } texts_;
    CsvFormat csvFormat_;
};

} // namespace vapora
