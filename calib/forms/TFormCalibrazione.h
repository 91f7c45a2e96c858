#pragma once
// The guided calibration window: the displacement and base map in the full
// form, then the steps on the running engine. The steps live in
// GuidedCalibration; this window reads the unit, shows and forwards keys.

#include "calib/GuidedCalibration.h"

#include <QDialog>
#include <QString>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vapora {

struct AppContext;

class TFormCalibrazione : public QDialog {
    Q_OBJECT
public:
    static constexpr int kModalCancel = QDialog::Rejected;

    // folder: the calibration folder (main folder + "/Calibrazione").
    TFormCalibrazione(AppContext& ctx, bool idleOnly, const QString& folder, QWidget* parent = nullptr);

    // Creation already decided the outcome (no unit): do not show the window.
    bool ModalResultPreset() const { return presetResult_; }

    // TimerBlink's tick: one live block, then the step logic.
    void Tick();
    // Enter in the displacement entry.
    void EditCilindrataEnter();
    // A key with the window's key preview; true when consumed.
    bool FormKeyDown(int key);
    void ButtonNextClick();
    void ButtonCalStradaClick();

    const GuidedCalibration& machine() const { return machine_; }
    QTimer* timer() const { return timerBlink_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusButton(QPushButton* button);
    void BuildControls();
    void LoadTexts();
    void ShowEngine();
    void ShowStatus();
    void Render();
    bool ChooseBaseMap(); // false when the window closed for want of a file
    void ApplyCorrections();
    QString TextOf(GuidedText text) const;
    bool IsFull() const { return !machine_.idleOnly(); }

    AppContext& ctx_;
    QString folder_;
    GuidedCalibration machine_;
    bool presetResult_ = false;
    bool keyPreview_ = false;
    bool engineTick_ = true;
    bool limitsSaved_ = false;
    bool limitsRestored_ = false;
    int savedLimits_[4]{};
    QString volt_;

    // Texts.
    QString textStep1_, textStep2_, textStep3_, textPrompt_, textCalibra_, textWarmUp_, textNd_, textOk_,
        textUpdating_, textGas_, textPetrol_, textNoFile_, textNoEcu_;

    QLabel* labelCilindrata_ = nullptr;
    QLineEdit* editCilindrata_ = nullptr;
    QLabel* labelOperazione_ = nullptr;
    QLabel* labelMessaggio_ = nullptr;
    QProgressBar* progressBarCalibra_ = nullptr;
    QGroupBox* groupGiri_ = nullptr;
    QLabel* labelGiri_ = nullptr;
    QLabel* unitaGiri_ = nullptr;
    QGroupBox* groupTemp_ = nullptr;
    QLabel* labelTemp_ = nullptr;
    QLabel* unitaGradi_ = nullptr;
    QGroupBox* groupCarb_ = nullptr;
    QLabel* labelCarb_ = nullptr;
    QGroupBox* groupLambda_ = nullptr;
    QLabel* labLambda_ = nullptr;
    QGroupBox* groupTps_ = nullptr;
    QLabel* labTps_ = nullptr;
    QLabel* labelSvitare_ = nullptr;
    QLabel* labelOk_ = nullptr;
    QLabel* labelAvvitare_ = nullptr;
    QFrame* panelPressione_ = nullptr;
    QFrame* shapePressioneBassa_ = nullptr;
    QFrame* shapePressioneOK_ = nullptr;
    QFrame* shapePressioneAlta_ = nullptr;
    QPushButton* buttonNext_ = nullptr;
    QPushButton* buttonCalStrada_ = nullptr;
    QPushButton* buttonEsci_ = nullptr;
    QTimer* timerBlink_ = nullptr;
};

} // namespace vapora
