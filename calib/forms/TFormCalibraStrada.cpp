#include "TFormCalibraStrada.h"
#include "widgets/RestorePointGuard.h"
#include "services/ui/Scaling.h"

#include "services/AppContext.h"
#include "CalibFormSupport.h"
#include "TFormParCalStrada.h"
#include "link/SerialLink.h"
#include "model/Clock.h"
#include "model/ConfCar.h"
#include "services/ui/DialogService.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace vapora {

using namespace calibforms;

namespace {

constexpr int kParamLambdaThreshold = 5;
constexpr int kTickMs = 150;
constexpr int kConfirmPauseMs = 300;
constexpr int kFullColour = 10; // samples from which a cell shows the sampled colour

int BlendByte(int from, int to, int samples)
{
    return (from + samples * ((to - from) / kFullColour)) & 0xFF;
}

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

// ---- the grid ----

RpmColumnGrid::RpmColumnGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DrawGridGiri"));
}

void RpmColumnGrid::Show(const RoadCalibration* road, int firstColumn, int lastColumn, const QColor& notSampled,
                         const QColor& sampled)
{
    road_ = road;
    first_ = firstColumn;
    last_ = std::max(firstColumn, lastColumn);
    notSampled_ = notSampled;
    sampled_ = sampled;
    update();
}

QColor RpmColumnGrid::CellColour(int column) const
{
    const int n = road_ != nullptr ? road_->count(column) : 0;
    if (n == 0)
        return notSampled_;
    if (n > kFullColour)
        return sampled_;
    return QColor(BlendByte(notSampled_.red(), sampled_.red(), n), BlendByte(notSampled_.green(), sampled_.green(), n),
                  BlendByte(notSampled_.blue(), sampled_.blue(), n));
}

void RpmColumnGrid::paintEvent(QPaintEvent*)
{
    if (road_ == nullptr)
        return;
    QPainter p(this);
    const int columns = shownColumns();
    const double w = static_cast<double>(width() - 1) / columns;
    const int h0 = (height() - 1) / 3; // row 1 is twice row 0
    const int h1 = height() - 1 - h0;
    QFont bold = font();
    bold.setBold(true);
    for (int k = 0; k < columns; ++k) {
        const int column = first_ + k;
        const QRect top(static_cast<int>(k * w), 0, static_cast<int>((k + 1) * w) - static_cast<int>(k * w), h0);
        const QRect cell(top.x(), h0, top.width(), h1);
        const bool running = column == road_->column();
        p.fillRect(top, running ? kBlue : palette().color(QPalette::Button));
        p.setPen(running ? Qt::white : Qt::black);
        p.setFont(bold);
        p.drawText(top, Qt::AlignCenter, QString::number(road_->breakpoints()[column] / 50 * 50));
        p.fillRect(cell, CellColour(column));
        if (road_->count(column) != 0) {
            p.setFont(font());
            const QString mean = QString::number(static_cast<int>(road_->mean(column)));
            QRect box = p.fontMetrics().boundingRect(mean).adjusted(-3, -1, 3, 1);
            box.moveCenter(cell.center());
            p.fillRect(box, Qt::white);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, mean);
        }
        p.setPen(QColor(96, 96, 96));
        p.drawRect(top);
        p.drawRect(cell);
    }
}

// ---- the window ----

TFormCalibraStrada::TFormCalibraStrada(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx),
      road_(ReadRpmBreakpoints(*ctx.car), ctx.car->GetParam(kParamLambdaThreshold), ctx.car->IsLambdaBit0())
{
    BuildControls();
    LoadTexts();
    LayoutGrid();

    timerUpdate_ = new QTimer(this);
    timerUpdate_->setObjectName(QStringLiteral("TimerUpdate"));
    timerUpdate_->setInterval(kTickMs);
    connect(timerUpdate_, &QTimer::timeout, this, &TFormCalibraStrada::Tick);
    timerUpdate_->start();
}

void TFormCalibraStrada::BuildControls()
{
    setObjectName(QStringLiteral("FormCalibraStrada"));
    setWindowTitle(QStringLiteral("Calibrazione su strada"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 14);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 800), Scaled(k, 600));
    QFont big = font();
    big.setPixelSize(Scaled(k, 20));
    big.setBold(true);
    QFont value = font();
    value.setPixelSize(Scaled(k, 30));
    value.setBold(true);

    labelPosMotore_ = new QLabel(QStringLiteral("Posizione giri motore"), this);
    labelPosMotore_->setObjectName(QStringLiteral("LabelPosMotore"));
    labelPosMotore_->setFont(big);
    labelPosMotore_->setAlignment(Qt::AlignCenter);
    at(labelPosMotore_, 40, 24, 720, 30);

    drawGridGiri_ = new RpmColumnGrid(this);

    labelMessaggio_ = new QLabel(QStringLiteral("Commutare la macchina a GAS"), this);
    labelMessaggio_->setObjectName(QStringLiteral("LabelMessaggio"));
    labelMessaggio_->setFont(big);
    labelMessaggio_->setAlignment(Qt::AlignCenter);
    labelMessaggio_->setFrameShape(QFrame::Panel);
    labelMessaggio_->setFrameShadow(QFrame::Sunken);
    SetFill(labelMessaggio_, QColor(255, 255, 225));
    at(labelMessaggio_, 100, 220, 600, 44);

    auto group = [&](const char* name, const QString& title, int x) {
        auto* g = new QGroupBox(title, this);
        g->setObjectName(QString::fromLatin1(name));
        g->setAlignment(Qt::AlignHCenter);
        at(g, x, 300, 180, 110);
        return g;
    };
    auto valueLabel = [&](QWidget* parent, const char* name, const QString& text) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(value);
        l->setAlignment(Qt::AlignCenter);
        at(l, 6, 36, 168, 50);
        return l;
    };
    groupCorr_ = group("GroupCorr", QStringLiteral("Correttore"), 100);
    labelCorrettore_ = valueLabel(groupCorr_, "LabelCorrettore", QStringLiteral("000"));
    groupLambda_ = group("GroupLambda", QStringLiteral("Lambda"), 310);
    labLambda_ = valueLabel(groupLambda_, "LabLambda", QStringLiteral("V"));
    groupTps_ = group("GroupTps", QStringLiteral("Tps"), 520);
    labTps_ = valueLabel(groupTps_, "LabTps", QStringLiteral("V"));

    progressBarCalibra_ = new QProgressBar(this);
    progressBarCalibra_->setObjectName(QStringLiteral("ProgressBarCalibra"));
    progressBarCalibra_->setTextVisible(false);
    at(progressBarCalibra_, 100, 440, 600, 22);
    progressBarCalibra_->hide();

    auto button = [&](const char* name, const QString& text, int x) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        at(b, x, 500, 170, 44);
        return b;
    };
    buttonConferma_ = button("ButtonConferma", QStringLiteral("&Conferma"), 100);
    buttonConferma_->setDefault(true);
    buttonConferma_->setEnabled(false);
    buttonModifica_ = button("ButtonModifica", QStringLiteral("&Modifica"), 315);
    buttonModifica_->setAutoDefault(false);
    buttonAnnulla_ = button("ButtonAnnulla", QStringLiteral("&Annulla"), 530);
    buttonAnnulla_->setAutoDefault(false);
    connect(buttonConferma_, &QPushButton::clicked, this, &TFormCalibraStrada::ButtonConfermaClick);
    connect(buttonModifica_, &QPushButton::clicked, this, &TFormCalibraStrada::ButtonModificaClick);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);
    MaximiseAroundDesign(this, size(), QStringLiteral("PanelCalibraStrada"));
}

void TFormCalibraStrada::LoadTexts()
{
    Texts texts(ctx_.dictionary);
    setWindowTitle(texts.Get("FinestraCalStrada", windowTitle()));
    labelMessaggio_->setText(texts.Get("LabelCommutaGas", labelMessaggio_->text(), 20));
    textRoad_ = texts.Get("MessCalibraStrada", QStringLiteral("Eseguire la calibrazione su strada"));
    textIdlePrompt_ = texts.Get("MessMinimoOk", QStringLiteral("Tenere la macchina al minimo e premere OK"));
    textIdleWait_ = texts.Get("MessAttendiMinimo", QStringLiteral("Attendere la calibrazione del minimo"));
    textQuestion_ = texts.Get("MessConfermaScarica",
                              QString::fromUtf8("La calibrazione su strada è terminata: Vuoi aggiornare la centralina?"));
    textUpdating_ = texts.Get("MessScaricaMappa", QStringLiteral("Attendere: aggiornamento centralina in corso..."));
    voltUnit_ = texts.Get("UnitaVolt", QStringLiteral("V"));
    texts.Control(labelPosMotore_, 50);
    texts.Control(buttonConferma_, 20);
    texts.Control(buttonAnnulla_, 20);
    texts.Control(buttonModifica_, 20);
    texts.ControlFrom(groupCorr_, "LabelCorr", 20);
    texts.ControlFrom(groupLambda_, "LabelLambda");
    texts.ControlFrom(groupTps_, "LabelTps");
}

void TFormCalibraStrada::LayoutGrid()
{
    const double k = ScreenScale();
    const int first = road_.tuning().idleColumns;
    const int columns = std::max(1, lastShownColumn_ - first + 1);
    const int cellWidth = Scaled(k, 52);
    const int room = drawGridGiri_->parentWidget()->width();
    const int width = std::min(columns * cellWidth, room - Scaled(k, 20));
    const int height = Scaled(k, 96);
    drawGridGiri_->setGeometry((room - width) / 2, Scaled(k, 80), width, height);
    drawGridGiri_->Show(&road_, first, lastShownColumn_, notSampled_, sampled_);
}

void TFormCalibraStrada::Tick()
{
    Read();
    switch (road_.Sample()) {
    case RoadTick::Sampled:
        QApplication::beep();
        break;
    case RoadTick::IdleDone:
        Finish();
        return;
    case RoadTick::Nothing: break;
    }
    Draw();
}

void TFormCalibraStrada::Read()
{
    if (ctx_.link == nullptr || !ctx_.link->IsConnected())
        return;
    if (road_.phase() == 0) {
        StatusValues status;
        if (!ReadStatusBlock(ctx_.link, status))
            return;
        if (road_.OnStatus(status)) {
            labelMessaggio_->setText(textRoad_);
            buttonConferma_->setEnabled(true);
            buttonConferma_->setFocus();
        }
    }
    EngineValues engine = road_.engine();
    if (ReadEngineBlock(ctx_.link, *ctx_.car, kPressureCoeffLpg, engine))
        road_.OnEngine(engine);
}

void TFormCalibraStrada::Draw()
{
    const EngineValues& e = road_.engine();
    if (e.correttore != lastCorrection_) {
        lastCorrection_ = e.correttore;
        labelCorrettore_->setText(QString::number(e.correttore));
    }
    SetTextColour(labLambda_, road_.lambdaLean() ? kGreen : kRed);
    labLambda_->setText(FixedVolts(e.lambda, voltUnit_));
    SetTextColour(labTps_, (e.flags & kEngineIdle) != 0 ? kRed : kGreen);
    labTps_->setText(FixedVolts(e.tps, voltUnit_));
    if (road_.column() != road_.previousColumn() || road_.sampling())
        drawGridGiri_->update();
}

// Repeats the idle prompt until the engine idles; the pause reads the speed
// again so a car that slows down is seen.
void TFormCalibraStrada::ButtonConfermaClick()
{
    if (road_.phase() != 1)
        return;
    for (;;) {
        if (ctx_.dialogs->Message(this, windowTitle(), textIdlePrompt_, MsgIcon::Information, MsgButtons::OkCancel,
                                  MsgResult::Ok)
            == MsgResult::Cancel)
            return;
        if (ctx_.clock != nullptr)
            ctx_.clock->Sleep(kConfirmPauseMs);
        Read();
        if (road_.AtIdle())
            break;
    }
    road_.StartIdlePhase();
    buttonConferma_->setEnabled(false);
    labelMessaggio_->setText(textIdleWait_);
}

void TFormCalibraStrada::ButtonModificaClick()
{
    timerUpdate_->stop();
    TFormParCalStrada params(road_.tuning(), notSampled_, sampled_, this, ctx_.dictionary);
    if (ctx_.dialogs->Exec(&params) == QDialog::Accepted) {
        const int oldIdle = road_.tuning().idleColumns;
        road_.tuning() = params.Tuning();
        notSampled_ = params.NotSampledColour();
        sampled_ = params.SampledColour();
        if (road_.tuning().idleColumns != oldIdle)
            lastShownColumn_ = kRpmColumns - 1;
        LayoutGrid();
    }
    timerUpdate_->start();
}

void TFormCalibraStrada::Finish()
{
    timerUpdate_->stop();
    if (ctx_.dialogs->Message(this, windowTitle(), textQuestion_, MsgIcon::Warning, MsgButtons::OkCancel,
                              MsgResult::Ok)
        == MsgResult::Ok)
        ChangeMap();
    done(kModalDone);
}

void TFormCalibraStrada::ChangeMap()
{
    const RoadDeltas deltas = road_.Deltas();
    if (deltas.any && !KeepBeforeOverwrite(ctx_, this, windowTitle(), restore::Reason::Calibration))
        return;
    BusyCursor busy;
    labelMessaggio_->setText(textUpdating_);
    progressBarCalibra_->setRange(0, kRpmColumns);
    progressBarCalibra_->show();
    if (!deltas.any)
        return;
    AddToGasMap(*ctx_.car, deltas.add, [this](int column) { progressBarCalibra_->setValue(column); });
    drawGridGiri_->update();
    summary_ = QStringLiteral("Ho scaricato i seguenti valori:\n");
    for (int c = 0; c < kRpmColumns; ++c)
        summary_ += QString::number(c) + QStringLiteral(" = ") + QString::number(deltas.add[c]) + QLatin1Char('\n');
    ctx_.dialogs->Message(this, windowTitle(), summary_, MsgIcon::Information);
}

} // namespace vapora
