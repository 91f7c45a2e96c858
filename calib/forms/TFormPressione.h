#pragma once
// "Modifica del coefficiente di calcolo della pressione": the weight of the
// manifold pressure in the gas pressure shown, for the current fuel. The
// caller fills it and reads it back.

#include <QDialog>

class QLabel;
class QPushButton;

namespace vapora {

struct AppContext;
class TNumericEdit;

class TFormPressione : public QDialog {
    Q_OBJECT
public:
    explicit TFormPressione(AppContext& ctx, QWidget* parent = nullptr);

    TNumericEdit* EditCoeff() const { return editCoeff_; }
    QLabel* LabelGAS() const { return labelGas_; }
    QPushButton* ButtonOk() const { return buttonOk_; }
    QPushButton* ButtonAnnulla() const { return buttonAnnulla_; }

private:
    TNumericEdit* editCoeff_;
    QLabel* labelGas_;
    QPushButton* buttonOk_;
    QPushButton* buttonAnnulla_;
};

} // namespace vapora
