#include "TFormTemperatura.h"

#include "services/i18n/WindowTexts.h"
#include "model/ConfCar.h"
#include "services/ui/Scaling.h"
#include "widgets/TNumericEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vapora {
namespace {

constexpr int kCoeff = 1;
constexpr int kRif = 2;

TNumericEdit* Entry(QWidget* parent, const QString& name)
{
    auto* edit = new TNumericEdit(parent);
    edit->setObjectName(name);
    edit->SetMinValue(0);
    edit->SetMaxValue(255);
    edit->SetPrecision(1);
    edit->setMaxLength(3);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(52);
    return edit;
}

void Chain(const std::vector<QWidget*>& order)
{
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        if (auto* e = qobject_cast<TNumericEdit*>(order[i]))
            e->SetNextControl(order[i + 1]);
        if (auto* e = qobject_cast<TNumericEdit*>(order[i + 1]))
            e->SetPrevControl(order[i]);
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
}

} // namespace

TFormTemperatura::TFormTemperatura(ConfCar& car, QWidget* parent, TDataModuleMur* dictionary)
    : QDialog(parent), car_(car)
{
    setObjectName(QStringLiteral("FormTemperatura"));
    setWindowTitle(QStringLiteral("Temperatura"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    if (const double scale = ScreenScale(); scale != 1.0) {
        QFont f = font();
        f.setPointSizeF(f.pointSizeF() * scale);
        setFont(f);
    }

    auto* rifBox = new QGroupBox(QStringLiteral("Riferimenti di temperatura"), this);
    rifBox->setObjectName(QStringLiteral("GroupBoxRif"));
    auto* rifGrid = new QGridLayout(rifBox);
    for (int i = 0; i < 10; ++i) {
        const QString caption = i == 0 ? QStringLiteral("Primo (byte)")
                                : i == 9 ? QStringLiteral("Ultimo (byte)")
                                         : QString::number(i);
        auto* label = new QLabel(caption, rifBox);
        label->setObjectName(QStringLiteral("LabelRif%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        rif_[static_cast<size_t>(i)] = Entry(rifBox, QStringLiteral("EditRif%1").arg(i));
        rifGrid->addWidget(label, 0, i);
        rifGrid->addWidget(rif_[static_cast<size_t>(i)], 1, i);
    }
    auto* coeffBox = new QGroupBox(QStringLiteral("Coefficienti di temperatura"), this);
    coeffBox->setObjectName(QStringLiteral("GroupBoxCoeff"));
    auto* coeffGrid = new QGridLayout(coeffBox);
    for (int i = 0; i < 9; ++i) {
        auto* label = new QLabel(QString::number(i + 1), coeffBox);
        label->setObjectName(QStringLiteral("LabelCoeff%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        coeff_[static_cast<size_t>(i)] = Entry(coeffBox, QStringLiteral("EditCoeff%1").arg(i));
        coeffGrid->addWidget(label, 0, i);
        coeffGrid->addWidget(coeff_[static_cast<size_t>(i)], 1, i);
    }
    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonEsci_ = new QPushButton(QStringLiteral("&Esci"), this);
    buttonEsci_->setObjectName(QStringLiteral("ButtonEsci"));
    connect(buttonOk_, &QPushButton::clicked, this, [this] {
        ButtonOkClick();
        accept();
    });
    connect(buttonEsci_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOk_);
    buttons->addWidget(buttonEsci_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rifBox);
    layout->addWidget(coeffBox);
    layout->addLayout(buttons);

    // Enter and Tab run through the references, then the coefficients, then
    // the buttons; Shift+Tab from OK lands on the last coefficient and Tab
    // from Esci goes round to the first reference.
    std::vector<QWidget*> order(rif_.begin(), rif_.end());
    order.insert(order.end(), coeff_.begin(), coeff_.end());
    order.push_back(buttonOk_);
    order.push_back(buttonEsci_);
    Chain(order);
    QWidget::setTabOrder(buttonEsci_, rif_[0]);

    WindowTexts texts(dictionary);
    if (texts.Active()) {
        setWindowTitle(texts.Get("FinestraTemperatura", windowTitle()));
        texts.Control(rifBox, 40);
        texts.Control(coeffBox, 40);
        texts.Control(findChild<QLabel*>(QStringLiteral("LabelRif0")), 15);
        texts.Control(findChild<QLabel*>(QStringLiteral("LabelRif9")), 15);
        texts.Control(buttonOk_, 20);
        texts.Control(buttonEsci_, 20);
    }
    // The first and last references' captions are wider than their edits.
    for (const char* name : {"LabelRif0", "LabelRif9"})
        if (auto* label = findChild<QLabel*>(QString::fromLatin1(name)))
            label->setMinimumWidth(label->sizeHint().width());
    KeepTitleWhole(this);

    for (int i = 0; i < 10; ++i)
        rif_[static_cast<size_t>(i)]->SetInt(car_.GetTempParam(i, kRif));
    for (int i = 0; i < 9; ++i)
        coeff_[static_cast<size_t>(i)]->SetInt(car_.GetTempParam(i, kCoeff));
}

void TFormTemperatura::ButtonOkClick()
{
    for (int i = 0; i < 10; ++i)
        car_.SetTempParam(i, kRif, rif_[static_cast<size_t>(i)]->GetInt());
    for (int i = 0; i < 9; ++i)
        car_.SetTempParam(i, kCoeff, coeff_[static_cast<size_t>(i)]->GetInt());
}

} // namespace vapora
