#pragma once
// "Variazione cella": the value and mode asked before a block of map or grid
// cells is changed. Created once by the configuration window and reused by the
// gas map, petrol map, enrichment and step grids. Each use passes a value and
// a mode in and gets both back, whichever button closed the dialog; callers
// act only on OK.

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vapora {

class DialogService;

class TFormModMappa : public QDialog {
    Q_OBJECT
public:
    explicit TFormModMappa(DialogService* dialogs, QWidget* parent = nullptr);

    // Whole numbers, at most 4 characters (gas map, enrichment, step grids).
    bool RunInteger(int& value, int& mode);
    // Decimals with at most two places typed, at most 5 characters (petrol map).
    bool RunDecimal(double& value, int& mode);

    // The emission grids fill blocks with one absolute value: no mode choice.
    void SetModesEnabled(bool on);
    bool DecimalMode() const { return decimal_; }

    QLineEdit* Edit1() const { return edit1_; }
    QGroupBox* GroupModalita() const { return groupModalita_; }
    QRadioButton* ModeButton(int mode) const { return modes_[mode]; }
    QPushButton* ButtonOK() const { return buttonOk_; }
    QPushButton* ButtonAnnulla() const { return buttonAnnulla_; }
    int SelectedMode() const;

    // Keys typed into Edit1: true when the key is refused.
    bool Edit1KeyPress(class QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Run(const QString& text, int mode, bool decimal, int maxLength);

    DialogService* dialogs_;
    bool decimal_ = false;
    QLineEdit* edit1_;
    QGroupBox* groupModalita_;
    QRadioButton* modes_[3];
    QPushButton* buttonOk_;
    QPushButton* buttonAnnulla_;
};

} // namespace vapora
