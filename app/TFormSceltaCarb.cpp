#include "TFormSceltaCarb.h"
#include "services/ui/Scaling.h"

#include "services/i18n/TDataModuleMur.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace vapora {
namespace {

// The window's face is 'Helmet'; machines without it get a bold sans serif.
QFont WindowFont(int pixelSize)
{
    QFont font(QStringLiteral("Helmet"));
    if (!QFontDatabase::families().contains(QStringLiteral("Helmet"), Qt::CaseInsensitive)) {
        font = QFont(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
        font.setBold(true);
    }
    font.setPixelSize(pixelSize);
    return font;
}

constexpr int kButtonTextMax = 15;

} // namespace

TFormSceltaCarb::TFormSceltaCarb(TDataModuleMur* dictionary, bool connected, int fuel, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSceltaCarb"));
    setWindowTitle(QStringLiteral("Scegli il tipo di carburante"));
    const double k = ScreenScale();
    auto px = [k](int v) { return static_cast<int>(std::lround(v * k)); };
    auto at = [&px](QWidget* w, int x, int y, int wd, int ht) { w->setGeometry(px(x), px(y), px(wd), px(ht)); };
    setFont(WindowFont(px(13)));
    vapora::FixedDialogFrame(this);
    setFixedSize(px(360), px(200));

    labelSceltaCarb_ = new QLabel(QStringLiteral("Tipo di carburante della centralina"), this);
    labelSceltaCarb_->setObjectName(QStringLiteral("LabelSceltaCarb"));
    at(labelSceltaCarb_, 16, 14, 328, 20);

    comboCarburante_ = new QComboBox(this);
    comboCarburante_->setObjectName(QStringLiteral("ComboCarburante"));
    comboCarburante_->addItems({QStringLiteral("GPL"), QStringLiteral("Metano")});
    at(comboCarburante_, 16, 40, 160, 24);

    labelWarningCarb_ = new QLabel(
        QString::fromUtf8("ATTENZIONE: è possibile variare il carburante di lavoro della centralina ma ciò "
                          "comporterà la modifica dei parametri di funzionamento"),
        this);
    labelWarningCarb_->setObjectName(QStringLiteral("LabelWarningCarb"));
    labelWarningCarb_->setWordWrap(true);
    labelWarningCarb_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    at(labelWarningCarb_, 16, 76, 328, 70);

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);

    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    if (connected) {
        at(buttonOk_, 92, 158, 80, 28);
        at(buttonAnnulla_, 188, 158, 80, 28);
    } else {
        // Without a unit there is nothing to cancel: the program needs a fuel.
        buttonAnnulla_->hide();
        at(buttonOk_, 140, 158, 80, 28);
        labelSceltaCarb_->setText(QStringLiteral("Tipo di carburante"));
        labelWarningCarb_->setText(
            QString::fromUtf8("Il programma verrà d'ora in avanti impostato sul carburante scelto"));
    }

    if (dictionary != nullptr && dictionary->Available())
        LoadTexts(*dictionary, connected);

    comboCarburante_->setCurrentIndex(fuel == kMethane ? kMethane : kLpg);

    vapora::CentreOnScreen(this); // in the available area, frame included
}

int TFormSceltaCarb::Chosen() const { return comboCarburante_->currentIndex(); }

void TFormSceltaCarb::LoadTexts(TDataModuleMur& dictionary, bool connected)
{
    dictionary.BeginLookups();

    QString text = windowTitle();
    if (dictionary.Lookup(QStringLiteral("FinestraSceltaCarb"), text))
        setWindowTitle(text);

    text = labelSceltaCarb_->text();
    if (dictionary.Lookup(connected ? QStringLiteral("LabelCarbConnesso") : QStringLiteral("LabelCarbSconnesso"), text))
        labelSceltaCarb_->setText(text);

    text = labelWarningCarb_->text();
    if (connected) {
        if (dictionary.Lookup(QStringLiteral("LabelWarningCarb1"), text)) {
            QString second;
            if (dictionary.Lookup(QStringLiteral("LabelWarningCarb2"), second))
                text += QLatin1Char(' ') + second;
            labelWarningCarb_->setText(text);
        }
    } else if (dictionary.Lookup(QStringLiteral("LabelProgCarb"), text)) {
        labelWarningCarb_->setText(text);
    }

    // The items always follow the dictionary; a missing key leaves an empty item.
    QString lpg;
    QString methane;
    dictionary.Lookup(QStringLiteral("LabelGpl"), lpg);
    dictionary.Lookup(QStringLiteral("LabelMetano"), methane);
    comboCarburante_->setItemText(kLpg, lpg);
    comboCarburante_->setItemText(kMethane, methane);

    dictionary.LookupControl(buttonOk_, kButtonTextMax);
    dictionary.LookupControl(buttonAnnulla_, kButtonTextMax);

    dictionary.EndLookups();
}

} // namespace vapora
