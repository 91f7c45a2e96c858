#pragma once
// The second page of the guided calibration: the controlled return to idle
// and the air-conditioning effect, switched and tuned while watching the
// engine speed and the probes. Every change reaches the unit at once.

#include "calib/LiveFrame.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace vapora {

struct AppContext;
class TNumericEdit;

class TFormCalibra2 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kParamIdleReturn = 1097;
    static constexpr int kIdleReturnOff = 100;

    explicit TFormCalibra2(AppContext& ctx, QWidget* parent = nullptr);

    // TimerDati's tick.
    void Tick();
    void CheckRientroMinClick();
    void CheckClimaClick();
    void EditRientroMinimoEnter();
    void EditClimaEnter();

    QTimer* timer() const { return timerDati_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LoadTexts();
    int BarLength(QFrame* panel, double fraction) const;
    void ShowProbe(double volts, QLabel* label, QFrame* panel, QFrame* shape);
    bool Lean(double volts) const;

    AppContext& ctx_;
    bool initialising_ = true;
    int rememberedIdleReturn_ = 0;
    int rememberedClimate_ = 0;
    double threshold_ = 0;
    bool bit0_ = false;
    double span_ = 1.0;
    double offset_ = 0;
    bool twoProbes_ = false;
    QString rpmUnit_ = QStringLiteral("rpm");
    QString voltUnit_ = QStringLiteral("V");
    EngineValues values_;
    EngineValues previous_;
    bool first_ = true;

    QCheckBox* checkRientroMin_ = nullptr;
    QLabel* labelCorrMin_ = nullptr;
    TNumericEdit* editRientroMinimo_ = nullptr;
    QLabel* labelIntRientro_ = nullptr;
    QCheckBox* checkClima_ = nullptr;
    QLabel* labelClima_ = nullptr;
    TNumericEdit* editClima_ = nullptr;
    QLabel* labelIntClima_ = nullptr;
    QLabel* labelGiri_ = nullptr;
    QLabel* labGiri_ = nullptr;
    QFrame* panelGiri_ = nullptr;
    QFrame* shapeGiri_ = nullptr;
    QLabel* labelLambda_ = nullptr;
    QLabel* labLambda_ = nullptr;
    QFrame* panelLambda_ = nullptr;
    QFrame* shapeLambda_ = nullptr;
    QLabel* labelLambda2_ = nullptr;
    QLabel* labLambda2_ = nullptr;
    QFrame* panelLambda2_ = nullptr;
    QFrame* shapeLambda2_ = nullptr;
    QPushButton* buttonEsci_ = nullptr;
    QTimer* timerDati_ = nullptr;
};

} // namespace vapora
