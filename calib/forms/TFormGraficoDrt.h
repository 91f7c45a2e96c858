#pragma once
// A recording drawn as ten traces against time. The whole file is read when
// the window is made; each trace is drawn thinned to the plot's pixel columns
// and thinned again whenever the visible span changes (zoom, scroll).

#include "calib/Recording.h"
#include "PrintTarget.h"

#include <QDialog>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QChart;
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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static void RoundAxisTicks(QValueAxis* axis, int intervals);
    void BuildMenus();
    void BuildChart();
    void LoadTexts();
    void Populate();
    void UpdateTrace(int index);

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
};

} // namespace vapora
