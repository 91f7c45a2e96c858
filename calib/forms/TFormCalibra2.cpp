#include "TFormCalibra2.h"
#include "services/ui/Scaling.h"

#include "services/AppContext.h"
#include "CalibFormSupport.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "widgets/TNumericEdit.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace vapora {

using namespace calibforms;

namespace {

constexpr int kParamLambdaType = 4;
constexpr int kParamLambdaThreshold = 5;
constexpr int kTickMs = 120;
constexpr int kFullScaleRpm = 6000;
constexpr int kEntryMin = -10;
constexpr int kEntryMax = 10;

// The entry's value brought into its limits and shown as written.
int EntryValue(TNumericEdit* edit)
{
    const int value = static_cast<int>(edit->GetDouble());
    edit->SetInt(value);
    return value;
}

} // namespace

TFormCalibra2::TFormCalibra2(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    BuildControls();
    LoadTexts();

    checkRientroMin_->setChecked(ctx_.car->GetParam(kParamIdleReturn) != kIdleReturnOff);
    checkClima_->setChecked(ctx_.car->GetClimateEffect() != 0);
    CheckRientroMinClick();
    CheckClimaClick();

    threshold_ = ctx_.car->GetParam(kParamLambdaThreshold);
    bit0_ = ctx_.car->IsLambdaBit0();
    switch (static_cast<int>(ctx_.car->GetParam(kParamLambdaType))) {
    case 1:
    case 2: span_ = 5.0; offset_ = 0; break;
    case 3: span_ = 1.6; offset_ = 0.8; break;
    default: span_ = 1.0; offset_ = 0; break;
    }
    twoProbes_ = ctx_.car->HasTwoProbes();
    if (!twoProbes_) {
        for (QWidget* w : {static_cast<QWidget*>(labelLambda2_), static_cast<QWidget*>(labLambda2_),
                           static_cast<QWidget*>(panelLambda2_)})
            w->hide();
        // The single probe moves halfway toward the missing row.
        const int dy = (panelLambda2_->y() - panelLambda_->y()) / 2;
        for (QWidget* w : {static_cast<QWidget*>(labelLambda_), static_cast<QWidget*>(labLambda_),
                           static_cast<QWidget*>(panelLambda_)})
            w->move(w->x(), w->y() + dy);
    }
    initialising_ = false;

    timerDati_ = new QTimer(this);
    timerDati_->setObjectName(QStringLiteral("TimerDati"));
    timerDati_->setInterval(kTickMs);
    connect(timerDati_, &QTimer::timeout, this, &TFormCalibra2::Tick);
    timerDati_->start();
}

void TFormCalibra2::BuildControls()
{
    setObjectName(QStringLiteral("FormCalibra2"));
    setWindowTitle(QStringLiteral("Calibrazione VAPORA"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 14);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 800), Scaled(k, 600));
    QFont bold = font();
    bold.setBold(true);
    QFont value = font();
    value.setPixelSize(Scaled(k, 20));
    value.setBold(true);

    auto label = [&](const char* name, const QString& text, int x, int y, int w, int h = 26) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        at(l, x, y, w, h);
        return l;
    };
    auto entry = [&](const char* name, int x, int y) {
        auto* e = new TNumericEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->SetMinValue(kEntryMin);
        e->SetMaxValue(kEntryMax);
        e->SetPrecision(1);
        e->setMaxLength(3);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        at(e, x, y, 60, 30);
        return e;
    };

    checkRientroMin_ = new QCheckBox(QStringLiteral("&Rientro al minimo controllato"), this);
    checkRientroMin_->setObjectName(QStringLiteral("CheckRientroMin"));
    checkRientroMin_->setFont(bold);
    at(checkRientroMin_, 60, 40, 400, 28);
    labelCorrMin_ = label("LabelCorrMin", QStringLiteral("Correzione rientro al minimo"), 90, 80, 300, 30);
    editRientroMinimo_ = entry("EditRientroMinimo", 400, 80);
    editRientroMinimo_->SetDataCode(kParamIdleReturn);
    labelIntRientro_ = label("LabelIntRientro", QStringLiteral("(-10, +10)"), 470, 80, 120, 30);

    checkClima_ = new QCheckBox(QStringLiteral("Effetto condizionatore"), this);
    checkClima_->setObjectName(QStringLiteral("CheckClima"));
    checkClima_->setFont(bold);
    at(checkClima_, 60, 140, 400, 28);
    labelClima_ = label("LabelClima", QStringLiteral("Correzione effetto condizionatore"), 90, 180, 300, 30);
    editClima_ = entry("EditClima", 400, 180);
    labelIntClima_ = label("LabelIntClima", QStringLiteral("(-10, +10)"), 470, 180, 120, 30);

    auto panel = [&](const char* name, const char* shapeName, int y, QFrame*& shape) {
        auto* p = new QFrame(this);
        p->setObjectName(QString::fromLatin1(name));
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Sunken);
        SetFill(p, QColor(235, 235, 235));
        at(p, 220, y, 440, 34);
        shape = new QFrame(p);
        shape->setObjectName(QString::fromLatin1(shapeName));
        shape->setGeometry(2, 2, 0, p->height() - 4);
        return p;
    };
    labelGiri_ = label("LabelGiri", QStringLiteral("Giri motore"), 60, 270, 150, 34);
    labelGiri_->setFont(bold);
    labGiri_ = label("LabGiri", QStringLiteral("0 rpm"), 670, 270, 120, 34);
    labGiri_->setFont(value);
    panelGiri_ = panel("PanelGiri", "ShapeGiri", 270, shapeGiri_);
    SetFill(shapeGiri_, kBlue);

    labelLambda_ = label("LabelLambda", QStringLiteral("Lambda"), 60, 340, 150, 34);
    labelLambda_->setFont(bold);
    labLambda_ = label("LabLambda", QStringLiteral("0 V"), 670, 340, 120, 34);
    labLambda_->setFont(value);
    panelLambda_ = panel("PanelLambda", "ShapeLambda", 340, shapeLambda_);
    SetFill(shapeLambda_, kRed);

    labelLambda2_ = label("LabelLambda2", QStringLiteral("Lambda 2"), 60, 410, 150, 34);
    labelLambda2_->setFont(bold);
    labLambda2_ = label("LabLambda2", QStringLiteral("0 V"), 670, 410, 120, 34);
    labLambda2_->setFont(value);
    panelLambda2_ = panel("PanelLambda2", "ShapeLambda2", 410, shapeLambda2_);
    SetFill(shapeLambda2_, kRed);

    buttonEsci_ = new QPushButton(QStringLiteral("&Esci"), this);
    buttonEsci_->setObjectName(QStringLiteral("ButtonEsci"));
    buttonEsci_->setAutoDefault(false);
    at(buttonEsci_, 620, 500, 140, 44);
    connect(buttonEsci_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });

    connect(checkRientroMin_, &QCheckBox::clicked, this, &TFormCalibra2::CheckRientroMinClick);
    connect(checkClima_, &QCheckBox::clicked, this, &TFormCalibra2::CheckClimaClick);
    connect(editRientroMinimo_, &TNumericEdit::enterPressed, this, &TFormCalibra2::EditRientroMinimoEnter);
    connect(editClima_, &TNumericEdit::enterPressed, this, &TFormCalibra2::EditClimaEnter);
    checkRientroMin_->installEventFilter(this);
    checkClima_->installEventFilter(this);
    MaximiseAroundDesign(this, size(), QStringLiteral("PanelCalibra2"));
}

void TFormCalibra2::LoadTexts()
{
    Texts texts(ctx_.dictionary);
    setWindowTitle(texts.Get("FinestraCalibrazione", windowTitle()));
    for (QWidget* w : {static_cast<QWidget*>(checkRientroMin_), static_cast<QWidget*>(labelCorrMin_),
                       static_cast<QWidget*>(checkClima_), static_cast<QWidget*>(labelClima_),
                       static_cast<QWidget*>(labelLambda_), static_cast<QWidget*>(labelLambda2_)})
        texts.Control(w, 40);
    texts.Control(buttonEsci_, 10);
    texts.ControlFrom(labelGiri_, "GroupGiri", 40);
    rpmUnit_ = texts.Get("UnitaGiri", rpmUnit_);
    voltUnit_ = texts.Get("UnitaVolt", voltUnit_);
}

// Ticked: the remembered value goes back to the unit; unticked: the value is
// remembered and the correction switched off (100).
void TFormCalibra2::CheckRientroMinClick()
{
    const bool on = checkRientroMin_->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(labelCorrMin_), static_cast<QWidget*>(editRientroMinimo_),
                       static_cast<QWidget*>(labelIntRientro_)})
        w->setVisible(on);
    if (on) {
        if (!initialising_)
            ctx_.car->SetParam(kParamIdleReturn, rememberedIdleReturn_);
        editRientroMinimo_->SetInt(static_cast<int>(ctx_.car->GetParam(kParamIdleReturn)));
    } else if (!initialising_) {
        rememberedIdleReturn_ = static_cast<int>(ctx_.car->GetParam(kParamIdleReturn));
        ctx_.car->SetParam(kParamIdleReturn, kIdleReturnOff);
    }
}

void TFormCalibra2::CheckClimaClick()
{
    const bool on = checkClima_->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(labelClima_), static_cast<QWidget*>(editClima_),
                       static_cast<QWidget*>(labelIntClima_)})
        w->setVisible(on);
    if (on) {
        if (!initialising_)
            ctx_.car->SetClimateEffect(rememberedClimate_);
        editClima_->SetInt(ctx_.car->GetClimateEffect());
    } else if (!initialising_) {
        rememberedClimate_ = ctx_.car->GetClimateEffect();
        ctx_.car->SetClimateEffect(0);
    }
}

void TFormCalibra2::EditRientroMinimoEnter()
{
    ctx_.car->SetParam(kParamIdleReturn, EntryValue(editRientroMinimo_));
}

void TFormCalibra2::EditClimaEnter()
{
    ctx_.car->SetClimateEffect(EntryValue(editClima_));
}

bool TFormCalibra2::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QCheckBox*>(watched);
    if (box != nullptr) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                box->click();
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            SetTextColour(box, palette().color(QPalette::Highlight));
        } else if (event->type() == QEvent::FocusOut) {
            box->setPalette(palette());
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormCalibra2::Lean(double volts) const
{
    return bit0_ ? volts > threshold_ : volts < threshold_;
}

int TFormCalibra2::BarLength(QFrame* panel, double fraction) const
{
    const int inner = panel->width() - 4;
    return std::clamp(static_cast<int>(inner * fraction), 0, inner);
}

void TFormCalibra2::ShowProbe(double volts, QLabel* label, QFrame* panel, QFrame* shape)
{
    label->setText(GeneralVolts(volts) + QLatin1Char(' ') + voltUnit_);
    SetFill(shape, Lean(volts) ? kGreen : kRed);
    const double fraction = bit0_ ? (span_ - volts) / span_ : (volts - offset_) / span_;
    shape->resize(BarLength(panel, fraction), shape->height());
}

void TFormCalibra2::Tick()
{
    EngineValues values = values_;
    if (!ReadEngineBlock(ctx_.link, *ctx_.car, kPressureCoeffLpg, values))
        return;
    previous_ = values_;
    values_ = values;
    labGiri_->setText(QString::number(values_.giri) + QLatin1Char(' ') + rpmUnit_);
    labLambda_->setText(GeneralVolts(values_.lambda) + QLatin1Char(' ') + voltUnit_);
    if (first_ || values_.giri != previous_.giri)
        shapeGiri_->resize(BarLength(panelGiri_, static_cast<double>(values_.giri) / kFullScaleRpm),
                           shapeGiri_->height());
    if (first_ || values_.lambda != previous_.lambda)
        ShowProbe(values_.lambda, labLambda_, panelLambda_, shapeLambda_);
    if (twoProbes_ && (first_ || values_.lambda2 != previous_.lambda2))
        ShowProbe(values_.lambda2, labLambda2_, panelLambda2_, shapeLambda2_);
    first_ = false;
}

} // namespace vapora
