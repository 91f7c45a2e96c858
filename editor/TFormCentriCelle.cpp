#include "editor/TFormCentriCelle.h"

#include "services/AppContext.h"
#include "editor/BreakpointChecks.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "services/ui/DialogService.h"
#include "widgets/TNumericEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vapora {
namespace {

constexpr int kPerLine = 10;

TNumericEdit* MakeEdit(QGroupBox* group, QGridLayout* grid, int index, const QString& name)
{
    auto* label = new QLabel(QString::number(index + 1), group);
    label->setAlignment(Qt::AlignCenter);
    auto* edit = new TNumericEdit(group);
    edit->setObjectName(name + QString::number(index));
    edit->setMaxLength(4);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    // Leaving an edit keeps what was typed, within the limits and the step.
    edit->SetValidation(false);
    const int line = index / kPerLine;
    grid->addWidget(label, line * 2, index % kPerLine);
    grid->addWidget(edit, line * 2 + 1, index % kPerLine);
    return edit;
}

} // namespace

BreakpointEditor::BreakpointEditor(AppContext& ctx, int speeds, int loads, bool inverted, const LoadTexts& texts,
                                   QWidget* parent)
    : QDialog(parent), ctx_(ctx), inverted_(inverted)
{
    setObjectName(QStringLiteral("FormCentriCelle"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    groupGiri_ = new QGroupBox(this);
    groupGiri_->setObjectName(QStringLiteral("GroupRifGiri"));
    auto* giriGrid = new QGridLayout(groupGiri_);
    for (int i = 0; i < speeds; ++i) {
        TNumericEdit* e = MakeEdit(groupGiri_, giriGrid, i, QStringLiteral("EditRifGiri"));
        e->SetPrecision(1);
        e->SetMinValue(200);
        e->SetMaxValue(8000);
        speedEdits_.push_back(e);
    }
    groupMap_ = new QGroupBox(this);
    groupMap_->setObjectName(QStringLiteral("GroupRifMap"));
    auto* mapGrid = new QGridLayout(groupMap_);
    for (int i = 0; i < loads; ++i) {
        TNumericEdit* e = MakeEdit(groupMap_, mapGrid, i, QStringLiteral("NumEditRifMap"));
        e->SetPrecision(0.01);
        e->SetMaxValue(5);
        loadEdits_.push_back(e);
    }

    buttonOk_ = new QPushButton(this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonAnnulla_ = new QPushButton(this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(buttonOk_, &QPushButton::clicked, this, &BreakpointEditor::ButtonOkClick);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    // Focus order: cancel, the speeds, the loads, OK (the group boxes take no focus).
    std::vector<QWidget*> chain{buttonAnnulla_};
    chain.insert(chain.end(), speedEdits_.begin(), speedEdits_.end());
    chain.insert(chain.end(), loadEdits_.begin(), loadEdits_.end());
    chain.push_back(buttonOk_);
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
    for (size_t i = 1; i + 1 < chain.size(); ++i) {
        auto* edit = static_cast<TNumericEdit*>(chain[i]);
        edit->SetPrevControl(chain[i - 1]);
        edit->SetNextControl(chain[i + 1]);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOk_);
    buttons->addWidget(buttonAnnulla_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(groupGiri_);
    layout->addWidget(groupMap_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetTexts(texts);
}

void BreakpointEditor::SetTexts(const LoadTexts& texts)
{
    QString caption = QStringLiteral("Centri celle mappa di carburazione");
    QString ok = QStringLiteral("&OK");
    QString cancel = QStringLiteral("&Annulla");
    QString giri = QStringLiteral("Colonne dei GIRI (rpm)");
    QString map = QString::fromUtf8(texts.groupText);
    speedMessage_ = QStringLiteral("Attenzione: i riferimenti GIRI non sono corretti!");
    loadMessage_ = QString::fromUtf8(texts.messageText);
    TDataModuleMur* d = ctx_.dictionary;
    if (d != nullptr && d->Available()) {
        d->BeginLookups();
        d->Lookup(QStringLiteral("FinestraCentriCelle"), caption);
        d->Lookup(QStringLiteral("ButtonOk"), ok, 10);
        d->Lookup(QStringLiteral("ButtonAnnulla"), cancel, 10);
        d->Lookup(QStringLiteral("GroupRifGiri"), giri, 30);
        d->Lookup(QString::fromLatin1(texts.groupKey), map, 30);
        d->Lookup(QStringLiteral("MessBadRifGiri"), speedMessage_);
        d->Lookup(QString::fromLatin1(texts.messageKey), loadMessage_);
        d->EndLookups();
    }
    setWindowTitle(caption);
    buttonOk_->setText(ok);
    buttonAnnulla_->setText(cancel);
    groupGiri_->setTitle(giri);
    groupMap_->setTitle(map);
}

void BreakpointEditor::LoadValues()
{
    for (int i = 0; i < SpeedCount(); ++i)
        speedEdits_[i]->SetInt(SpeedRef(i));
    for (int i = 0; i < LoadCount(); ++i)
        loadEdits_[i]->SetDouble(inverted_ ? 5 - LoadRef(i) : LoadRef(i));
}

void BreakpointEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QWidget* first = speedEdits_.empty() ? nullptr : speedEdits_.front();
    if (first == nullptr || !first->isEnabled())
        first = loadEdits_.empty() ? nullptr : loadEdits_.front();
    if (first != nullptr)
        first->setFocus(Qt::OtherFocusReason);
}

void BreakpointEditor::Fail(const QString& message, TNumericEdit* edit)
{
    if (ctx_.dialogs != nullptr)
        ctx_.dialogs->Message(this, windowTitle(), message, MsgIcon::Error);
    edit->setFocus(Qt::OtherFocusReason);
}

void BreakpointEditor::ButtonOkClick()
{
    std::vector<int> speeds;
    for (TNumericEdit* e : speedEdits_)
        speeds.push_back(static_cast<int>(std::trunc(e->GetDouble())));
    if (const int bad = FirstBadSpeedPair(speeds); bad >= 0) {
        Fail(speedMessage_, speedEdits_[bad]);
        return;
    }
    for (int i = 0; i < SpeedCount(); ++i)
        SetSpeedRef(i, speeds[i]);

    // A load error leaves the speeds written above in place.
    std::vector<double> loads;
    for (TNumericEdit* e : loadEdits_)
        loads.push_back(e->GetDouble());
    if (const int bad = FirstBadLoadPair(loads, inverted_); bad >= 0) {
        Fail(loadMessage_, loadEdits_[bad]);
        return;
    }
    for (int i = 0; i < LoadCount(); ++i)
        SetLoadRef(i, inverted_ ? 5 - loads[i] : loads[i]);
    accept();
}

// ---- gas map ----

namespace {

BreakpointEditor::LoadTexts GasLoadTexts(const ConfCar& car)
{
    if (car.IsUnitKind2())
        return {"GroupRifMap", "Righe del MAP (volt)", "MessBadRifMap",
                "Attenzione: i riferimenti MAP non sono corretti!"};
    return {"GroupRifTps", "Righe del TPS (volt)", "MessBadRifTps", "Attenzione: i riferimenti TPS non sono corretti!"};
}

} // namespace

TFormCentriCelle::TFormCentriCelle(AppContext& ctx, QWidget* parent)
    : BreakpointEditor(ctx, ConfCar::kMapCols, ConfCar::kMapRows, ctx.car->IsTpsInverted() && !ctx.car->IsUnitKind2(),
                       GasLoadTexts(*ctx.car), parent)
{
    LoadValues();
}

int TFormCentriCelle::SpeedRef(int index) const { return ctx_.car->GetRpmRef(index); }
void TFormCentriCelle::SetSpeedRef(int index, int rpm) { ctx_.car->SetRpmRef(index, rpm); }
double TFormCentriCelle::LoadRef(int index) const { return ctx_.car->GetMapRef(index); }
void TFormCentriCelle::SetLoadRef(int index, double volts) { ctx_.car->SetMapRef(index, volts); }

} // namespace vapora
