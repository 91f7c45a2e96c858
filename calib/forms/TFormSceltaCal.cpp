#include "TFormSceltaCal.h"
#include "services/ui/Scaling.h"

#include "CalibFormSupport.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace vapora {

using namespace calibforms;

TFormSceltaCal::TFormSceltaCal(TDataModuleMur* dictionary, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSceltaCal"));
    setWindowTitle(QStringLiteral("Calibrazione VAPORA"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 13);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 400), Scaled(k, 220));

    labelSceltaCal_ = new QLabel(QString::fromUtf8("Scegliere la modalità di calibrazione"), this);
    labelSceltaCal_->setObjectName(QStringLiteral("LabelSceltaCal"));
    QFont bold = font();
    bold.setBold(true);
    labelSceltaCal_->setFont(bold);
    at(labelSceltaCal_, 20, 16, 360, 22);

    radioCalMinimo_ = new QRadioButton(QStringLiteral("Calibrazione solo del minimo"), this);
    radioCalMinimo_->setObjectName(QStringLiteral("RadioCalMinimo"));
    radioCalMinimo_->setChecked(true);
    at(radioCalMinimo_, 36, 52, 340, 24);

    labelCalDedicata_ = new QLabel(QStringLiteral("(Opzione adatta per le configurazioni dedicate)"), this);
    labelCalDedicata_->setObjectName(QStringLiteral("LabelCalDedicata"));
    at(labelCalDedicata_, 60, 76, 320, 20);

    radioCalCompleta_ = new QRadioButton(QStringLiteral("Calibrazione completa"), this);
    radioCalCompleta_->setObjectName(QStringLiteral("RadioCalCompleta"));
    at(radioCalCompleta_, 36, 112, 340, 24);

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    at(buttonOk_, 100, 166, 90, 32);
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);

    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    at(buttonAnnulla_, 210, 166, 90, 32);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    {
        Texts texts(dictionary);
        setWindowTitle(texts.Get("FinestraCalibrazione", windowTitle()));
        texts.Control(labelSceltaCal_, 40);
        texts.Control(radioCalMinimo_, 40);
        texts.Control(radioCalCompleta_, 40);
        texts.Control(labelCalDedicata_, 60);
        texts.Control(buttonOk_, 15);
        texts.Control(buttonAnnulla_, 15);
    }

    radioCalMinimo_->installEventFilter(this);
    radioCalCompleta_->installEventFilter(this);
    radioCalMinimo_->setFocus();
    RadioEnter(radioCalMinimo_);
}

bool TFormSceltaCal::IdleOnly() const { return radioCalMinimo_->isChecked(); }

bool TFormSceltaCal::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == radioCalMinimo_)
            RadioEnter(radioCalMinimo_);
        else if (watched == radioCalCompleta_)
            RadioEnter(radioCalCompleta_);
    }
    return QDialog::eventFilter(watched, event);
}

// The focused choice is the selected one and stands out in blue; the remark
// belongs to the idle-only choice.
void TFormSceltaCal::RadioEnter(QRadioButton* radio)
{
    QRadioButton* other = radio == radioCalMinimo_ ? radioCalCompleta_ : radioCalMinimo_;
    radio->setChecked(true);
    SetTextColour(radio, kBlue);
    other->setPalette(palette());
    if (radio == radioCalMinimo_)
        SetTextColour(labelCalDedicata_, kBlue);
    else
        labelCalDedicata_->setPalette(palette());
}

} // namespace vapora
