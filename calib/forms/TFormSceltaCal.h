#pragma once
// Asks which calibration to run: idle only, or the full one with a base map
// and the 1600 rpm point.

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace vapora {

class TDataModuleMur;

class TFormSceltaCal : public QDialog {
    Q_OBJECT
public:
    explicit TFormSceltaCal(TDataModuleMur* dictionary, QWidget* parent = nullptr);

    bool IdleOnly() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RadioEnter(QRadioButton* radio);

    QLabel* labelSceltaCal_ = nullptr;
    QRadioButton* radioCalMinimo_ = nullptr;
    QRadioButton* radioCalCompleta_ = nullptr;
    QLabel* labelCalDedicata_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
};

} // namespace vapora
