#pragma once
// The parameter display: a full-screen panel of big bars, readable from a
// distance, refreshed five times a second from the unit's engine block.
// It only reads from the unit.

#include "calib/DisplayBars.h"
#include "calib/LiveFrame.h"

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace vapora {

struct AppContext;

class TFormVisualizza : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 200;

    TFormVisualizza(AppContext& ctx, QWidget* parent = nullptr);
    ~TFormVisualizza() override;

    // One refresh, as the timer runs it.
    void Timer1Timer();
    QTimer* Timer1() const { return timer1_; }
    const EngineValues& Values() const { return current_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* MakeLabel(const QString& name, const QString& text, Qt::Alignment align);
    QFrame* MakePanel(const QString& name);
    QWidget* MakeShape(QFrame* panel, const QString& name);
    void LoadTexts();
    void Layout();
    void Draw(bool force);
    QString Volts(double v) const;

    AppContext& ctx_;
    // Fixed at creation.
    double lambdaThreshold_ = 0;
    bool lambdaDirection_ = false;
    DisplayLambdaScale lambdaScale_;
    DisplayPressureBand band_;
    bool twoProbes_ = false;
    bool kind3_ = false;
    QString voltUnit_ = QStringLiteral(" V");
    QString rpmUnit_ = QStringLiteral(" rpm");

    EngineValues current_;
    EngineValues previous_;

    QLabel *labelGiri_, *labGiri_, *labelLambda_, *labLambda_, *labelLambda2_, *labLambda2_, *labelTps_, *labTps_;
    QLabel *labelSvitare_, *labelOk_, *labelAvvitare_;
    QFrame *panelGiri_, *panelLambda_, *panelLambda2_, *panelTps_, *panelPressione_;
    QWidget *shapeGiri_, *shapeLambda_, *shapeLambda2_;
    QWidget *shapeTpsMin_, *shapeMiddle_, *shapeSbana_;
    QWidget *shapePressioneBassa_, *shapePressioneOK_, *shapePressioneAlta_;
    QPushButton* buttonEsci_;
    QTimer* timer1_;
};

} // namespace vapora
