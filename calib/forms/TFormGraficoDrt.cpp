#include "TFormGraficoDrt.h"

#include "services/AppContext.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/ui/DialogService.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace vapora {
namespace {

constexpr int kTimeIntervals = 8;
// The least room a time label needs; a narrow plot gets fewer of them.
constexpr int kTimeLabelPixels = 60;
constexpr int kValueIntervals = 5;
constexpr int kNiceTicks = 5; // the axes' own default

struct TraceInfo {
    const char* menuName;
    const char* caption;
    const char* suffix;
    QColor color;
};

const TraceInfo kTraces[kRecordingTraces] = {
    {"MenuGiri", "&Giri", " x 1000", QColor(0, 0, 200)},
    {"MenuMap", "&MAP", "", QColor(200, 0, 0)},
    {"MenuVarTps", "&Variazione TPS", " x 100", QColor(0, 150, 150)},
    {"MenuTps", "&TPS", "", QColor(0, 150, 0)},
    {"MenuLambda", "&Lambda", "", QColor(230, 120, 0)},
    {"MenuApertura", "Ap&ertura", " x 100", QColor(140, 0, 160)},
    {"MenuArricchimento", "A&rricchimento", " x 10", QColor(120, 90, 40)},
    {"MenuCorrettore", "C&orrettore", " x 10", QColor(230, 0, 140)},
    {"MenuPressione", "&Pressione", "", QColor(90, 90, 90)},
    {"MenuTemperatura", "&Temperatura", " x 10", QColor(180, 160, 0)},
};

QString WithoutFirstAmpersand(QString text)
{
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    if (at >= 0)
        text.remove(at, 1);
    return text;
}

// Middle-button drag and the arrow keys scroll the view; the rubber band zooms.
// The pointer moves the cursor, a click (a press released without dragging)
// pins one, Ctrl+arrows step it; a right click first clears pinned cursors.
class DrtChartView final : public QChartView {
public:
    using QChartView::QChartView;

    std::function<void(QPointF)> onHover;
    std::function<void(QPointF)> onClick;
    std::function<bool()> onRightClick; // true when it used the click
    std::function<void(int)> onStep;

protected:
    QPointF ChartPoint(const QPointF& viewPoint) const
    {
        return chart()->mapFromScene(mapToScene(viewPoint.toPoint()));
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::MiddleButton) {
            dragFrom_ = e->position();
            dragging_ = true;
            e->accept();
            return;
        }
        if (e->button() == Qt::LeftButton && chart()->plotArea().contains(ChartPoint(e->position()))) {
            // A click or the start of a zoom rectangle: told apart by the drag.
            pressAt_ = e->position();
            pressPending_ = true;
            e->accept();
            return;
        }
        if (e->button() == Qt::RightButton && onRightClick && onRightClick()) {
            rightUsed_ = true;
            e->accept();
            return;
        }
        QChartView::mousePressEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        // Two quick clicks are two cursors, not one.
        if (e->button() == Qt::LeftButton) {
            mousePressEvent(e);
            return;
        }
        QChartView::mouseDoubleClickEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (dragging_) {
            const QPointF delta = e->position() - dragFrom_;
            dragFrom_ = e->position();
            chart()->scroll(-delta.x(), delta.y());
            e->accept();
            return;
        }
        if (pressPending_) {
            if ((e->position() - pressAt_).manhattanLength() < QApplication::startDragDistance()) {
                e->accept();
                return;
            }
            pressPending_ = false;
            QMouseEvent press(QEvent::MouseButtonPress, pressAt_, mapToGlobal(pressAt_), Qt::LeftButton,
                              Qt::LeftButton, e->modifiers());
            QChartView::mousePressEvent(&press);
        }
        if (e->buttons() == Qt::NoButton && onHover)
            onHover(ChartPoint(e->position()));
        QChartView::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (dragging_ && e->button() == Qt::MiddleButton) {
            dragging_ = false;
            e->accept();
            return;
        }
        if (pressPending_ && e->button() == Qt::LeftButton) {
            pressPending_ = false;
            if (onClick)
                onClick(ChartPoint(pressAt_));
            e->accept();
            return;
        }
        if (rightUsed_ && e->button() == Qt::RightButton) {
            rightUsed_ = false;
            e->accept();
            return;
        }
        QChartView::mouseReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        if ((e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) && (mods & Qt::ControlModifier) &&
            !(mods & Qt::AltModifier)) {
            const int lines = mods & Qt::ShiftModifier ? 10 : 1;
            if (onStep)
                onStep(e->key() == Qt::Key_Left ? -lines : lines);
            e->accept();
            return;
        }
        if (mods & Qt::AltModifier) { // Alt+arrows belong to menu items
            QChartView::keyPressEvent(e);
            return;
        }
        const qreal step = chart()->plotArea().width() / 10;
        switch (e->key()) {
        case Qt::Key_Left: chart()->scroll(-step, 0); break;
        case Qt::Key_Right: chart()->scroll(step, 0); break;
        case Qt::Key_Up: chart()->scroll(0, step); break;
        case Qt::Key_Down: chart()->scroll(0, -step); break;
        default: QChartView::keyPressEvent(e); return;
        }
        e->accept();
    }

private:
    QPointF dragFrom_;
    bool dragging_ = false;
    QPointF pressAt_;
    bool pressPending_ = false;
    bool rightUsed_ = false;
};

} // namespace

TFormGraficoDrt::TFormGraficoDrt(AppContext& ctx, const QString& fileName, QWidget* parent)
    : QDialog(parent), ctx_(ctx), fileName_(fileName), printTarget_(std::make_unique<DialogPrintTarget>())
{
    setObjectName(QStringLiteral("FormGraficoDrt"));
    setWindowTitle(QStringLiteral("Grafico"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
    resize(1000, 700);

    BuildMenus();
    BuildChart();
    BuildReadout();

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setAutoDefault(false);
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    auto* plot = new QHBoxLayout;
    plot->addWidget(chartView_, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(gridLettura_);
    side->addStretch(1);
    plot->addLayout(side);
    layout->addLayout(plot, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOk_);
    buttons->addStretch();
    layout->addLayout(buttons);

    QString chartTitle = QStringLiteral("Grafico dati in tempo reale");
    if (ctx_.dictionary != nullptr && ctx_.dictionary->Available()) {
        LoadTexts();
        ctx_.dictionary->BeginLookups();
        ctx_.dictionary->Lookup(QStringLiteral("LabelTitoloGrafico"), chartTitle);
        ctx_.dictionary->EndLookups();
    }
    chart_->setTitle(chartTitle);

    for (int i = 0; i < kRecordingTraces; ++i) {
        titles_[i] = WithoutFirstAmpersand(elimina_[i]->text()) + QString::fromLatin1(kTraces[i].suffix);
        series_[i]->setName(titles_[i]);
        secondSeries_[i]->setName(titles_[i]);
    }
    LabelReadout();

    if (!QFileInfo::exists(fileName_))
        return;
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + QFileInfo(fileName_).fileName().section(QLatin1Char('.'), 0, 0));

    const RecordingResult result = ReadRecording(QFile::encodeName(fileName_).toStdString(), data_);
    if (result.status != RecordingStatus::Ok) {
        if (ctx_.dialogs != nullptr)
            ctx_.dialogs->Message(parent, windowTitle(), badFileText_, MsgIcon::Error);
        return;
    }
    Populate();
    loaded_ = true;
    setWindowState(windowState() | Qt::WindowMaximized);
}

TFormGraficoDrt::~TFormGraficoDrt() = default;

bool TFormGraficoDrt::ShowRecording(AppContext& ctx, QWidget* parent, const QString& fileName)
{
    TFormGraficoDrt form(ctx, fileName, parent);
    if (!form.Loaded())
        return false;
    if (ctx.dialogs != nullptr)
        ctx.dialogs->Exec(&form);
    else
        form.exec();
    return true;
}

QString TFormGraficoDrt::TraceTitle(int index) const { return titles_[index]; }

void TFormGraficoDrt::BuildMenus()
{
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MainMenu"));

    menuGrafico_ = menuBar_->addMenu(QStringLiteral("&Grafico"));
    menuGrafico_->setObjectName(QStringLiteral("MenuGrafico"));
    menuAnnullaZoom_ = menuGrafico_->addAction(QStringLiteral("&Annulla zoom"));
    menuAnnullaZoom_->setObjectName(QStringLiteral("MenuAnnullaZoom"));
    menuAnnullaZoom_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(menuAnnullaZoom_, &QAction::triggered, this, &TFormGraficoDrt::MenuAnnullaZoomClick);
    auto item = [this](QMenu* menu, const char* name, const char* caption, const QKeySequence& keys) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        return a;
    };
    menuCancellaCursori_ = item(menuGrafico_, "MenuCancellaCursori", "&Cancella cursori", QKeySequence(Qt::Key_Delete));
    connect(menuCancellaCursori_, &QAction::triggered, this, &TFormGraficoDrt::ClearCursors);
    menuStampa_ = menuGrafico_->addAction(QStringLiteral("&Stampa"));
    menuStampa_->setObjectName(QStringLiteral("MenuStampa"));
    menuStampa_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(menuStampa_, &QAction::triggered, this, &TFormGraficoDrt::MenuStampaClick);
    menuEsportaCsv_ = item(menuGrafico_, "MenuEsportaCsv", "Esporta CS&V...", QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(menuEsportaCsv_, &QAction::triggered, this, &TFormGraficoDrt::MenuEsportaCsvClick);
    menuSalvaImmagine_ =
        item(menuGrafico_, "MenuSalvaImmagine", "Salva &immagine...", QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(menuSalvaImmagine_, &QAction::triggered, this, &TFormGraficoDrt::MenuSalvaImmagineClick);
    menuGrafico_->addSeparator();
    menuEsci_ = menuGrafico_->addAction(QStringLiteral("&Esci"));
    menuEsci_->setObjectName(QStringLiteral("MenuEsci"));
    menuEsci_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(menuEsci_, &QAction::triggered, this, &QDialog::accept);

    menuTracce_ = menuBar_->addMenu(QStringLiteral("&Tracce"));
    menuTracce_->setObjectName(QStringLiteral("MenuTracce"));
    menuAggiungi_ = menuTracce_->addMenu(QStringLiteral("&Aggiungi..."));
    menuAggiungi_->setObjectName(QStringLiteral("MenuAggiungi"));
    menuElimina_ = menuTracce_->addMenu(QStringLiteral("&Elimina..."));
    menuElimina_->setObjectName(QStringLiteral("MenuElimina"));

    for (int i = 0; i < kRecordingTraces; ++i) {
        QAction* add = menuAggiungi_->addAction(QString::fromUtf8(kTraces[i].caption));
        add->setObjectName(QString::fromLatin1(kTraces[i].menuName));
        add->setData(i);
        add->setVisible(false);
        connect(add, &QAction::triggered, this, [this, i] { SetTraceShown(i, true); });
        aggiungi_[i] = add;
    }
    menuVuoto_ = menuAggiungi_->addAction(QStringLiteral("(vuoto)"));
    menuVuoto_->setObjectName(QStringLiteral("MenuVuoto"));
    menuVuoto_->setEnabled(false);

    for (int i = 0; i < kRecordingTraces; ++i) {
        QAction* remove = menuElimina_->addAction(QString::fromUtf8(kTraces[i].caption));
        remove->setObjectName(QString::fromLatin1(kTraces[i].menuName) + QLatin1Char('1'));
        remove->setData(i);
        connect(remove, &QAction::triggered, this, [this, i] { SetTraceShown(i, false); });
        elimina_[i] = remove;
    }
    menuVuoto1_ = menuElimina_->addAction(QStringLiteral("(vuoto)"));
    menuVuoto1_->setObjectName(QStringLiteral("MenuVuoto1"));
    menuVuoto1_->setEnabled(false);
    menuVuoto1_->setVisible(false);
    menuAggiungi_->setProperty("tag", 0);
    menuElimina_->setProperty("tag", kRecordingTraces);

    menuConfronto_ = menuBar_->addMenu(QStringLiteral("&Confronto"));
    menuConfronto_->setObjectName(QStringLiteral("MenuConfronto"));
    menuAggiungiRegistrazione_ = item(menuConfronto_, "MenuAggiungiRegistrazione", "&Aggiungi registrazione...",
                                      QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(menuAggiungiRegistrazione_, &QAction::triggered, this, &TFormGraficoDrt::MenuAggiungiRegistrazioneClick);
    menuRimuoviRegistrazione_ = item(menuConfronto_, "MenuRimuoviRegistrazione", "&Rimuovi registrazione", {});
    connect(menuRimuoviRegistrazione_, &QAction::triggered, this, &TFormGraficoDrt::RemoveRecording);
    menuConfronto_->addSeparator();
    // Alt+arrows: plain arrows pan the chart and Ctrl+arrows move the cursor.
    menuSpostaSinistra_ =
        item(menuConfronto_, "MenuSpostaSinistra", "Sposta a &sinistra", QKeySequence(Qt::ALT | Qt::Key_Left));
    connect(menuSpostaSinistra_, &QAction::triggered, this, [this] { ShiftSecond(-1); });
    menuSpostaDestra_ =
        item(menuConfronto_, "MenuSpostaDestra", "Sposta a &destra", QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(menuSpostaDestra_, &QAction::triggered, this, [this] { ShiftSecond(1); });
    menuAllineaInizio_ =
        item(menuConfronto_, "MenuAllineaInizio", "Allinea all'&inizio", QKeySequence(Qt::ALT | Qt::Key_Home));
    connect(menuAllineaInizio_, &QAction::triggered, this, &TFormGraficoDrt::AlignSecond);
    UpdateSecondMenus();
}

void TFormGraficoDrt::BuildChart()
{
    chart_ = new QChart;
    chart_->setBackgroundBrush(Qt::white);
    chart_->setAnimationOptions(QChart::NoAnimation);
    QFont titleFont = chart_->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    chart_->setTitleFont(titleFont);
    chart_->setTitleBrush(QColor(0, 0, 255));
    chart_->legend()->setAlignment(Qt::AlignRight);
    // The chart fills its view: the readout beside it needs the room.
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->setBackgroundRoundness(0);

    axisX_ = new QValueAxis;
    axisX_->setObjectName(QStringLiteral("AsseTempo"));
    axisX_->setTitleText(QStringLiteral("Tempo (s)"));
    axisX_->setLabelFormat(QStringLiteral("%g"));
    axisY_ = new QValueAxis;
    axisY_->setLabelFormat(QStringLiteral("%g"));
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);

    for (int i = 0; i < kRecordingTraces; ++i) {
        auto* s = new QLineSeries;
        s->setObjectName(QStringLiteral("Traccia%1").arg(i));
        QPen pen(kTraces[i].color);
        pen.setWidthF(1.5);
        s->setPen(pen);
        chart_->addSeries(s);
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
        series_[i] = s;
    }

    // The second recording: the same colours, dashed, off the legend.
    for (int i = 0; i < kRecordingTraces; ++i) {
        auto* s = new QLineSeries;
        s->setObjectName(QStringLiteral("TracciaSeconda%1").arg(i));
        QPen pen(kTraces[i].color);
        pen.setWidthF(1.5);
        pen.setStyle(Qt::DashLine);
        s->setPen(pen);
        chart_->addSeries(s);
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
        s->setVisible(false);
        secondSeries_[i] = s;
    }
    HideSecondMarkers();

    auto* view = new DrtChartView(chart_, this);
    chartView_ = view;
    chartView_->setObjectName(QStringLiteral("ChartDrt"));
    chartView_->setRenderHint(QPainter::Antialiasing, false);
    chartView_->setRubberBand(QChartView::RectangleRubberBand);
    chartView_->setFocusPolicy(Qt::StrongFocus);
    chartView_->setMouseTracking(true);
    chartView_->viewport()->setMouseTracking(true); // the cursor follows the pointer with no button down
    view->onHover = [this](QPointF p) {
        if (chart_->plotArea().contains(p))
            MoveCursorTo(SecondsAt(p.x()));
    };
    view->onClick = [this](QPointF p) { PinCursor(SecondsAt(p.x())); };
    view->onRightClick = [this] {
        if (pinA_ == kNoSample && pinB_ == kNoSample)
            return false; // the chart's own zoom out
        ClearCursors();
        return true;
    };
    view->onStep = [this](int lines) { StepCursor(lines); };

    // Cursor lines above the traces: the moving one grey, the pinned ones
    // black with their letter, the span between them shaded.
    spanItem_ = new QGraphicsRectItem(chart_);
    spanItem_->setPen(Qt::NoPen);
    spanItem_->setBrush(QColor(0, 90, 200, 28));
    spanItem_->setZValue(90);
    spanItem_->hide();
    cursorItem_ = new QGraphicsLineItem(chart_);
    cursorItem_->setPen(QPen(QColor(110, 110, 110), 1));
    cursorItem_->setZValue(100);
    cursorItem_->hide();
    for (int k = 0; k < 2; ++k) {
        pinItems_[k] = new QGraphicsLineItem(chart_);
        pinItems_[k]->setPen(QPen(Qt::black, 1));
        pinItems_[k]->setZValue(100);
        pinItems_[k]->hide();
        pinLabels_[k] = new QGraphicsSimpleTextItem(k == 0 ? QStringLiteral("A") : QStringLiteral("B"), chart_);
        QFont bold = pinLabels_[k]->font();
        bold.setBold(true);
        pinLabels_[k]->setFont(bold);
        pinLabels_[k]->setZValue(100);
        pinLabels_[k]->hide();
    }

    // Every change of the visible span thins the traces again and puts the
    // ticks back on round values.
    connect(axisX_, &QValueAxis::rangeChanged, this, [this] {
        RoundAxisTicks(axisX_, TimeIntervals());
        UpdateTraces();
        PlaceCursors();
    });
    connect(axisY_, &QValueAxis::rangeChanged, this, [this] { RoundAxisTicks(axisY_, kValueIntervals); });
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        RoundAxisTicks(axisX_, TimeIntervals());
        UpdateTraces();
        PlaceCursors();
    });
}

int TFormGraficoDrt::TimeIntervals() const
{
    const int width = static_cast<int>(chart_->plotArea().width());
    return width <= 0 ? kTimeIntervals : std::clamp(width / kTimeLabelPixels, 2, kTimeIntervals);
}

void TFormGraficoDrt::HideSecondMarkers()
{
    // The chart shows a marker again whenever its series is shown.
    for (QLineSeries* s : secondSeries_)
        for (QLegendMarker* marker : chart_->legend()->markers(s))
            marker->setVisible(false);
}

void TFormGraficoDrt::LoadTexts()
{
    TDataModuleMur& d = *ctx_.dictionary;
    d.BeginLookups();
    auto action = [&d](QAction* a, const QString& key, int max) {
        QString text = a->text();
        if (d.Lookup(key, text, max))
            a->setText(text);
    };
    auto menu = [&d](QMenu* m, int max) {
        QString text = m->title();
        if (d.Lookup(m->objectName(), text, max))
            m->setTitle(text);
    };
    d.LookupControl(buttonOk_, 15);
    menu(menuGrafico_, 25);
    menu(menuTracce_, 25);
    menu(menuAggiungi_, 25);
    menu(menuElimina_, 25);
    action(menuAnnullaZoom_, menuAnnullaZoom_->objectName(), 25);
    for (QAction* a : aggiungi_)
        action(a, a->objectName(), 25);
    action(menuVuoto_, menuVuoto_->objectName(), 25);
    action(menuStampa_, QStringLiteral("ActionStampa"), 25);
    action(menuEsci_, QStringLiteral("ActionEsci"), 25);
    QString text = axisX_->titleText();
    if (d.Lookup(QStringLiteral("LabelAsseGrafico"), text, 25))
        axisX_->setTitleText(text);
    text = windowTitle();
    if (d.Lookup(QStringLiteral("FinestraGrafico"), text))
        setWindowTitle(text);
    d.Lookup(QStringLiteral("MessBadFile"), badFileText_);

    menu(menuConfronto_, 25);
    for (QAction* a : {menuCancellaCursori_, menuEsportaCsv_, menuSalvaImmagine_, menuAggiungiRegistrazione_,
                       menuRimuoviRegistrazione_, menuSpostaSinistra_, menuSpostaDestra_, menuAllineaInizio_})
        action(a, a->objectName(), 30);
    Texts& t = texts_;
    const std::pair<const char*, QString*> readout[] = {
        {"LetturaCursore", &t.cursor},       {"LetturaMin", &t.min},
        {"LetturaMax", &t.max},              {"LetturaMedia", &t.mean},
        {"LetturaSeconda", &t.second},       {"LetturaCursoreA", &t.cursorA},
        {"LetturaCursoreB", &t.cursorB},     {"LetturaDeltaT", &t.delta},
        {"MessND", &t.notAvailable},         {"UnitaGiri", &t.rpm},
        {"UnitaVolt", &t.volt},              {"UnitaBar", &t.bar},
        {"UnitaGradi", &t.celsius},          {"FinestraApriDrt", &t.openTitle},
        {"FiltroDrt", &t.openFilter},        {"FinestraEsportaCsv", &t.csvTitle},
        {"FiltroCsv", &t.csvFilter},         {"FinestraSalvaImmagine", &t.imageTitle},
        {"FiltroPng", &t.imageFilter},       {"MessNessunaRigaCsv", &t.nothingToExport},
        {"MessFileNonSalvato", &t.notSaved}, {"MessFileMancante", &t.missing},
    };
    for (const auto& [key, target] : readout)
        d.Lookup(QString::fromLatin1(key), *target);
    t.time = axisX_->titleText();
    // Units stand in brackets after the names; the dictionary pads some with a space.
    for (QString* unit : {&t.rpm, &t.volt, &t.bar, &t.celsius})
        *unit = unit->trimmed();
    // The export's separator and decimal mark follow the language; a pair that
    // could not be read back keeps the built-in one.
    QString separator = QStringLiteral(";"), decimal = QStringLiteral(",");
    d.Lookup(QStringLiteral("CsvSeparatore"), separator);
    d.Lookup(QStringLiteral("CsvDecimale"), decimal);
    auto usable = [](const QString& c) {
        return c.size() == 1 && c[0].unicode() > 0x20 && c[0].unicode() < 0x7f && !c[0].isLetterOrNumber() &&
               c[0] != QLatin1Char('"') && c[0] != QLatin1Char('-') && c[0] != QLatin1Char('+');
    };
    if (usable(separator) && usable(decimal) && separator != decimal)
        csvFormat_ = {static_cast<char>(separator[0].unicode()), static_cast<char>(decimal[0].unicode())};
    d.EndLookups();
    for (int i = 0; i < kRecordingTraces; ++i)
        elimina_[i]->setText(aggiungi_[i]->text());
    menuVuoto1_->setText(menuVuoto_->text());
}

void TFormGraficoDrt::Populate()
{
    statistics_.Build(data_);
    MeasureSpan(data_, 0);
    ShowWholeSpan();
    FitReadout();
}

void TFormGraficoDrt::MeasureSpan(const Recording& recording, int which)
{
    timeRange_[which] = RangeOf(recording.time);
    ValueRange& values = valueRange_[which];
    values = {};
    for (const auto& trace : recording.traces) {
        const ValueRange r = RangeOf(trace);
        if (!r.valid)
            continue;
        values = values.valid ? ValueRange{std::min(values.min, r.min), std::max(values.max, r.max), true} : r;
    }
}

void TFormGraficoDrt::ShowWholeSpan()
{
    // Both recordings in full: the second where its offset puts it.
    double xMin = 0, xMax = 1;
    bool anyTime = false;
    double yMin = 0, yMax = 1;
    bool any = false;
    for (int which = 0; which < (hasSecond_ ? 2 : 1); ++which) {
        const double offset = which == 1 ? static_cast<double>(SecondOffsetMs()) / 1000.0 : 0.0;
        const ValueRange& t = timeRange_[which];
        if (t.valid) {
            xMin = anyTime ? std::min(xMin, t.min + offset) : std::min(0.0, t.min + offset);
            xMax = anyTime ? std::max(xMax, t.max + offset) : t.max + offset;
            anyTime = true;
        }
        const ValueRange& v = valueRange_[which];
        if (v.valid) {
            yMin = any ? std::min(yMin, v.min) : v.min;
            yMax = any ? std::max(yMax, v.max) : v.max;
            any = true;
        }
    }
    if (!(xMax > xMin))
        xMax = xMin + 1;
    if (!(yMax > yMin))
        yMax = yMin + 1;
    updating_ = true;
    // Nice numbers change the tick count they start from; the same span
    // must give the same view every time it is shown again.
    axisY_->setTickCount(kNiceTicks);
    axisY_->setRange(yMin, yMax);
    axisY_->applyNiceNumbers();
    axisX_->setTickCount(kNiceTicks);
    axisX_->setRange(xMin, xMax);
    axisX_->applyNiceNumbers();
    updating_ = false;
    UpdateTraces();
}

void TFormGraficoDrt::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    UpdateTraces();
    FitReadout();
}

void TFormGraficoDrt::RoundAxisTicks(QValueAxis* axis, int intervals)
{
    const AxisTicks ticks = RoundTicks(axis->min(), axis->max(), intervals);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(ticks.anchor);
    axis->setTickInterval(ticks.step);
    axis->setLabelFormat(QStringLiteral("%.") + QString::number(ticks.decimals) + QLatin1Char('f'));
}

void TFormGraficoDrt::UpdateTraces()
{
    if (updating_ || chart_ == nullptr)
        return;
    for (int i = 0; i < kRecordingTraces; ++i)
        if (series_[i]->isVisible()) {
            UpdateTrace(i);
            UpdateSecondTrace(i);
        }
}

void TFormGraficoDrt::UpdateTrace(int index)
{
    // Two points per pixel column is all a line can show; never less than a
    // modest width so a chart not yet laid out still gets a fair sketch.
    const int columns = std::max(200, static_cast<int>(chart_->plotArea().width()));
    DecimateMinMax(data_.time, data_.traces[index], data_.timeSorted, axisX_->min(), axisX_->max(), columns,
                   scratch_);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(scratch_.size()));
    for (const XY& p : scratch_)
        points.append(QPointF(p.x, p.y));
    series_[index]->replace(points);
}

void TFormGraficoDrt::UpdateSecondTrace(int index)
{
    if (!hasSecond_)
        return;
    const int columns = std::max(200, static_cast<int>(chart_->plotArea().width()));
    const double offset = static_cast<double>(SecondOffsetMs()) / 1000.0;
    DecimateMinMax(second_.time, second_.traces[index], second_.timeSorted, axisX_->min() - offset,
                   axisX_->max() - offset, columns, scratch_);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(scratch_.size()));
    for (const XY& p : scratch_)
        points.append(QPointF(p.x + offset, p.y));
    secondSeries_[index]->replace(points);
}

void TFormGraficoDrt::SetTraceShown(int index, bool shown)
{
    if (index < 0 || index >= kRecordingTraces || series_[index]->isVisible() == shown)
        return;
    elimina_[index]->setVisible(shown);
    aggiungi_[index]->setVisible(!shown);
    series_[index]->setVisible(shown);
    shownCount_ += shown ? 1 : -1;
    menuElimina_->setProperty("tag", shownCount_);
    menuAggiungi_->setProperty("tag", kRecordingTraces - shownCount_);
    menuVuoto1_->setVisible(shownCount_ == 0);
    menuVuoto_->setVisible(shownCount_ == kRecordingTraces);
    // A hidden series keeps its marker; take it off the legend too.
    for (QLegendMarker* marker : chart_->legend()->markers(series_[index]))
        marker->setVisible(shown);
    chart_->legend()->setVisible(shownCount_ != 1);
    secondSeries_[index]->setVisible(shown && hasSecond_);
    HideSecondMarkers();
    if (shown) {
        UpdateTrace(index);
        UpdateSecondTrace(index);
    }
    ShowReadoutParts();
}

void TFormGraficoDrt::MenuAnnullaZoomClick() { chart_->zoomReset(); }

void TFormGraficoDrt::RenderChart(QPainter& painter, const QRectF& target)
{
    chartView_->render(&painter, target, chartView_->viewport()->rect(), Qt::KeepAspectRatio);
}

void TFormGraficoDrt::MenuStampaClick()
{
    QPrinter* printer = printTarget_ ? printTarget_->Choose(this) : nullptr;
    if (printer == nullptr)
        return;
    // One page per requested copy, made here so a driver's own copies do not multiply them.
    const int copies = std::max(1, printer->copyCount());
    printer->setCopyCount(1);
    QPainter painter;
    if (!painter.begin(printer))
        return;
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution()).translated(
        -printer->pageLayout().paintRectPixels(printer->resolution()).topLeft());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            printer->newPage();
        RenderChart(painter, page);
    }
    painter.end();
    printer->setCopyCount(copies);
}

} // namespace vapora
