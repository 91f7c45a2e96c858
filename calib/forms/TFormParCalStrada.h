#pragma once
// The road calibration's tuning values and grid colours.

#include "calib/RoadCalibration.h"

#include <QColor>
#include <QDialog>

#include <functional>

class QPushButton;
class QSpinBox;

namespace vapora {

class TDataModuleMur;

class TFormParCalStrada : public QDialog {
    Q_OBJECT
public:
    TFormParCalStrada(const RoadTuning& tuning, const QColor& notSampled, const QColor& sampled,
                      QWidget* parent = nullptr, TDataModuleMur* dictionary = nullptr);

    RoadTuning Tuning() const;
    QColor NotSampledColour() const { return notSampled_; }
    QColor SampledColour() const { return sampled_; }

    // Opens the colour dialog on a colour; an invalid answer means cancelled.
    std::function<QColor(const QColor&, QWidget*)> chooseColour;

    void BoxColorGridClick();
    void BoxColorAcqGridClick();

private:
    void Paint(QPushButton* box, const QColor& colour);

    RoadTuning tuning_;
    QColor notSampled_;
    QColor sampled_;
    QSpinBox* editInversioni_ = nullptr;
    QSpinBox* editColonneMin_ = nullptr;
    QSpinBox* editTempoMin_ = nullptr;
    QSpinBox* editTempoMax_ = nullptr;
    QSpinBox* editTollGiri_ = nullptr;
    QSpinBox* editTollTps_ = nullptr;
    QPushButton* boxColorGrid_ = nullptr;
    QPushButton* boxColorAcqGrid_ = nullptr;
};

} // namespace vapora
