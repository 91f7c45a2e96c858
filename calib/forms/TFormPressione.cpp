#include "TFormPressione.h"

#include "services/AppContext.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/ui/Scaling.h"
#include "widgets/TNumericEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vapora {

TFormPressione::TFormPressione(AppContext& ctx, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormPressione"));
    setWindowTitle(QStringLiteral("Modifica del coefficiente di calcolo della pressione"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* labelFunzionamento = new QLabel(QStringLiteral("Funzionamento:"), this);
    labelFunzionamento->setObjectName(QStringLiteral("LabelFunzionamento"));
    labelGas_ = new QLabel(QStringLiteral("GPL"), this);
    labelGas_->setObjectName(QStringLiteral("LabelGAS"));
    QFont bold = labelGas_->font();
    bold.setBold(true);
    labelGas_->setFont(bold);
    auto* labelCoeff = new QLabel(QStringLiteral("Coefficiente di calcolo della pressione"), this);
    labelCoeff->setObjectName(QStringLiteral("LabelCoeff"));
    editCoeff_ = new TNumericEdit(this);
    editCoeff_->setObjectName(QStringLiteral("EditCoeff"));
    editCoeff_->SetMinValue(1);
    editCoeff_->SetMaxValue(3);
    editCoeff_->SetPrecision(0.1);
    editCoeff_->setMaxLength(5);
    editCoeff_->SetValidation(false);
    editCoeff_->setAlignment(Qt::AlignRight);
    editCoeff_->setFixedWidth(70);
    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);
    // Enter in the entry confirms the value; the dialog's default button then closes it.
    connect(editCoeff_, &TNumericEdit::enterPressed, buttonOk_, &QPushButton::click);

    auto* grid = new QGridLayout;
    grid->addWidget(labelFunzionamento, 0, 0);
    grid->addWidget(labelGas_, 0, 1);
    grid->addWidget(labelCoeff, 1, 0);
    grid->addWidget(editCoeff_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOk_);
    buttons->addWidget(buttonAnnulla_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    TDataModuleMur* dictionary = ctx.dictionary;
    if (dictionary != nullptr && dictionary->Available() && dictionary->BeginLookups()) {
        QString title = windowTitle();
        if (dictionary->Lookup(QStringLiteral("FinestraPressione"), title))
            setWindowTitle(title);
        dictionary->LookupControl(labelFunzionamento, 30);
        dictionary->LookupControl(labelCoeff, 50);
        dictionary->LookupControl(buttonOk_, 20);
        dictionary->LookupControl(buttonAnnulla_, 20);
        dictionary->EndLookups();
        KeepTitleWhole(this);
    }
}

} // namespace vapora
