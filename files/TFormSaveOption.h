#pragma once
// The small dialog the main window's save shows after its file dialog: the
// official flag, the calibration-map scope, the fuel and the displacement.
// It has no logic of its own; the save command fills and reads it.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vapora {

class TDataModuleMur;

class TFormSaveOption final : public QDialog {
    Q_OBJECT
public:
    explicit TFormSaveOption(TDataModuleMur* dictionary, QWidget* parent = nullptr);

    void SetDisplacement(int cc);
    int Displacement() const;
    void SetMethane(bool on);
    bool Methane() const;
    bool Official() const;
    bool ForCalibration() const;
    // What was said about the last digit the displacement could not take (empty: none).
    QString LastRefusal() const { return lastRefusal_; }

private:
    QCheckBox* checkUfficiale_ = nullptr;
    QCheckBox* checkCalibra_ = nullptr;
    QCheckBox* checkMetano_ = nullptr;
    QLabel* labelCilindrata_ = nullptr;
    QSpinBox* editCilindrata_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
    QString messCifraRifiutata_{QStringLiteral("Cifra non accettata: il campo ammette valori da %1 a %2.")};
    QString lastRefusal_;
};

} // namespace vapora
