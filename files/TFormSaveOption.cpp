#include "files/TFormSaveOption.h"
#include "services/ui/Scaling.h"

#include "files/FormSupport.h"
#include "widgets/RefusedDigitWatch.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolTip>

namespace vapora {

using namespace filesui;

TFormSaveOption::TFormSaveOption(TDataModuleMur* dictionary, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormSaveOption"));
    setWindowTitle(QStringLiteral("Opzioni di salvataggio"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 300), Scaled(k, 196));

    checkUfficiale_ = new QCheckBox(QStringLiteral("&File ufficiale"), this);
    checkUfficiale_->setObjectName(QStringLiteral("CheckUfficiale"));
    checkUfficiale_->setChecked(true);
    at(checkUfficiale_, 20, 14, 260, 24);

    checkCalibra_ = new QCheckBox(QStringLiteral("Salva &mappa per calibrazione"), this);
    checkCalibra_->setObjectName(QStringLiteral("CheckCalibra"));
    at(checkCalibra_, 20, 40, 260, 24);

    checkMetano_ = new QCheckBox(QStringLiteral("&Carburante METANO"), this);
    checkMetano_->setObjectName(QStringLiteral("CheckMetano"));
    at(checkMetano_, 20, 66, 260, 24);

    labelCilindrata_ = new QLabel(QStringLiteral("Cilindrata vettura"), this);
    labelCilindrata_->setObjectName(QStringLiteral("LabelCilindrata"));
    at(labelCilindrata_, 20, 102, 160, 24);

    editCilindrata_ = new QSpinBox(this);
    editCilindrata_->setObjectName(QStringLiteral("EditCilindrata"));
    editCilindrata_->setRange(0, 10000); // five characters at most
    editCilindrata_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    editCilindrata_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    at(editCilindrata_, 190, 102, 90, 24);
    labelCilindrata_->setBuddy(editCilindrata_);
    // A digit the box cannot hold is dropped: say so beside the box, without stopping the typing.
    RefusedDigitWatch::Install(editCilindrata_, [this](QAbstractSpinBox* box) {
        lastRefusal_ = messCifraRifiutata_.arg(QString::number(editCilindrata_->minimum()),
                                               QString::number(editCilindrata_->maximum()));
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), lastRefusal_, box);
    });

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    at(line, 12, 138, 276, 4);

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    at(buttonOk_, 56, 152, 90, 30);
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);

    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    at(buttonAnnulla_, 156, 152, 90, 30);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    {
        Texts texts(dictionary);
        messCifraRifiutata_ = texts.Get("MessCifraRifiutata", messCifraRifiutata_);
        QString caption = windowTitle();
        if (texts.Has("FinestraOptSalva", caption))
            setWindowTitle(caption);
        for (QObject* c : std::initializer_list<QObject*>{checkUfficiale_, checkCalibra_, checkMetano_,
                                                          labelCilindrata_, buttonOk_, buttonAnnulla_})
            texts.Control(c);
    }

    vapora::CentreOnScreen(this); // in the available area, frame included
}

void TFormSaveOption::SetDisplacement(int cc) { editCilindrata_->setValue(cc); }

int TFormSaveOption::Displacement() const { return editCilindrata_->value(); }

void TFormSaveOption::SetMethane(bool on) { checkMetano_->setChecked(on); }

bool TFormSaveOption::Methane() const { return checkMetano_->isChecked(); }

bool TFormSaveOption::Official() const { return checkUfficiale_->isChecked(); }

bool TFormSaveOption::ForCalibration() const { return checkCalibra_->isChecked(); }

} // namespace vapora
