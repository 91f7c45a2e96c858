#include "TFormDiagnosi.h"

#include "services/AppContext.h"
#include "MonitorUi.h"
#include "services/i18n/TDataModuleMur.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "services/ui/DialogService.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>

#include <cmath>

namespace vapora {
namespace {

constexpr int kTimeGas = 571;
constexpr int kTimePetrol = 572;

// A green a shade darker than the classic one: "OK" reads on the grey window.
const QColor kGreen(0, 120, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

const char* const kCaptions[kDiagChecks] = {
    "Autodiagnosi centralina",
    "Connessione elettrovalvola GAS",
    "Connessione sensore temperatura",
    "Riscaldamento riduttore",
    "Carburazione controllo sul ricco",
    "Carburazione controllo sul magro",
    "Funzionamento sonda lambda",
    "Funzionamento sensore Map",
    "Carburazione controllo sul ricco sonda 2",
    "Carburazione controllo sul magro sonda 2",
    "Funzionamento sonda lambda 2",
};

// Design tops of the first and last check; the visible ones share the space.
constexpr int kFirstTop = 92;
constexpr int kRowStep = 30;

void SetTextColor(QWidget* w, const QColor& color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    w->setPalette(p);
}

QPixmap TickPicture(QWidget* styleSource, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOptionButton option;
    option.initFrom(styleSource);
    option.rect = QRect(0, 0, size, size);
    option.state = QStyle::State_On | QStyle::State_Enabled;
    styleSource->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, styleSource);
    return pixmap;
}

} // namespace

TFormDiagnosi::TFormDiagnosi(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("FormDiagnosi"));
    setWindowTitle(QStringLiteral("Diagnosi centralina"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const double k = monitor_ui::ScreenScale();
    auto px = [k](int v) { return static_cast<int>(std::lround(v * k)); };
    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("PanelDiagnosi"));
    content->setFixedSize(px(800), px(550));
    auto* grid = new QGridLayout(this);
    grid->addWidget(content, 0, 0, Qt::AlignCenter);
    auto at = [&px](QWidget* w, int x, int y, int wd, int ht) { w->setGeometry(px(x), px(y), px(wd), px(ht)); };
    QFont base = font();
    base.setPixelSize(px(14));
    content->setFont(base);

    auto label = [content](const QString& name, const QString& text) {
        auto* l = new QLabel(text, content);
        l->setObjectName(name);
        return l;
    };
    labelTitolo_ = label(QStringLiteral("LabelTitoloDiagnosi"),
                         QStringLiteral("Per abilitare o disabilitare i controlli selezionarli e premere INVIO"));
    labelTitolo_->setFont(monitor_ui::BoldFont(px(15)));
    at(labelTitolo_, 30, 18, 740, 24);
    image1_ = label(QStringLiteral("Image1"), QString());
    at(image1_, 40, 52, 20, 20);
    image1_->setPixmap(TickPicture(image1_, px(16)));
    labelAbilitaz_ = label(QStringLiteral("LabelAbilitazDiagnosi"), QStringLiteral("= controllo abilitato"));
    at(labelAbilitaz_, 64, 52, 500, 20);

    for (int i = 0; i < kDiagChecks; ++i) {
        const int n = i + 1;
        auto* box = new QCheckBox(QString::fromUtf8(kCaptions[i]), content);
        box->setObjectName(QStringLiteral("CheckDiagn%1").arg(n));
        box->setProperty("tag", DiagCheckBit(n));
        box->setFocusPolicy(Qt::StrongFocus);
        at(box, 40, kFirstTop + kRowStep * i, 470, 24);
        box->installEventFilter(this);
        connect(box, &QCheckBox::clicked, this, [this, box] { CheckClick(box); });
        checks_[i] = box;

        auto* state = label(QStringLiteral("LabelStato%1").arg(n), QStringLiteral("OK"));
        state->setFont(monitor_ui::BoldFont(px(14)));
        at(state, 540, kFirstTop + kRowStep * i, 160, 24);
        SetTextColor(state, kGreen);
        states_[i] = state;
    }

    labelTempoGas_ = label(QStringLiteral("LabelTempoGas"), QStringLiteral("Tempo a GAS"));
    at(labelTempoGas_, 40, 430, 200, 22);
    labelTGas_ = label(QStringLiteral("LabelTGas"), QStringLiteral("0 ore, 0 minuti"));
    labelTGas_->setFont(monitor_ui::BoldFont(px(14)));
    at(labelTGas_, 250, 430, 300, 22);
    labelTempoBenzina_ = label(QStringLiteral("LabelTempoBenzina"), QStringLiteral("Tempo a Benzina"));
    at(labelTempoBenzina_, 40, 458, 200, 22);
    labelTBenz_ = label(QStringLiteral("LabelTBenz"), QStringLiteral("0 ore, 0 minuti"));
    labelTBenz_->setFont(monitor_ui::BoldFont(px(14)));
    at(labelTBenz_, 250, 458, 300, 22);

    auto button = [content](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, content);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    buttonAzzeraErrori_ = button(QStringLiteral("ButtonAzzeraErrori"), QStringLiteral("Azzera e&rrori"));
    at(buttonAzzeraErrori_, 170, 500, 140, 30);
    connect(buttonAzzeraErrori_, &QPushButton::clicked, this, &TFormDiagnosi::ButtonAzzeraErroriClick);
    buttonAzzeraTempi_ = button(QStringLiteral("ButtonAzzeraTempi"), QStringLiteral("Azzera &tempi"));
    at(buttonAzzeraTempi_, 330, 500, 140, 30);
    connect(buttonAzzeraTempi_, &QPushButton::clicked, this, &TFormDiagnosi::ButtonAzzeraTempiClick);
    buttonEsci_ = button(QStringLiteral("ButtonEsci"), QStringLiteral("&Esci"));
    at(buttonEsci_, 490, 500, 140, 30);
    connect(buttonEsci_, &QPushButton::clicked, this, &QDialog::accept);

    if (ctx_.dictionary != nullptr && ctx_.dictionary->Available())
        LoadTexts();

    ConfCar* car = ctx_.car;
    const bool twoProbes = car != nullptr && car->HasTwoProbes();
    const bool kind2 = car != nullptr && car->IsUnitKind2();
    std::array<bool, kDiagChecks> visible{};
    std::array<int, kDiagChecks> designTops{};
    const int enable = car != nullptr ? car->GetDiagParam(0, 2) : 0;
    for (int i = 0; i < kDiagChecks; ++i) {
        visible[i] = DiagCheckVisible(i + 1, kind2, twoProbes);
        checks_[i]->setVisible(visible[i]);
        states_[i]->setVisible(visible[i]);
        checks_[i]->setChecked((enable & DiagCheckBit(i + 1)) != 0);
        designTops[i] = checks_[i]->y();
    }
    const auto tops = LayoutDiagChecks(visible, designTops);
    for (int i = 0; i < kDiagChecks; ++i) {
        checks_[i]->move(checks_[i]->x(), tops[i]);
        states_[i]->move(states_[i]->x(), tops[i]);
    }

    Refresh();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kRefreshMs);
    connect(timer1_, &QTimer::timeout, this, &TFormDiagnosi::Timer1Timer);
    timer1_->start();
    setWindowState(windowState() | Qt::WindowMaximized);
}

TFormDiagnosi::~TFormDiagnosi() = default;

void TFormDiagnosi::LoadTexts()
{
    TDataModuleMur& d = *ctx_.dictionary;
    d.BeginLookups();
    QString text = windowTitle();
    if (d.Lookup(QStringLiteral("FinestraDiagnosi"), text))
        setWindowTitle(text);
    d.LookupControl(buttonEsci_, 10);
    for (QWidget* w : std::initializer_list<QWidget*>{buttonAzzeraTempi_, buttonAzzeraErrori_, labelTempoGas_,
                                                      labelTempoBenzina_})
        d.LookupControl(w, 20);
    d.LookupControl(labelTitolo_, 70);
    d.LookupControl(labelAbilitaz_, 70);
    for (int i = 0; i < kDiagChecks; ++i) {
        text = checks_[i]->text();
        if (d.Lookup(QStringLiteral("LabelDiagnosi%1").arg(i + 1), text))
            checks_[i]->setText(text);
    }
    d.Lookup(QStringLiteral("LabelOre"), hoursUnit_);
    d.Lookup(QStringLiteral("LabelMinuti"), minutesUnit_);
    d.Lookup(QStringLiteral("MessOk"), okText_);
    d.Lookup(QStringLiteral("MessErrore"), errorText_);
    d.Lookup(QStringLiteral("MessConferma"), confirmText_);
    d.EndLookups();
    for (QLabel* l : states_)
        l->setText(okText_);
    labelTGas_->setText(TimeText(0));
    labelTBenz_->setText(TimeText(0));
}

QString TFormDiagnosi::TimeText(int minutes) const
{
    return QString::fromStdString(
        FormatOperatingTime(minutes, hoursUnit_.toStdString(), minutesUnit_.toStdString()));
}

void TFormDiagnosi::ShowState(int n, bool error)
{
    QLabel* l = states_[n - 1];
    l->setText(error ? errorText_ : okText_);
    SetTextColor(l, error ? kRed : kGreen);
}

void TFormDiagnosi::Refresh()
{
    ConfCar* car = ctx_.car;
    if (car == nullptr)
        return;
    const int errors = car->GetDiagParam(0, 1);
    for (int n = 1; n <= kDiagChecks; ++n)
        ShowState(n, (errors & DiagCheckBit(n)) != 0);
    labelTGas_->setText(TimeText(static_cast<int>(car->GetParam(kTimeGas))));
    labelTBenz_->setText(TimeText(static_cast<int>(car->GetParam(kTimePetrol))));
}

void TFormDiagnosi::Timer1Timer()
{
    if (ctx_.link != nullptr && ctx_.link->IsConnected())
        Refresh();
}

void TFormDiagnosi::CheckClick(QCheckBox* box)
{
    ConfCar* car = ctx_.car;
    if (car == nullptr)
        return;
    const int tag = box->property("tag").toInt();
    const bool ticked = box->isChecked();
    const int enable = car->GetDiagParam(0, 2);
    if (!ticked) {
        // The check's pending error goes first, so a disabled check never stays in error.
        const int errors = car->GetDiagParam(0, 1);
        car->SetDiagParam(0, 1, ErrorWordBeforeDisable(errors, tag));
    }
    car->SetDiagParam(0, 2, EnableWordAfterClick(enable, tag, ticked));
    Refresh();
}

void TFormDiagnosi::ButtonAzzeraErroriClick()
{
    if (ConfCar* car = ctx_.car) {
        car->SetDiagParam(0, 1, 0);
        car->SetDiagParam(1, 1, 0);
    }
    for (int n = 1; n <= kDiagChecks; ++n)
        ShowState(n, false);
}

void TFormDiagnosi::ButtonAzzeraTempiClick()
{
    if (ctx_.dialogs == nullptr)
        return;
    if (ctx_.dialogs->Message(this, windowTitle(), confirmText_, MsgIcon::Warning, MsgButtons::YesNo,
                              MsgResult::Yes) != MsgResult::Yes)
        return;
    if (ConfCar* car = ctx_.car) {
        car->SetParam(kTimeGas, 0);
        car->SetParam(kTimePetrol, 0);
    }
    labelTGas_->setText(TimeText(0));
    labelTBenz_->setText(TimeText(0));
}

bool TFormDiagnosi::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QCheckBox*>(watched);
    if (box == nullptr)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            box->click(); // toggles and fires the click, as the space bar does
            return true;
        }
        break;
    }
    case QEvent::FocusIn: {
        QFont f = box->font();
        f.setBold(true);
        box->setFont(f);
        SetTextColor(box, kBlue);
        break;
    }
    case QEvent::FocusOut: {
        QFont f = box->font();
        f.setBold(false);
        box->setFont(f);
        SetTextColor(box, palette().color(QPalette::WindowText));
        break;
    }
    case QEvent::Enter:
        if (box->isEnabled() && box->isVisible() && box->focusPolicy() != Qt::NoFocus)
            box->setFocus(Qt::MouseFocusReason);
        break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vapora
