#include "TFormVisualizza.h"

#include "services/AppContext.h"
#include "MonitorUi.h"
#include "services/i18n/TDataModuleMur.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace vapora {
namespace {

using monitor_ui::SetShapeColor;

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kAqua(0, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kClear; // invalid: the panel shows through

QColor ButtonFace() { return QPalette().color(QPalette::Button); }

void SetBar(QWidget* shape, int length)
{
    const QRect inner = static_cast<QFrame*>(shape->parentWidget())->contentsRect();
    shape->setGeometry(inner.left(), inner.top(), length, inner.height());
}

int InnerWidth(const QFrame* panel) { return panel->contentsRect().width(); }

} // namespace

TFormVisualizza::TFormVisualizza(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("FormVisualizza"));
    setWindowTitle(QStringLiteral("Visualizzazione parametri"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const double k = monitor_ui::ScreenScale();
    resize(static_cast<int>(800 * k), static_cast<int>(560 * k));

    labelGiri_ = MakeLabel(QStringLiteral("LabelGiri"), QStringLiteral("Giri motore"), Qt::AlignLeft);
    labGiri_ = MakeLabel(QStringLiteral("LabGiri"), QStringLiteral("0 rpm"), Qt::AlignRight);
    panelGiri_ = MakePanel(QStringLiteral("PanelGiri"));
    shapeGiri_ = MakeShape(panelGiri_, QStringLiteral("ShapeGiri"));
    SetShapeColor(shapeGiri_, kBlue);

    labelLambda_ = MakeLabel(QStringLiteral("LabelLambda"), QStringLiteral("Lambda"), Qt::AlignLeft);
    labLambda_ = MakeLabel(QStringLiteral("LabLambda"), QStringLiteral("0 V"), Qt::AlignRight);
    panelLambda_ = MakePanel(QStringLiteral("PanelLambda"));
    shapeLambda_ = MakeShape(panelLambda_, QStringLiteral("ShapeLambda"));
    SetShapeColor(shapeLambda_, kRed);

    labelLambda2_ = MakeLabel(QStringLiteral("LabelLambda2"), QStringLiteral("Lambda 2"), Qt::AlignLeft);
    labLambda2_ = MakeLabel(QStringLiteral("LabLambda2"), QStringLiteral("0 V"), Qt::AlignRight);
    panelLambda2_ = MakePanel(QStringLiteral("PanelLambda2"));
    shapeLambda2_ = MakeShape(panelLambda2_, QStringLiteral("ShapeLambda2"));
    SetShapeColor(shapeLambda2_, kRed);

    labelTps_ = MakeLabel(QStringLiteral("LabelTps"), QStringLiteral("TPS"), Qt::AlignLeft);
    labTps_ = MakeLabel(QStringLiteral("LabTps"), QStringLiteral("0 V"), Qt::AlignRight);
    panelTps_ = MakePanel(QStringLiteral("PanelTps"));
    shapeTpsMin_ = MakeShape(panelTps_, QStringLiteral("ShapeTpsMin"));
    shapeMiddle_ = MakeShape(panelTps_, QStringLiteral("ShapeMiddle"));
    shapeSbana_ = MakeShape(panelTps_, QStringLiteral("ShapeSbana"));

    labelSvitare_ = MakeLabel(QStringLiteral("LabelSvitare"), QString::fromUtf8("Svitare \u00bb"), Qt::AlignCenter);
    labelOk_ = MakeLabel(QStringLiteral("LabelOk"), QStringLiteral("OK"), Qt::AlignCenter);
    labelAvvitare_ = MakeLabel(QStringLiteral("LabelAvvitare"), QString::fromUtf8("\u00ab Avvitare"), Qt::AlignCenter);
    panelPressione_ = MakePanel(QStringLiteral("PanelPressione"));
    shapePressioneBassa_ = MakeShape(panelPressione_, QStringLiteral("ShapePressioneBassa"));
    shapePressioneOK_ = MakeShape(panelPressione_, QStringLiteral("ShapePressioneOK"));
    shapePressioneAlta_ = MakeShape(panelPressione_, QStringLiteral("ShapePressioneAlta"));

    buttonEsci_ = new QPushButton(QStringLiteral("&Esci"), this);
    buttonEsci_->setObjectName(QStringLiteral("ButtonEsci"));
    buttonEsci_->setDefault(true);
    connect(buttonEsci_, &QPushButton::clicked, this, &QDialog::accept);

    if (ctx_.dictionary != nullptr && ctx_.dictionary->Available())
        LoadTexts();

    if (ConfCar* car = ctx_.car) {
        lambdaThreshold_ = car->GetParam(5);
        lambdaDirection_ = car->IsLambdaBit0();
        lambdaScale_ = DisplayLambdaScaleFor(static_cast<int>(car->GetParam(4)));
        band_ = DisplayPressureBandFor(car->GetStatusFlag(ConfCar::kMethane));
        twoProbes_ = car->HasTwoProbes();
        kind3_ = car->IsUnitKind3();
    }
    labelLambda2_->setVisible(twoProbes_);
    labLambda2_->setVisible(twoProbes_);
    panelLambda2_->setVisible(twoProbes_);

    Layout();
    Draw(true);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kRefreshMs);
    connect(timer1_, &QTimer::timeout, this, &TFormVisualizza::Timer1Timer);
    timer1_->start();
    setWindowState(windowState() | Qt::WindowMaximized);
}

TFormVisualizza::~TFormVisualizza() = default;

QLabel* TFormVisualizza::MakeLabel(const QString& name, const QString& text, Qt::Alignment align)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QFrame* TFormVisualizza::MakePanel(const QString& name)
{
    auto* panel = new QFrame(this);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, Qt::white);
    panel->setPalette(p);
    return panel;
}

QWidget* TFormVisualizza::MakeShape(QFrame* panel, const QString& name)
{
    auto* shape = new QWidget(panel);
    shape->setObjectName(name);
    SetShapeColor(shape, kClear);
    return shape;
}

void TFormVisualizza::LoadTexts()
{
    TDataModuleMur& d = *ctx_.dictionary;
    d.BeginLookups();
    for (QLabel* l : {labelGiri_, labelLambda_, labelLambda2_, labelTps_})
        d.LookupControl(l, 15);
    d.LookupControl(labelOk_, 5);
    for (QWidget* w : std::initializer_list<QWidget*>{labelSvitare_, labelAvvitare_, buttonEsci_})
        d.LookupControl(w, 25);
    QString text = windowTitle();
    if (d.Lookup(QStringLiteral("FinestraVisualizza"), text))
        setWindowTitle(text);
    text.clear();
    if (d.Lookup(QStringLiteral("UnitaVolt"), text))
        voltUnit_ = QLatin1Char(' ') + text;
    text.clear();
    if (d.Lookup(QStringLiteral("UnitaGiri"), text))
        rpmUnit_ = QLatin1Char(' ') + text;
    d.EndLookups();
    labGiri_->setText(QStringLiteral("0") + rpmUnit_);
}

void TFormVisualizza::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Layout();
    Draw(true);
}

// Rows: speed at the top, pressure near the bottom, the probe and throttle rows
// spread evenly between them (thirds when there is no second probe).
void TFormVisualizza::Layout()
{
    const int w = width();
    const int h = height();
    const int rowH = std::max(20, h * 9 / 100);
    const int labelX = w * 3 / 100, labelW = w * 19 / 100;
    const int valueX = w * 21 / 100, valueW = w * 20 / 100;
    const int barX = w * 43 / 100, barW = w * 54 / 100;
    const int firstTop = h * 5 / 100;
    const int pressureTop = h * 70 / 100;

    const QFont title = monitor_ui::BoldFont(rowH * 38 / 100);
    const QFont value = monitor_ui::BoldFont(rowH * 48 / 100);

    auto row = [&](QLabel* label, QLabel* val, QFrame* panel, int top) {
        label->setFont(title);
        label->setGeometry(labelX, top, labelW, rowH);
        val->setFont(value);
        val->setGeometry(valueX, top, valueW, rowH);
        panel->setGeometry(barX, top, barW, rowH);
    };
    const int span = pressureTop - firstTop;
    row(labelGiri_, labGiri_, panelGiri_, firstTop);
    if (twoProbes_) {
        row(labelLambda_, labLambda_, panelLambda_, firstTop + span / 4);
        row(labelLambda2_, labLambda2_, panelLambda2_, firstTop + span * 2 / 4);
        row(labelTps_, labTps_, panelTps_, firstTop + span * 3 / 4);
    } else {
        row(labelLambda_, labLambda_, panelLambda_, firstTop + span / 3);
        row(labelTps_, labTps_, panelTps_, firstTop + span * 2 / 3);
    }

    const int pressX = labelX, pressW = barX + barW - labelX;
    const int third = pressW / 3;
    const int labelsTop = pressureTop - rowH / 2;
    for (auto [label, i] : {std::pair{labelSvitare_, 0}, std::pair{labelOk_, 1}, std::pair{labelAvvitare_, 2}}) {
        label->setFont(title);
        label->setGeometry(pressX + third * i, labelsTop - rowH / 4, third, rowH / 2 + rowH / 4);
    }
    panelPressione_->setGeometry(pressX, pressureTop + rowH / 3, pressW, rowH * 3 / 2);

    auto thirds = [](QFrame* panel, QWidget* a, QWidget* b, QWidget* c) {
        const QRect in = panel->contentsRect();
        const int t = in.width() / 3;
        a->setGeometry(in.left(), in.top(), t, in.height());
        b->setGeometry(in.left() + t, in.top(), t, in.height());
        c->setGeometry(in.left() + 2 * t, in.top(), in.width() - 2 * t, in.height());
    };
    thirds(panelTps_, shapeTpsMin_, shapeMiddle_, shapeSbana_);
    thirds(panelPressione_, shapePressioneBassa_, shapePressioneOK_, shapePressioneAlta_);

    buttonEsci_->setFont(monitor_ui::BoldFont(rowH * 30 / 100));
    const int bw = std::max(120, w / 7), bh = std::max(28, rowH * 6 / 10);
    buttonEsci_->setGeometry((w - bw) / 2, h - bh - h * 3 / 100, bw, bh);
}

QString TFormVisualizza::Volts(double v) const
{
    return QString::fromStdString(FormatDisplayVolts(v)) + voltUnit_;
}

void TFormVisualizza::Timer1Timer()
{
    if (ctx_.link != nullptr && ctx_.link->IsConnected()) {
        uint8_t buffer[kLiveBufferSize] = {};
        int32_t length = kLiveBufferSize;
        if (ctx_.link->ReadLive(0, buffer, &length))
            DecodeEngineBlock(buffer, std::min<int32_t>(length, kLiveBufferSize), band_.coefficient, twoProbes_,
                              kind3_, current_);
    }
    Draw(false);
}

void TFormVisualizza::Draw(bool force)
{
    const EngineValues& c = current_;
    const EngineValues& p = previous_;

    labGiri_->setText(QString::number(c.giri) + rpmUnit_);
    labLambda_->setText(Volts(c.lambda));
    labTps_->setText(Volts(c.tps));
    SetShapeColor(shapeLambda_, LambdaIsGreen(c.lambda, lambdaThreshold_, lambdaDirection_) ? kGreen : kRed);
    if (twoProbes_) {
        labLambda2_->setText(Volts(c.lambda2));
        SetShapeColor(shapeLambda2_, LambdaIsGreen(c.lambda2, lambdaThreshold_, lambdaDirection_) ? kGreen : kRed);
    }

    if (force || c.giri != p.giri)
        SetBar(shapeGiri_, SpeedBarLength(InnerWidth(panelGiri_), c.giri));
    if (force || c.lambdaRaw != p.lambdaRaw)
        SetBar(shapeLambda_, LambdaBarLength(InnerWidth(panelLambda_), c.lambda, lambdaScale_, lambdaDirection_));
    if (twoProbes_ && (force || c.lambda2Raw != p.lambda2Raw))
        SetBar(shapeLambda2_, LambdaBarLength(InnerWidth(panelLambda2_), c.lambda2, lambdaScale_, lambdaDirection_));

    if (force || c.flags != p.flags) {
        const DisplayTpsSegment seg = DisplayTpsSegmentFor(c.flags);
        SetShapeColor(shapeTpsMin_, seg == DisplayTpsSegment::Min ? kAqua : kClear);
        SetShapeColor(shapeMiddle_, seg == DisplayTpsSegment::Middle ? kYellow : kClear);
        SetShapeColor(shapeSbana_, seg == DisplayTpsSegment::Upper ? kRed : kClear);
    }
    if (force || c.pressione != p.pressione) {
        const DisplayPressureZone zone = DisplayPressureZoneFor(c.pressione, band_);
        SetShapeColor(shapePressioneBassa_, zone == DisplayPressureZone::Low ? kAqua : ButtonFace());
        SetShapeColor(shapePressioneOK_, zone == DisplayPressureZone::Ok ? kGreen : ButtonFace());
        SetShapeColor(shapePressioneAlta_, zone == DisplayPressureZone::High ? kYellow : ButtonFace());
    }
    previous_ = current_;
}

} // namespace vapora
