#pragma once
// "Temperatura": the unit's ten temperature references (the first and last as
// raw bytes, the others in degrees) and its nine temperature coefficients.
// OK writes all nineteen values back to the record, and so to the unit.

#include <QDialog>

#include <array>

class QPushButton;

namespace vapora {

class ConfCar;
class TDataModuleMur;
class TNumericEdit;

class TFormTemperatura : public QDialog {
    Q_OBJECT
public:
    TFormTemperatura(ConfCar& car, QWidget* parent = nullptr, TDataModuleMur* dictionary = nullptr);

    TNumericEdit* EditRif(int index) const { return rif_[static_cast<size_t>(index)]; }
    TNumericEdit* EditCoeff(int index) const { return coeff_[static_cast<size_t>(index)]; }
    QPushButton* ButtonOk() const { return buttonOk_; }
    QPushButton* ButtonEsci() const { return buttonEsci_; }

    void ButtonOkClick();

private:
    ConfCar& car_;
    std::array<TNumericEdit*, 10> rif_{};
    std::array<TNumericEdit*, 9> coeff_{};
    QPushButton* buttonOk_;
    QPushButton* buttonEsci_;
};

} // namespace vapora
