#include "TFormCalibrazione.h"
#include "services/ui/Scaling.h"

#include "services/AppContext.h"
#include "CalibFormSupport.h"
#include "TFormCalibra2.h"
#include "TFormCalibraStrada.h"
#include "calib/BaseMapChoice.h"
#include "widgets/RestorePointGuard.h"
#include "calib/MapCorrection.h"
#include "services/i18n/OutcomeTexts.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "services/ui/DialogService.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace vapora {

using namespace calibforms;

namespace {

constexpr int kParamLambdaThreshold = 5;
constexpr int kParamDisplacement = 75;
constexpr int kLimitIds[4] = {1062, 1063, 1064, 1065};
constexpr int kOpenLimit = 127;
constexpr int kTickMs = 150;
constexpr int kStepDone = 6; // calibration applied, the next page offered

GuidedSettings SettingsFor(AppContext& ctx, bool idleOnly)
{
    GuidedSettings s;
    s.idleOnly = idleOnly;
    s.lambdaThreshold = ctx.car->GetParam(kParamLambdaThreshold);
    s.lambdaBit0 = ctx.car->IsLambdaBit0();
    s.methane = ctx.car->GetStatusFlag(ConfCar::kMethane);
    return s;
}

// Restores the arrow cursor however the work ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFormCalibrazione::TFormCalibrazione(AppContext& ctx, bool idleOnly, const QString& folder, QWidget* parent)
    : QDialog(parent), ctx_(ctx), folder_(folder), machine_(SettingsFor(ctx, idleOnly))
{
    BuildControls();
    LoadTexts();
    editCilindrata_->setText(QString::number(static_cast<int>(ctx_.car->GetParam(kParamDisplacement))));
    labelOperazione_->setText(textStep1_);
    labelMessaggio_->setText(textPrompt_);

    timerBlink_ = new QTimer(this);
    timerBlink_->setObjectName(QStringLiteral("TimerBlink"));
    timerBlink_->setInterval(kTickMs);
    connect(timerBlink_, &QTimer::timeout, this, &TFormCalibrazione::Tick);
    timerBlink_->start();

    if (ctx_.link == nullptr || !ctx_.link->IsConnected()) {
        timerBlink_->stop();
        ctx_.dialogs->Message(this, windowTitle(), textNoEcu_, MsgIcon::Error);
        presetResult_ = true;
        setResult(kModalCancel);
        return;
    }
    if (!IsFull()) {
        keyPreview_ = true;
        machine_.Begin();
        editCilindrata_->setEnabled(false);
        labelCilindrata_->setEnabled(false);
        buttonNext_->hide();
        buttonCalStrada_->hide();
    } else {
        // Wide integral limits let the unit reach the correction it really needs.
        for (int i = 0; i < 4; ++i) {
            savedLimits_[i] = static_cast<int>(ctx_.car->GetParam(kLimitIds[i]));
            ctx_.car->SetParam(kLimitIds[i], kOpenLimit);
        }
        limitsSaved_ = true;
    }
    Render();
    if (IsFull())
        editCilindrata_->setFocus();
}

void TFormCalibrazione::BuildControls()
{
    setObjectName(QStringLiteral("FormCalibrazione"));
    setWindowTitle(QStringLiteral("Calibrazione VAPORA"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 14);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 800), Scaled(k, 600));
    QFont big = font();
    big.setPixelSize(Scaled(k, 22));
    big.setBold(true);
    QFont value = font();
    value.setPixelSize(Scaled(k, 30));
    value.setBold(true);

    labelCilindrata_ = new QLabel(QStringLiteral("Cilindrata vettura"), this);
    labelCilindrata_->setObjectName(QStringLiteral("LabelCilindrata"));
    at(labelCilindrata_, 40, 30, 200, 28);
    editCilindrata_ = new QLineEdit(this);
    editCilindrata_->setObjectName(QStringLiteral("EditCilindrata"));
    editCilindrata_->setValidator(new QIntValidator(0, 10000, editCilindrata_));
    editCilindrata_->setMaxLength(5);
    editCilindrata_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    at(editCilindrata_, 250, 28, 100, 32);
    connect(editCilindrata_, &QLineEdit::returnPressed, this, &TFormCalibrazione::EditCilindrataEnter);

    labelOperazione_ = new QLabel(this);
    labelOperazione_->setObjectName(QStringLiteral("LabelOperazione"));
    labelOperazione_->setFont(big);
    labelOperazione_->setAlignment(Qt::AlignCenter);
    at(labelOperazione_, 40, 80, 720, 44);
    labelOperazione_->hide();

    labelMessaggio_ = new QLabel(this);
    labelMessaggio_->setObjectName(QStringLiteral("LabelMessaggio"));
    labelMessaggio_->setAlignment(Qt::AlignCenter);
    QFont message = font();
    message.setPixelSize(Scaled(k, 17));
    message.setBold(true);
    labelMessaggio_->setFont(message);
    labelMessaggio_->setFrameShape(QFrame::Panel);
    labelMessaggio_->setFrameShadow(QFrame::Sunken);
    SetFill(labelMessaggio_, kLime);
    at(labelMessaggio_, 140, 134, 520, 36);
    labelMessaggio_->hide();

    progressBarCalibra_ = new QProgressBar(this);
    progressBarCalibra_->setObjectName(QStringLiteral("ProgressBarCalibra"));
    progressBarCalibra_->setRange(0, 100);
    progressBarCalibra_->setTextVisible(false);
    at(progressBarCalibra_, 140, 182, 520, 22);
    progressBarCalibra_->hide();

    labelSvitare_ = new QLabel(QString::fromUtf8("Svitare »"), this);
    labelSvitare_->setObjectName(QStringLiteral("LabelSvitare"));
    labelSvitare_->setAlignment(Qt::AlignCenter);
    at(labelSvitare_, 140, 222, 170, 22);
    labelOk_ = new QLabel(QStringLiteral("OK"), this);
    labelOk_->setObjectName(QStringLiteral("LabelOk"));
    labelOk_->setAlignment(Qt::AlignCenter);
    at(labelOk_, 315, 222, 170, 22);
    labelAvvitare_ = new QLabel(QString::fromUtf8("« Avvitare"), this);
    labelAvvitare_->setObjectName(QStringLiteral("LabelAvvitare"));
    labelAvvitare_->setAlignment(Qt::AlignCenter);
    at(labelAvvitare_, 490, 222, 170, 22);
    panelPressione_ = new QFrame(this);
    panelPressione_->setObjectName(QStringLiteral("PanelPressione"));
    panelPressione_->setFrameShape(QFrame::Panel);
    panelPressione_->setFrameShadow(QFrame::Sunken);
    at(panelPressione_, 140, 246, 520, 46);
    auto segment = [&](const char* name, int x) {
        auto* f = new QFrame(panelPressione_);
        f->setObjectName(QString::fromLatin1(name));
        f->setFrameShape(QFrame::Box);
        at(f, x, 4, 168, 38);
        SetFill(f, palette().color(QPalette::Button));
        return f;
    };
    shapePressioneBassa_ = segment("ShapePressioneBassa", 4);
    shapePressioneOK_ = segment("ShapePressioneOK", 176);
    shapePressioneAlta_ = segment("ShapePressioneAlta", 348);
    for (QWidget* w : {static_cast<QWidget*>(labelSvitare_), static_cast<QWidget*>(labelOk_),
                       static_cast<QWidget*>(labelAvvitare_), static_cast<QWidget*>(panelPressione_)})
        w->hide();

    auto group = [&](const char* name, const QString& title, int x) {
        auto* g = new QGroupBox(title, this);
        g->setObjectName(QString::fromLatin1(name));
        g->setAlignment(Qt::AlignHCenter);
        at(g, x, 320, 136, 110);
        return g;
    };
    auto valueLabel = [&](QWidget* parent, const char* name, const QString& text, int x, int w) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(value);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        at(l, x, 36, w, 50);
        return l;
    };
    auto unitLabel = [&](QWidget* parent, const char* name, const QString& text) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QString::fromLatin1(name));
        at(l, 96, 54, 38, 26);
        return l;
    };
    groupGiri_ = group("GroupGiri", QStringLiteral("Giri motore"), 32);
    labelGiri_ = valueLabel(groupGiri_, "LabelGiri", QStringLiteral("000"), 4, 90);
    unitaGiri_ = unitLabel(groupGiri_, "UnitaGiri", QStringLiteral("rmp"));
    groupTemp_ = group("GroupTemp", QStringLiteral("Temperatura"), 182);
    labelTemp_ = valueLabel(groupTemp_, "LabelTemp", QStringLiteral("000"), 4, 90);
    unitaGradi_ = unitLabel(groupTemp_, "UnitaGradi", QString::fromUtf8("°C"));
    groupCarb_ = group("GroupCarb", QStringLiteral("Carburante"), 332);
    groupCarb_->setFocusPolicy(Qt::StrongFocus);
    labelCarb_ = valueLabel(groupCarb_, "LabelCarb", QStringLiteral("BENZ"), 4, 128);
    labelCarb_->setAlignment(Qt::AlignCenter);
    groupLambda_ = group("GroupLambda", QStringLiteral("Lambda"), 482);
    labLambda_ = valueLabel(groupLambda_, "LabLambda", QStringLiteral("V"), 4, 128);
    labLambda_->setAlignment(Qt::AlignCenter);
    groupTps_ = group("GroupTps", QStringLiteral("Tps"), 632);
    labTps_ = valueLabel(groupTps_, "LabTps", QStringLiteral("V"), 4, 128);
    labTps_->setAlignment(Qt::AlignCenter);

    auto button = [&](const char* name, const QString& text, int x, int w) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        at(b, x, 500, w, 44);
        return b;
    };
    buttonNext_ = button("ButtonNext", QStringLiteral("&Pagina successiva"), 40, 230);
    buttonCalStrada_ = button("ButtonCalStrada", QStringLiteral("Calibrazione su &strada"), 290, 230);
    buttonEsci_ = button("ButtonEsci", QStringLiteral("&Esci"), 620, 140);
    for (QPushButton* b : {buttonNext_, buttonCalStrada_, buttonEsci_})
        b->setFocusPolicy(Qt::ClickFocus);
    connect(buttonNext_, &QPushButton::clicked, this, &TFormCalibrazione::ButtonNextClick);
    connect(buttonCalStrada_, &QPushButton::clicked, this, &TFormCalibrazione::ButtonCalStradaClick);
    connect(buttonEsci_, &QPushButton::clicked, this, [this] { done(kModalCancel); });

    MaximiseAroundDesign(this, size(), QStringLiteral("PanelCalibrazione"));
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

void TFormCalibrazione::LoadTexts()
{
    Texts texts(ctx_.dictionary);
    setWindowTitle(texts.Get("FinestraCalibrazione", windowTitle()));
    textStep1_ = texts.Get("LabelCalibraMinimo", QStringLiteral("1. Commutare a GAS e portarsi al minimo"));
    textStep2_ = texts.Get("LabelCalibraPressione", QStringLiteral("2. Verificare la pressione del riduttore"));
    textStep3_ = texts.Get("LabelCalibraGiri", QStringLiteral("3. Portare il motore a circa %n Giri"));
    textStep3_.replace(QStringLiteral("%n"), QString::number(GuidedCalibration::kSecondSpeed));
    textPrompt_ = texts.Get("LabelInvio", QStringLiteral("Premere INVIO quando pronto"));
    textCalibra_ = texts.Get("LabelCalibra", QStringLiteral("Calibrazione in corso..."));
    textWarmUp_ = texts.Get("LabelTemperatura",
                            QString::fromUtf8("Attendere che il ridutture vada in temperatura (%n°C)"));
    textNd_ = texts.Get("MessND", QStringLiteral("n.d."));
    textOk_ = texts.Get("MessCalibraOk", QStringLiteral("Calibrazione avvenuta con successo"));
    textUpdating_ = texts.Get("MessScaricaMappa", QStringLiteral("Aggiornamento centralina in corso..."));
    textGas_ = texts.Get("LabelFunzGas", QStringLiteral("GAS"), 4);
    textPetrol_ = texts.Get("LabelBenz", QStringLiteral("BENZ"), 4);
    if (labelCarb_->text() == QStringLiteral("BENZ")) // the built-in caption until the unit answers
        labelCarb_->setText(textPetrol_);
    textNoFile_ = texts.Get("MessNoFile", QStringLiteral("Nessun file mappa trovato!"));
    textNoEcu_ = texts.Get("MessNoEcu",
                           QStringLiteral("Centralina non connessa: impossibile eseguire la calibrazione!"));
    volt_ = texts.Get("UnitaVolt", QString());
    texts.Control(buttonEsci_, 10);
    texts.Control(buttonNext_, 25);
    texts.Control(buttonCalStrada_, 25);
    texts.Control(groupGiri_, 20);
    texts.Control(groupTemp_, 20);
    texts.Control(groupCarb_, 20);
    texts.Control(labelCilindrata_, 40);
    texts.Control(labelSvitare_, 70);
    texts.Control(labelAvvitare_, 20);
    texts.Control(labelOk_, 20);
    texts.Control(unitaGiri_, 5);
    texts.Control(unitaGradi_, 5);
    texts.ControlFrom(groupLambda_, "LabelLambda");
    texts.ControlFrom(groupTps_, "LabelTps");
}

QString TFormCalibrazione::TextOf(GuidedText text) const
{
    switch (text) {
    case GuidedText::Step1: return textStep1_;
    case GuidedText::Step2: return textStep2_;
    case GuidedText::Step3: return textStep3_;
    case GuidedText::Prompt: return textPrompt_;
    case GuidedText::WarmUp: {
        QString t = textWarmUp_;
        return t.replace(QStringLiteral("%n"), QString::number(machine_.warmUpThreshold()));
    }
    case GuidedText::Calibrating: return textCalibra_;
    case GuidedText::Updating: return textUpdating_;
    case GuidedText::Success: return textOk_;
    case GuidedText::None: break;
    }
    return {};
}

void TFormCalibrazione::Tick()
{
    const bool engine = engineTick_;
    engineTick_ = !engineTick_;
    if (engine) {
        EngineValues values = machine_.engine();
        if (!ReadEngineBlock(ctx_.link, *ctx_.car, machine_.pressureCoefficient(), values))
            return;
        machine_.OnEngineTick(values);
        ShowEngine();
    } else {
        StatusValues values = machine_.status();
        if (!ReadStatusBlock(ctx_.link, values))
            return;
        machine_.OnStatusTick(values);
        ShowStatus();
    }
    if (machine_.ApplyRequested()) {
        timerBlink_->stop();
        // Without a copy the user may keep the unit's map as it is.
        if (KeepBeforeOverwrite(ctx_, this, windowTitle(), restore::Reason::Calibration))
            ApplyCorrections();
        machine_.ApplyDone();
        Render();
        if (machine_.closeAfterApply()) {
            done(kModalCancel);
            return;
        }
        FocusButton(buttonNext_);
        return;
    }
    Render();
}

void TFormCalibrazione::ShowEngine()
{
    const EngineValues& e = machine_.engine();
    labelGiri_->setText(QString::number(e.giri));
    SetTextColour(labLambda_, machine_.lambdaLean() ? kGreen : kRed);
    labLambda_->setText(FixedVolts(e.lambda, volt_));
    SetTextColour(labTps_, (e.flags & kEngineIdle) != 0 ? kRed : kGreen);
    labTps_->setText(FixedVolts(e.tps, volt_));
}

void TFormCalibrazione::ShowStatus()
{
    const int celsius = static_cast<int>(machine_.temperature());
    labelTemp_->setText(celsius != 0 ? QString::number(celsius) : textNd_);
    if (machine_.onGas()) {
        labelCarb_->setText(textGas_);
        SetTextColour(labelCarb_, kGreen);
    } else {
        labelCarb_->setText(textPetrol_);
        SetTextColour(labelCarb_, kPurple);
    }
}

void TFormCalibrazione::Render()
{
    if (machine_.step() < 0)
        return;
    labelOperazione_->setText(TextOf(machine_.operation()));
    labelOperazione_->setVisible(machine_.operationVisible());
    labelMessaggio_->setText(TextOf(machine_.message()));
    labelMessaggio_->setVisible(machine_.messageVisible());
    progressBarCalibra_->setVisible(machine_.progressVisible());
    progressBarCalibra_->setValue(machine_.progress());
    const bool pressure = machine_.pressureVisible();
    for (QWidget* w : {static_cast<QWidget*>(labelSvitare_), static_cast<QWidget*>(labelOk_),
                       static_cast<QWidget*>(labelAvvitare_), static_cast<QWidget*>(panelPressione_)})
        w->setVisible(pressure);
    if (pressure) {
        const QColor face = palette().color(QPalette::Button);
        const PressureBand band = machine_.pressureBand();
        SetFill(shapePressioneBassa_, band == PressureBand::Low ? kAqua : face);
        SetFill(shapePressioneOK_, band == PressureBand::Ok ? kGreen : face);
        SetFill(shapePressioneAlta_, band == PressureBand::High ? kYellow : face);
    }
}

void TFormCalibrazione::EditCilindrataEnter()
{
    if (machine_.step() != -1 || !editCilindrata_->isEnabled())
        return;
    const int entered = editCilindrata_->text().toInt();
    if (entered != static_cast<int>(ctx_.car->GetParam(kParamDisplacement))) {
        // A new displacement brings a base map over the unit's gas map.
        if (!KeepBeforeOverwrite(ctx_, this, windowTitle(), restore::Reason::Calibration))
            return;
        ctx_.car->SetParam(kParamDisplacement, entered);
        ctx_.car->SetClimateEffect(0);
        if (!ChooseBaseMap())
            return;
    }
    keyPreview_ = true;
    machine_.Begin();
    editCilindrata_->setEnabled(false);
    labelCilindrata_->setEnabled(false);
    Render();
    groupCarb_->setFocus();
}

bool TFormCalibrazione::ChooseBaseMap()
{
    const int displacement = BaseMapDisplacement(static_cast<int>(ctx_.car->GetParam(kParamDisplacement)),
                                                 ctx_.car->IdUnita[2]);
    BusyCursor busy;
    progressBarCalibra_->setRange(0, ConfCar::kMapRows * ConfCar::kMapCols);
    progressBarCalibra_->setValue(0);
    progressBarCalibra_->show();
    std::vector<std::string> refused;
    const BaseMapResult loaded =
        LoadBaseMap(*ctx_.car, folder_.toStdString(), ctx_.car->GetStatusFlag(ConfCar::kMethane), displacement,
                    [this](int done, int) { progressBarCalibra_->setValue(done); }, &refused);
    progressBarCalibra_->hide();
    progressBarCalibra_->setRange(0, 100);
    if (loaded == BaseMapResult::NoFile) {
        ctx_.dialogs->Message(this, windowTitle(), textNoFile_, MsgIcon::Error);
        done(kModalCancel);
        return false;
    }
    // The calibration goes on from the map the unit holds; the user learns which cells differ.
    OutcomeTexts::Show(*ctx_.dialogs, this, windowTitle(), OutcomeTexts(ctx_.dictionary).Refused(refused));
    return true;
}

void TFormCalibrazione::ApplyCorrections()
{
    BusyCursor busy;
    progressBarCalibra_->setRange(0, kRpmColumns);
    const auto add = GuidedColumnDeltas(ReadRpmBreakpoints(*ctx_.car), machine_.idleCorrection(),
                                        machine_.idleSpeed(), machine_.secondCorrection(),
                                        machine_.secondSpeed());
    AddToGasMap(*ctx_.car, add, [this](int column) { progressBarCalibra_->setValue(column); });
    progressBarCalibra_->setRange(0, 100);
}

bool TFormCalibrazione::FormKeyDown(int key)
{
    if (!keyPreview_)
        return false;
    QWidget* focus = focusWidget();
    const bool onExit = focus == buttonNext_ || focus == buttonEsci_;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (machine_.step() == kStepDone) {
            // The calibration is over: Enter does what the button in focus
            // does, by default the next page.
            auto* focused = qobject_cast<QPushButton*>(focus);
            QPushButton* target = focused != nullptr && isAncestorOf(focused) ? focused
                                  : buttonEsci_->isDefault()                  ? buttonEsci_
                                                                              : buttonNext_;
            if (!target->isHidden() && target->isEnabled())
                target->click();
            return true;
        }
        if (machine_.PressEnter())
            Render();
        return true;
    case Qt::Key_Up:
        if (!onExit)
            FocusButton(buttonEsci_);
        return true;
    case Qt::Key_Down:
        if (!onExit) {
            if (buttonNext_->isVisible() && buttonNext_->isEnabled())
                FocusButton(buttonNext_);
            else
                FocusButton(buttonEsci_);
        }
        return true;
    default: return false;
    }
}

// The button that has the focus shows it, as a keyboard move would; once the
// calibration is over it is also the default button, the one Enter presses.
void TFormCalibrazione::FocusButton(QPushButton* button)
{
    const bool done = machine_.step() == kStepDone;
    for (QPushButton* b : {buttonNext_, buttonCalStrada_, buttonEsci_})
        b->setDefault(done && b == button);
    button->setFocus(Qt::OtherFocusReason);
    // Styles draw the focus frame only after a move by keyboard.
    setAttribute(Qt::WA_KeyboardFocusChange);
    button->update();
}

bool TFormCalibrazione::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (FormKeyDown(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormCalibrazione::ButtonNextClick()
{
    TFormCalibra2 page(ctx_, this);
    ctx_.dialogs->Exec(&page);
    if (machine_.step() < 6 && focusWidget() == buttonNext_)
        groupCarb_->setFocus();
}

void TFormCalibrazione::ButtonCalStradaClick()
{
    timerBlink_->stop();
    {
        TFormCalibraStrada road(ctx_, this);
        ctx_.dialogs->Exec(&road);
    }
    timerBlink_->start();
    if (focusWidget() == buttonCalStrada_) {
        if (machine_.step() == -1)
            editCilindrata_->setFocus();
        else
            groupCarb_->setFocus();
    }
}

void TFormCalibrazione::done(int result)
{
    timerBlink_->stop();
    // The integral limits were opened only for the calibration.
    if (limitsSaved_ && !limitsRestored_) {
        limitsRestored_ = true;
        for (int i = 0; i < 4; ++i)
            ctx_.car->SetParam(kLimitIds[i], savedLimits_[i]);
    }
    QDialog::done(result);
}

} // namespace vapora
