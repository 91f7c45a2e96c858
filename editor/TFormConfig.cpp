#include "editor/TFormConfig.h"

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "calib/forms/TFormPressione.h"
#include "calib/forms/TFormTemperatura.h"
#include "editor/ConfigPages.h"
#include "editor/LiveStrip.h"
#include "editor/MapPagesHookup.h"
#include "editor/TFormModMappa.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "services/settings/GlobalData.h"
#include "services/ui/Scaling.h"
#include "services/ui/DialogService.h"
#include "widgets/MenuBarCaptionStyle.h"
#include "widgets/TKeyComboBox.h"
#include "widgets/TNumericEdit.h"

#include <QAction>
#include <QFontInfo>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace vapora {
TFormConfig::TFormConfig(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context), temporaryFolder_(QDir::tempPath())
{
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(QStringLiteral("Configurazione veicolo"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
    setWindowState(Qt::WindowMaximized);

    // Menus, tabs, pages, grids and the live strip all take this one font and scale.
    const double scale = ScreenScale();
    scale_ = scale;
    QFont windowFont(QStringLiteral("DejaVu Sans"));
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPointSizeF(9 * scale);
    setFont(windowFont);

    BuildMenus();
    BuildPages();

    strip_ = new LiveStrip(*this);
    strip_->setParent(this);
    buttonEsci_ = new QPushButton(QStringLiteral("&Esci"), this);
    buttonEsci_->setObjectName(QStringLiteral("ButtonEsci"));
    buttonEsci_->setAutoDefault(false);
    buttonEsci_->setMinimumHeight(Scaled(scale, 40));
    connect(buttonEsci_, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->setContentsMargins(Scaled(scale, 6), Scaled(scale, 4), Scaled(scale, 6), Scaled(scale, 6));
    layout->addWidget(pageControl_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(strip_, 1);
    bottom->addWidget(buttonEsci_, 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    if (scale < 0.8)
        for (const char* name : {"GridPassi", "GridTempi", "GridOpenLoop"})
            if (auto* grid = findChild<QWidget*>(QString::fromLatin1(name))) {
                QFont f = grid->font();
                f.setBold(false);
                grid->setFont(f);
            }

    modMappa_ = new TFormModMappa(ctx_.dialogs, this);
    AttachMapPages(*this);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTimerMs);
    connect(timer1_, &QTimer::timeout, this, &TFormConfig::Timer1Timer);

    // F1..F12 select pages, ahead of the focused control.
    for (int k = 0; k < 12; ++k)
        for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
            auto* shortcut = new QShortcut(QKeySequence(mods | static_cast<Qt::Key>(Qt::Key_F1 + k)), this);
            connect(shortcut, &QShortcut::activated, this, [this, k, mods] { FormKeyDown(Qt::Key_F1 + k, mods); });
        }

    LoadListTexts(false);
    RecomputeMidpoints();
    ApplyPagePrefixes();
}

TFormConfig::~TFormConfig()
{
    timer1_->stop();
    writer_.Close();
}

ConfCar& TFormConfig::Car() const { return *ctx_.car; }

bool TFormConfig::Connected() const { return ctx_.link != nullptr && ctx_.link->IsConnected() != 0; }

void TFormConfig::BuildMenus()
{
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MainMenu1"));
    MenuBarCaptionStyle::Install(menuBar_);
    auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar_->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& text, const QKeySequence& key = {},
                       bool checkable = false) {
        QAction* a = m->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        a->setCheckable(checkable);
        actions_.insert(a->objectName(), a);
        return a;
    };
    menuAcquisizioni_ = menu("MenuAcquisizioni", QStringLiteral("A&cquisizioni"));
    connect(item(menuAcquisizioni_, "MenuCominciaDrt", QStringLiteral("&Comincia"), QKeySequence(Qt::CTRL | Qt::Key_F5)),
            &QAction::triggered, this, &TFormConfig::MenuCominciaDrtClick);
    QAction* termina = item(menuAcquisizioni_, "MenuTerminaDrt", QStringLiteral("&Termina"),
                            QKeySequence(Qt::CTRL | Qt::Key_F6));
    termina->setEnabled(false);
    connect(termina, &QAction::triggered, this, &TFormConfig::MenuTerminaDrtClick);
    connect(item(menuAcquisizioni_, "MenuGrafico", QStringLiteral("&Visualizza grafico"),
                 QKeySequence(Qt::CTRL | Qt::Key_F8)),
            &QAction::triggered, this, &TFormConfig::MenuGraficoClick);

    QMenu* test = menu("MenuTest", QStringLiteral("&Funzioni di test"));
    connect(item(test, "MenuDiagnosiProg", QStringLiteral("Diagnosi &Programma")), &QAction::triggered, this,
            &TFormConfig::MenuDiagnosiProgClick);
    connect(item(test, "MenuSbloccaLimiti", QStringLiteral("&Sblocca limiti"), {}, true), &QAction::triggered, this,
            &TFormConfig::MenuSbloccaLimitiClick);
    connect(item(test, "Mostratemperatura1", QStringLiteral("Mostra &temperatura")), &QAction::triggered, this,
            &TFormConfig::Mostratemperatura1Click);

    QMenu* pressione = menu("MenuPressione", QStringLiteral("&Pressione"));
    connect(item(pressione, "MenuModificaCoeff", QStringLiteral("&Modifica coefficiente pressione")),
            &QAction::triggered, this, &TFormConfig::MenuModificaCoeffClick);

}

QAction* TFormConfig::Action(const QString& name) const { return actions_.value(name); }

void TFormConfig::InstallMapMenus(QMenu* adatta, QMenu* benzina)
{
    // "A&dattatività" after the recordings, the petrol map learning last.
    const QList<QAction*> top = menuBar_->actions();
    if (adatta != nullptr)
        menuBar_->insertMenu(top.value(1), adatta);
    if (benzina != nullptr)
        menuBar_->addMenu(benzina);
}

void TFormConfig::BuildPages()
{
    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl"));
    // The captions fit the width (FitTabCaptions); scrolling is the last resort.
    pageControl_->setUsesScrollButtons(false);
    pageControl_->setElideMode(Qt::ElideNone);
    pageControl_->tabBar()->setExpanding(false);
    // On the tab bar alone: a style sheet on the page control would keep the pages from
    // taking the window's font.
    pageControl_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 5px; }"));
    QFont tabs = pageControl_->tabBar()->font();
    tabs.setPointSizeF(tabs.pointSizeF() * 0.92);
    pageControl_->tabBar()->setFont(tabs);
    tabCambio_ = new PageCambio(*this);
    tabLambda_ = new PageLambda(*this);
    tabTps_ = new PageTps(*this);
    tabSensore_ = new PageSensore(*this);
    tabCutoff_ = new PageCutoff(*this);
    tabMappa_ = new MapTabPage(*this, QStringLiteral("TabMappa"), QStringLiteral("Mappa"));
    tabArricchimento_ = new PageArricchimento(*this);
    tabEmissioni_ = new PageEmissioni(*this);
    tabVarie_ = new PageVarie(*this);
    tabMappaBenzina_ = new MapTabPage(*this, QStringLiteral("TabMappaBenzina"), QStringLiteral("Mappa benzina"));
    pages_ = {tabCambio_, tabLambda_, tabTps_, tabSensore_, tabCutoff_,
              tabMappa_,  tabArricchimento_, tabEmissioni_, tabVarie_, tabMappaBenzina_};
    // A page taller than a small screen scrolls inside its tab.
    for (ConfigPage* page : pages_) {
        auto* scroll = new QScrollArea(pageControl_);
        scroll->setObjectName(page->objectName() + QStringLiteral("Scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(page);
        // Built before they join the window: the window's scaled font is given to them here.
        page->setFont(font());
        pageControl_->addTab(scroll, page->BaseCaption());
    }
    pageControl_->setCurrentIndex(kTabCambio);
    connect(pageControl_, &QTabWidget::currentChanged, this, [this](int index) {
        if (showing_ && index >= 0)
            pages_[static_cast<size_t>(index)]->PageShow();
    });
}

bool TFormConfig::PageVisible(int index) const { return pageControl_->isTabVisible(index); }

void TFormConfig::SetPageVisible(int index, bool visible) { pageControl_->setTabVisible(index, visible); }

int TFormConfig::ActivePage() const { return pageControl_->currentIndex(); }

void TFormConfig::SelectPage(int index) { pageControl_->setCurrentIndex(index); }

QString TFormConfig::PageCaption(int index) const { return pageControl_->tabText(index); }

bool TFormConfig::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key < Qt::Key_F1 || key > Qt::Key_F12 || (modifiers & Qt::AltModifier))
        return false;
    int index = 0;
    for (int step = 0; step < key - Qt::Key_F1; ++step) {
        // The next visible page, round after the last.
        int next = index;
        for (int tries = 0; tries < kPageCount; ++tries) {
            next = (next + 1) % kPageCount;
            if (PageVisible(next))
                break;
        }
        index = next;
    }
    SelectPage(index);
    return true;
}

void TFormConfig::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormConfig::FormShow()
{
    ConfCar& car = Car();
    // Load axis of the gas map.
    if (car.IsUnitKind2()) {
        mapFixedColour_ = kPressureRows;
        strip_->Label("LabelMap")->show();
        strip_->Label("LabMap")->show();
    } else {
        mapFixedColour_ = kThrottleRows;
        strip_->Label("LabelMap")->setVisible(car.IsUnitKind3());
        strip_->Label("LabMap")->setVisible(car.IsUnitKind3());
    }
    if (onLoadAxis)
        onLoadAxis();
    // Petrol map.
    const bool petrol = !Connected() || car.IsPetrolMapSupported();
    SetPageVisible(kTabMappaBenzina, petrol);
    strip_->Label("LabelCorrBenzina")->setVisible(petrol);
    strip_->Label("LabCorrBenzina")->setVisible(petrol);
    strip_->Label("LabelInjBenzina")->setVisible(car.IsUnitKind3());
    strip_->Label("LabInjBenzina")->setVisible(car.IsUnitKind3());
    if (onPetrolPageAvailable)
        onPetrolPageAvailable(petrol);
    // Second probe and drive-by-wire throttle by the unit's software.
    QWidget* numeroSonde = tabLambda_->ComboNumeroSonde;
    numeroSonde->setEnabled(true);
    if (Connected()) {
        if (car.SoftwareVersion() < 12 || car.ModelCode() != 1)
            numeroSonde->setEnabled(false);
        const bool wire = car.SoftwareVersion() > 14;
        if (!wire)
            car.ClearTpsWire();
        for (const char* name : {"ComboTpsWire", "LabelTpsWire", "LabelCommWire"})
            tabTps_->findChild<QWidget*>(QString::fromLatin1(name))->setEnabled(wire);
    }
    ProbeLayout();
    // The gas pressure shown weighs the manifold pressure by the fuel's coefficient.
    if (ctx_.settings != nullptr) {
        const int tenths = car.GetStatusFlag(ConfCar::kMethane) ? ctx_.settings->GetValue(GlobalData::kCoeffPressioneCng)
                                                                 : ctx_.settings->GetValue(GlobalData::kCoeffPressione);
        pressureCoefficient_ = tenths * 0.1;
    }
    showing_ = true;
    pages_[static_cast<size_t>(ActivePage())]->PageShow();
    StartTimer();
}

void TFormConfig::ProbeLayout() { strip_->SetTwoProbes(Car().HasTwoProbes()); }

void TFormConfig::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormConfig::FormResize()
{
    for (ConfigPage* page : pages_)
        page->Resized();
    FitTabCaptions();
}

void TFormConfig::FitTabCaptions()
{
    // Every page caption stays whole: the tab bar takes the largest font, up to
    // its design size, that shows all the visible captions side by side. Only
    // when even small capitals cannot hold them does the bar scroll instead.
    QTabBar* bar = pageControl_->tabBar();
    if (tabFont_.family().isEmpty())
        tabFont_ = bar->font();
    const int room = pageControl_->width() - 4;
    QFont font = tabFont_;
    int pixels = QFontInfo(font).pixelSize();
    font.setPixelSize(pixels);
    bool scroll = false;
    for (;;) {
        bar->setFont(font);
        if (bar->sizeHint().width() <= room)
            break;
        QFont smaller = font;
        smaller.setPixelSize(pixels - 1);
        if (pixels <= 1 || QFontMetrics(smaller).capHeight() < kSmallestTabCapitals) {
            scroll = true;
            break;
        }
        font = smaller;
        --pixels;
    }
    pageControl_->setUsesScrollButtons(scroll);
}

int TFormConfig::PageRoom() const
{
    // The page control's inside, less the vertical bar a page taller than its
    // area shows: a page this wide never needs a horizontal bar.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pageControl_) + 4;
    return pageControl_->width() - frame - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

bool TFormConfig::event(QEvent* event)
{
    if (event->type() == StateEvent::kType) {
        // A new configuration name: the pages show what the record holds now.
        if (isVisible() && static_cast<StateEvent*>(event)->lParam() == kStateNameChanged)
            pages_[static_cast<size_t>(ActivePage())]->PageShow();
        return true;
    }
    return QDialog::event(event);
}

void TFormConfig::done(int result)
{
    timer1_->stop();
    if (recording_)
        MenuTerminaDrtClick();
    showing_ = false;
    QDialog::done(result);
}

void TFormConfig::StopTimer() { timer1_->stop(); }

void TFormConfig::StartTimer()
{
    if (showing_)
        timer1_->start();
}

void TFormConfig::BindEdit(TNumericEdit* edit)
{
    connect(edit, &TNumericEdit::enterPressed, this, [this, edit] { EditRifLambdaKeyPress(edit); });
}

void TFormConfig::BindCombo(TKeyComboBox* combo)
{
    connect(combo, &TKeyComboBox::enterPressed, this, [this, combo] { ComboTipoLambdaKeyPress(combo); });
}

void TFormConfig::EditRifLambdaKeyPress(TNumericEdit* edit)
{
    if (edit->DataCode() >= 0)
        Car().SetParam(edit->DataCode(), edit->GetDouble());
}

void TFormConfig::ComboTipoLambdaKeyPress(TKeyComboBox* combo)
{
    if (combo->DroppedDown())
        return;
    if (combo->DataCode() >= 0)
        Car().SetParam(combo->DataCode(), combo->currentIndex());
    if (combo->DataCode() == ids::kTipoDiLambda && Connected())
        StartProbeTypeRefresh();
}

std::vector<TNumericEdit*> TFormConfig::ProbeVoltageEdits() const
{
    return {tabLambda_->EditRifLambda,  tabLambda_->EditRifSupFredda, tabLambda_->EditRifInfFredda,
            tabLambda_->EditRifSupCalda, tabLambda_->EditRifInfCalda, tabSensore_->EditLivEmulAlto,
            tabSensore_->EditLivEmulBasso};
}

void TFormConfig::StartProbeTypeRefresh()
{
    for (TNumericEdit* edit : ProbeVoltageEdits()) {
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, palette().color(QPalette::Midlight)); // cl3DLight
        edit->setPalette(p);
    }
    probeRefresh_ = true;
}

void TFormConfig::MenuDiagnosiProgClick()
{
    if (ctx_.dialogs == nullptr)
        return;
    const int registro = static_cast<int>(Car().GetParam(ids::kRegistroDiagnosi));
    const int reset = static_cast<int>(Car().GetParam(ids::kNumeroReset));
    ctx_.dialogs->Message(this, windowTitle(),
                          QStringLiteral("Registro diagnosi programma = %1\nNumero reset = %2").arg(registro).arg(reset),
                          MsgIcon::None, MsgButtons::Ok);
}

void TFormConfig::MenuSbloccaLimitiClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QAction* item = Action(QStringLiteral("MenuSbloccaLimiti"));
    const bool unlocked = item->isChecked(); // the action has already toggled its mark
    for (TNumericEdit* edit : findChildren<TNumericEdit*>()) {
        edit->SetDisableLimit(unlocked);
        if (unlocked)
            edit->setMaxLength(32767);
    }
    QApplication::restoreOverrideCursor();
}

void TFormConfig::Mostratemperatura1Click()
{
    TFormTemperatura window(Car(), this, ctx_.dictionary);
    if (ctx_.dialogs != nullptr)
        ctx_.dialogs->Exec(&window);
    else
        window.exec();
}

void TFormConfig::MenuModificaCoeffClick()
{
    const bool methane = Car().GetStatusFlag(ConfCar::kMethane);
    TFormPressione window(ctx_, this);
    window.EditCoeff()->SetDouble(pressureCoefficient_);
    window.LabelGAS()->setText(methane ? Text(QStringLiteral("LabelMetano")) : Text(QStringLiteral("LabelGpl")));
    const int result = ctx_.dialogs != nullptr ? ctx_.dialogs->Exec(&window) : window.exec();
    if (result != QDialog::Accepted)
        return;
    pressureCoefficient_ = window.EditCoeff()->GetDouble();
    if (ctx_.settings != nullptr)
        ctx_.settings->SetValue(methane ? GlobalData::kCoeffPressioneCng : GlobalData::kCoeffPressione,
                                static_cast<int>(pressureCoefficient_ * 10));
}

} // namespace vapora
