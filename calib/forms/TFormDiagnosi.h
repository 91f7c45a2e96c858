#pragma once
// The unit's self-diagnosis: which checks are in error, which are enabled,
// and the two operating-time counters. Every change goes straight to the unit.

#include "calib/DiagnosisChecks.h"

#include <QDialog>
#include <QString>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace vapora {

struct AppContext;

class TFormDiagnosi : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 5000;

    TFormDiagnosi(AppContext& ctx, QWidget* parent = nullptr);
    ~TFormDiagnosi() override;

    // The timer's tick: a refresh while a unit is connected.
    void Timer1Timer();
    QTimer* Timer1() const { return timer1_; }

    void ButtonAzzeraErroriClick();
    void ButtonAzzeraTempiClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadTexts();
    void Refresh();
    void CheckClick(QCheckBox* box);
    void ShowState(int n, bool error);
    QString TimeText(int minutes) const;

    AppContext& ctx_;
    QString hoursUnit_ = QStringLiteral("ore");
    QString minutesUnit_ = QStringLiteral("minuti");
    QString okText_ = QStringLiteral("OK");
    QString errorText_ = QStringLiteral("ERRORE");
    QString confirmText_ = QStringLiteral("Sei sicuro di voler azzerare i tempi di funzionamento?");

    std::array<QCheckBox*, kDiagChecks> checks_{};
    std::array<QLabel*, kDiagChecks> states_{};
    QLabel *labelTitolo_, *image1_, *labelAbilitaz_;
    QLabel *labelTempoGas_, *labelTGas_, *labelTempoBenzina_, *labelTBenz_;
    QPushButton *buttonAzzeraErrori_, *buttonAzzeraTempi_, *buttonEsci_;
    QTimer* timer1_;
};

} // namespace vapora
