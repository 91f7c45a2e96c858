#pragma once
// The road calibration window: reads the unit while the car is driven, lets
// RoadCalibration take the samples, shows them per RPM column and, on the
// final confirmation, adds them into the gas map.

#include "calib/RoadCalibration.h"

#include <QColor>
#include <QDialog>
#include <QWidget>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vapora {

struct AppContext;

// DrawGridGiri: row 0 the RPM of each shown column, row 1 its samples.
class RpmColumnGrid : public QWidget {
    Q_OBJECT
public:
    explicit RpmColumnGrid(QWidget* parent);
    void Show(const RoadCalibration* road, int firstColumn, int lastColumn, const QColor& notSampled,
              const QColor& sampled);
    int shownColumns() const { return last_ - first_ + 1; }
    int firstColumn() const { return first_; }
    // The fill of a column's sample cell.
    QColor CellColour(int column) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const RoadCalibration* road_ = nullptr;
    int first_ = 0;
    int last_ = 0;
    QColor notSampled_;
    QColor sampled_;
};

class TFormCalibraStrada : public QDialog {
    Q_OBJECT
public:
    static inline const QColor kGridColour{176, 186, 200};
    static constexpr int kModalDone = 1;

    explicit TFormCalibraStrada(AppContext& ctx, QWidget* parent = nullptr);

    // TimerUpdate's tick: read, sample, draw.
    void Tick();
    void ButtonConfermaClick();
    void ButtonModificaClick();

    const RoadCalibration& machine() const { return road_; }
    RpmColumnGrid* grid() const { return drawGridGiri_; }
    QTimer* timer() const { return timerUpdate_; }
    // The summary shown after the map was changed, empty before.
    const QString& summary() const { return summary_; }

private:
    void BuildControls();
    void LoadTexts();
    void Read();
    void Draw();
    void Finish();
    void ChangeMap();
    void LayoutGrid();

    AppContext& ctx_;
    RoadCalibration road_;
    QColor notSampled_ = kGridColour;
    QColor sampled_{255, 255, 255};
    int lastShownColumn_ = 16;
    int lastCorrection_ = 0x7fffffff;
    QString summary_;

    QString textRoad_, textIdlePrompt_, textIdleWait_, textQuestion_, textUpdating_, voltUnit_;

    QLabel* labelPosMotore_ = nullptr;
    RpmColumnGrid* drawGridGiri_ = nullptr;
    QLabel* labelMessaggio_ = nullptr;
    QGroupBox* groupCorr_ = nullptr;
    QLabel* labelCorrettore_ = nullptr;
    QGroupBox* groupLambda_ = nullptr;
    QLabel* labLambda_ = nullptr;
    QGroupBox* groupTps_ = nullptr;
    QLabel* labTps_ = nullptr;
    QPushButton* buttonConferma_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
    QPushButton* buttonModifica_ = nullptr;
    QProgressBar* progressBarCalibra_ = nullptr;
    QTimer* timerUpdate_ = nullptr;
};

} // namespace vapora
