// Show handler, texts, language, state message, close query, about.
#include "TFormMain.h"

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "GuideHelp.h"
#include "TAboutBox.h"
#include "TFormGuida.h"
#include "editor/TFormConfig.h"
#include "TFormMainStatusBar.h"
#include "TFormScarica.h"
#include "TFormSplash.h"
#include "services/i18n/Cp1252.h"
#include "services/i18n/OutcomeTexts.h"
#include "services/i18n/TDataModuleMur.h"
#include "link/SerialLink.h"
#include "model/Clock.h"
#include "model/ConfCar.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "services/ui/PaintNow.h"
#include "services/i18n/WindowTexts.h"
#include "widgets/RestorePointGuard.h"
#include "TFormPuntiRipristino.h"
#include "editor/ConfigPages.h"
#include "editor/MapPages.h"
#include "editor/MapTools.h"
#include "services/platform/FilePaths.h"
#include "TFormPortaSeriale.h"
#include "wire/LinkChoice.h"
#include "wire/SerialPorts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>

namespace vapora {
namespace {

constexpr uint32_t kSplashMinimumMs = 3000;
constexpr int kPendingRetryMs = 300;

// The window's own cursor: a large arrow, easy to follow on a workshop screen.
QCursor BigArrowCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 26);
    path.lineTo(7, 20);
    path.lineTo(12, 30);
    path.lineTo(16, 28);
    path.lineTo(11, 18);
    path.lineTo(19, 18);
    path.closeSubpath();
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawPath(path);
    return QCursor(pm, 1, 1);
}

} // namespace

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // Run once the window is on screen: the handler paints it and opens
    // message boxes above it.
    QMetaObject::invokeMethod(this, &TFormMain::FormShow, Qt::QueuedConnection);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The window system may apply the maximised size after the show handler
    // has laid out the label menu: lay it out again for the size it got.
    if (laidOut_) {
        LayoutVertical();
        LayoutHorizontal();
    }
}

void TFormMain::FormShow()
{
    // Folders are formed from the current directory at this moment.
    const QString main = QDir::currentPath();
    ctx_.mainFolder = main;
    openFolder_ = GlobalData::ConfigFolder(main);
    saveFolder_ = openFolder_;
    if (scarica_ != nullptr)
        scarica_->SetFileFolder(GlobalData::ProgramFolder(main));
    if (config_ != nullptr) {
        config_->SetRecordingFolder(GlobalData::RecordingFolder(main));
        config_->SetCalibrationFolder(GlobalData::CalibrationFolder(main));
    }

    // Without the dictionary the program cannot go on; the dictionary has
    // already said why.
    if (ctx_.dictionary == nullptr || !ctx_.dictionary->Open(main, QStringLiteral("DizVapora.dbf"))) {
        terminated_ = true;
        showHandled_ = true;
        CloseSplash();
        QCoreApplication::quit();
        return;
    }

    // Old restore points thin out once per start, without a word.
    ThinRestorePoints(ctx_);

    QMenu* languages = ctx_.dictionary->PopupMenuLingue();
    const QList<QAction*> items = languages != nullptr ? languages->actions() : QList<QAction*>();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QMenu* menu = ctx_.dictionary->PopupMenuLingue())
            menu->popup(mapToGlobal(pos));
    });
    for (QAction* item : items)
        connect(item, &QAction::triggered, this, [this, item] { LanguageClick(item); });
    const int stored = ctx_.settings != nullptr ? ctx_.settings->GetValue(GlobalData::kLanguage) : 0;
    if (!items.isEmpty())
        LanguageClick(items.value(stored >= 0 && stored < items.size() ? stored : 0));
    else
        LoadTexts(); // a dictionary without languages still has the built-in texts to lay out

    setWindowState(windowState() | Qt::WindowMaximized);
    if (layout() != nullptr)
        layout()->activate();
    LayoutVertical();
    LayoutHorizontal();
    laidOut_ = true;

    // First connection: silent, its progress on the splash. Opening a serial
    // line takes a while; the window and the splash's text are on the screen first.
    if (splash_ != nullptr)
        splash_->ShowConnecting();
    PaintBeforeBlockingWork();
    {
        ProgressTarget progressOnSplash(splash_);
        connection_.Connect(false, true);
        ShowMatchMark();
    }

    if (ctx_.link == nullptr || ctx_.link->IsConnected() == 0) {
        // The splash must not hide the message.
        if (splash_ != nullptr)
            splash_->Normalize();
        // A port that is not chosen, missing or closed to this user: say so and what to do.
        QString text = messages_.NoConnection();
        if (!connection_.LastPortProblem().isEmpty())
            text += QStringLiteral("\n\n") + connection_.LastPortProblem();
        if (ctx_.dialogs != nullptr)
            ctx_.dialogs->Message(this, ctx_.applicationTitle, text, MsgIcon::Error);
        connection_.ChooseFuel();
    }

    arrowTag_ = 1; // so that the mouse-over rule moves the highlight to entry 0
    MouseOver(0);

    if (ctx_.clock != nullptr) {
        while (true) {
            const uint32_t elapsed = ctx_.clock->TickCount() - splashStart_;
            if (elapsed >= kSplashMinimumMs)
                break;
            ctx_.clock->Sleep(kSplashMinimumMs - elapsed);
        }
    }
    RepaintStatusBar();
    showHandled_ = true;
    QTimer::singleShot(0, this, &TFormMain::CloseSplash);
    QTimer::singleShot(0, this, &TFormMain::OpenPendingFiles);
}

void TFormMain::OpenFiles(const QStringList& files)
{
    pendingFiles_ += files;
    OpenPendingFiles();
}

void TFormMain::OpenPendingFiles()
{
    if (pendingFiles_.isEmpty() || terminated_)
        return;
    // Not over the start, another window or a transfer: tried again shortly.
    if (!showHandled_ || splash_ != nullptr || QApplication::activeModalWidget() != nullptr ||
        connection_.Connecting()) {
        if (!pendingScheduled_) {
            pendingScheduled_ = true;
            QTimer::singleShot(kPendingRetryMs, this, [this] {
                pendingScheduled_ = false;
                OpenPendingFiles();
            });
        }
        return;
    }
    const QStringList files = std::exchange(pendingFiles_, {});
    for (const QString& file : files) {
        files_.OpenFile(file);
        ShowMatchMark();
    }
}

void TFormMain::ChoosePort()
{
    if (ctx_.settings == nullptr || ctx_.dialogs == nullptr)
        return;
    TFormPortaSeriale::State state;
    state.current = ctx_.settings->LinkChoice();
    const sernox::wire::ResolvedLink link = connection_.LinkInForce();
    if (link.source == sernox::wire::LinkSource::Environment)
        state.fixedBy = QStringLiteral("VAPORA_LINK");
    else if (link.source == sernox::wire::LinkSource::LibraryFile)
        state.fixedBy = QDir::toNativeSeparators(QDir(ctx_.libraryFolder).filePath(QStringLiteral("SerNoxDL.conf")));
    state.fixedSetting = QString::fromStdString(link.text);
    TFormPortaSeriale form(ctx_.dictionary, state, [] { return sernox::wire::ListSerialPorts(); }, this);
    if (ctx_.dialogs->Exec(&form) != QDialog::Accepted || form.Chosen().isEmpty() || form.Chosen() == state.current)
        return;
    WindowTexts texts(ctx_.dictionary);
    if (!ctx_.settings->SetLinkChoice(form.Chosen())) {
        ctx_.dialogs->Message(this, windowTitle(),
                              texts.Get("MessSceltaNonSalvata", QStringLiteral("Impossibile salvare la scelta della "
                                                                              "porta nelle impostazioni:\n%1"))
                                  .arg(QDir::toNativeSeparators(ctx_.settings->SettingsFile())),
                              MsgIcon::Error);
        return;
    }
    if (ctx_.link != nullptr && ctx_.link->IsConnected() != 0)
        ctx_.dialogs->Message(this, windowTitle(),
                              texts.Get("MessPortaProssima", QStringLiteral("La nuova porta sarà usata alla prossima "
                                                                            "connessione.")),
                              MsgIcon::Information);
}

void TFormMain::CloseSplash()
{
    if (splash_ == nullptr)
        return;
    splash_->close();
    delete splash_.data();
    QGuiApplication::restoreOverrideCursor();
    setCursor(BigArrowCursor());
}

void TFormMain::LanguageClick(QAction* item)
{
    if (item == nullptr || ctx_.dictionary == nullptr)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = false;
    int tag = item->data().toInt(&ok);
    if (!ok && ctx_.dictionary->PopupMenuLingue() != nullptr)
        tag = static_cast<int>(ctx_.dictionary->PopupMenuLingue()->actions().indexOf(item));
    if (ctx_.settings != nullptr)
        ctx_.settings->SetValue(GlobalData::kLanguage, tag);
    ctx_.dictionary->SelectLanguage(tag);
    if (QMenu* menu = ctx_.dictionary->PopupMenuLingue()) {
        for (QAction* other : menu->actions()) {
            other->setCheckable(true);
            other->setChecked(other == item);
        }
    }
    LoadTexts();
    if (config_ != nullptr)
        config_->LoadTexts();
    LayoutHorizontal();
    // An open guide follows the language, at the same page.
    if (TFormGuida* guide = guide_->Window(); guide != nullptr && guide->isVisible())
        guide_->Open({guide->CurrentPage(), {}, {}}, this);
    QGuiApplication::restoreOverrideCursor();
}

void TFormMain::LoadTexts()
{
    TDataModuleMur* d = ctx_.dictionary;
    if (d == nullptr || !d->Available())
        return;
    d->BeginLookups();
    auto lookup = [d](const char* key, auto&& apply, int maxLength, const QString& current) {
        QString text = current;
        if (d->Lookup(QString::fromLatin1(key), text, maxLength))
            apply(text);
    };

    QList<QLabel*> labels{labelMenu_};
    for (QLabel* l : entries_)
        labels.append(l);
    for (QLabel* l : labels) {
        QString text = l->text();
        if (d->Lookup(l->objectName(), text, 30)) {
            l->setText(text);
            l->adjustSize();
        }
    }

    for (const char* name : {"MenuFile", "MenuCpu", "MenuConfig", "MenuAiuto"}) {
        if (QMenu* menu = findChild<QMenu*>(QString::fromLatin1(name)))
            lookup(name, [menu](const QString& t) { menu->setTitle(t); }, 0, menu->title());
    }
    for (const char* name : {"MenuConnetti", "MenuDisconnetti", "MenuGuida", "MenuAbout", "MenuCambiaCarb", "MenuComPort"}) {
        if (QAction* item = findChild<QAction*>(QString::fromLatin1(name)))
            lookup(name, [item](const QString& t) { item->setText(t); }, 0, item->text());
    }
    for (const char* name : {"ActionApri", "ActionSalva", "ActionStampa", "ActionProgramma", "ActionEsci",
                             "ActionConnetti", "ActionDisconnetti", "ActionResetCpu", "ActionBloccoNote"}) {
        if (QAction* action = findChild<QAction*>(QString::fromLatin1(name)))
            lookup(name, [action](const QString& t) { action->setText(t); }, 0, action->text());
    }
    if (QAction* action = findChild<QAction*>(QStringLiteral("ActionPuntiRipristino")))
        lookup("MenuPuntiRipristino", [action](const QString& t) { action->setText(t); }, 0, action->text());
    // Items show their action's caption, also when the action's text did not change.
    for (const auto& [item, action] : menuLinks_)
        SyncMenuItem(item, action);

    lookup("FinestraPrincipale", [this](const QString& t) { setWindowTitle(t); }, 0, windowTitle());
    messages_.Load(*d);
    if (splash_ != nullptr) {
        QLabel* label2 = splash_->Label2();
        lookup("LabelConnInCorso", [label2](const QString& t) { label2->setText(t); }, 0, label2->text());
    }
    lookup("FinestraApriFile", [this](const QString& t) { openTitle_ = t; }, 0, openTitle_);
    lookup("FinestraSalvaFile", [this](const QString& t) { saveTitle_ = t; }, 0, saveTitle_);
    d->EndLookups();

    const bool connected = ctx_.link != nullptr && ctx_.link->IsConnected() != 0;
    SetPanelText(0, messages_.Text(connected ? QStringLiteral("MessConn") : QStringLiteral("MessNoConn")));
    RewritePanel1();
    const QString version = PanelText(2);
    if (!version.isEmpty()) {
        const int colon = static_cast<int>(version.indexOf(QLatin1Char(':')));
        SetPanelText(2, messages_.Text(QStringLiteral("MessVersioneSw")) + (colon >= 0 ? version.mid(colon) : QString()));
    }
    const bool methane = ctx_.car != nullptr && ctx_.car->GetStatusFlag(ConfCar::kMethane);
    SetPanelText(3, messages_.Text(methane ? QStringLiteral("LabelMetano") : QStringLiteral("LabelGpl")));
    RepaintStatusBar();
}

void TFormMain::RewritePanel1()
{
    const QString name = ctx_.car != nullptr ? FromCp1252(ctx_.car->GetConfigName()) : QString();
    SetPanelText(1, messages_.Text(QStringLiteral("MessIdentif")) + QStringLiteral(": ") + name);
    ShowMatchMark();
}

void TFormMain::ShowMatchMark()
{
    const bool mismatch = ctx_.car != nullptr && !ctx_.car->LastTransfer().RecordMatchesUnit();
    const QString mark = mismatch ? QStringLiteral(" - ") + OutcomeTexts(ctx_.dictionary).NotMatching() : QString();
    auto unmarked = [this](QString text) {
        if (!matchMark_.isEmpty() && text.endsWith(matchMark_))
            text.chop(matchMark_.size());
        return text;
    };
    const QString title = unmarked(windowTitle());
    const QString panel = unmarked(PanelText(1));
    matchMark_ = mark;
    setWindowTitle(title + mark);
    SetPanelText(1, panel + mark);
    RepaintStatusBar();
}

void TFormMain::OfferReadAgain()
{
    if (readAgainOffered_ || connection_.Connecting() || ctx_.car == nullptr || ctx_.link == nullptr ||
        ctx_.link->IsConnected() == 0 || !ctx_.car->LastTransfer().linkLost)
        return;
    readAgainOffered_ = true;
    if (ctx_.dialogs->Message(this, windowTitle(), OutcomeTexts(ctx_.dictionary).ReadAgainQuestion(),
                              MsgIcon::Question, MsgButtons::YesNo, MsgResult::Yes) == MsgResult::Yes)
        connection_.ReadAgain();
    ShowMatchMark();
}

void TFormMain::customEvent(QEvent* event)
{
    if (event->type() == StateEvent::kType) {
        StateMessage(static_cast<StateEvent*>(event)->lParam());
        return;
    }
    QMainWindow::customEvent(event);
}

void TFormMain::StateMessage(int lParam)
{
    auto action = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    QAction* disconnetti = action("ActionDisconnetti");
    switch (lParam) {
    case kStateLinkDown:
        SetPanelText(0, messages_.Text(QStringLiteral("MessNoConn")));
        SetPanelText(2, QString());
        readAgainOffered_ = false;
        action("ActionConnetti")->setEnabled(true);
        action("ActionResetCpu")->setEnabled(false);
        disconnetti->setEnabled(false);
        break;
    case kStateLinkUp:
        SetPanelText(0, messages_.Text(QStringLiteral("MessConn")));
        action("ActionConnetti")->setEnabled(false);
        action("ActionResetCpu")->setEnabled(true);
        disconnetti->setEnabled(true);
        RewritePanel1();
        OfferReadAgain();
        break;
    case kStateNameChanged:
        RewritePanel1();
        RepaintStatusBar();
        break;
    case kStateReconnect:
        connection_.Connect(true, false);
        OfferReadAgain();
        break;
    case kStateSaveRequest:
        action("ActionSalva")->trigger();
        break;
    default:
        break;
    }
    action("MenuRileggi")->setEnabled(disconnetti->isEnabled());
    ShowMatchMark();
    update();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (ctx_.link != nullptr && ctx_.link->IsConnected() != 0)
        connection_.Disconnect();
    CloseSplash();
    event->accept();
}

void TFormMain::ShowAbout()
{
    TAboutBox box(this);
    box.SetProductName(windowTitle());
    box.SetVersion(messages_.Text(QStringLiteral("LabelVersione")) + QStringLiteral(" 4.5"));
    if (ctx_.dialogs != nullptr)
        ctx_.dialogs->Exec(&box);
}

void TFormMain::ShowConfig()
{
    if (config_ != nullptr && ctx_.dialogs != nullptr)
        ctx_.dialogs->Exec(config_);
}

void TFormMain::ShowRestorePoints()
{
    TFormPuntiRipristino::Actions actions;
    // The unit gets back the name it had, never the point's file name.
    actions.restore = [this](const restore::Point& point) {
        const bool loaded = files_.LoadFile(QtPath(point.file), restore::Reason::BeforeRestore, point.key.configName);
        ShowMatchMark();
        return loaded;
    };
    actions.open = [this](const restore::Point& point) {
        const bool loaded = files_.LoadFile(QtPath(point.file), restore::Reason::FileLoad, point.key.configName);
        ShowMatchMark();
        return loaded;
    };
    if (config_ != nullptr)
        actions.compareMap = [this](const restore::Point& point, bool petrol) {
            CompareMapWithFile(QtPath(point.file), petrol);
        };
    TFormPuntiRipristino form(ctx_, std::move(actions), this);
    ctx_.dialogs->Exec(&form);
}

void TFormMain::CompareMapWithFile(const QString& file, bool petrol)
{
    if (config_ == nullptr)
        return;
    const int page = petrol ? TFormConfig::kTabMappaBenzina : TFormConfig::kTabMappa;
    if (!config_->PageVisible(page))
        return;
    // The page shown first starts its comparison afresh: compare once it is on the screen.
    QPointer<TFormConfig> config(config_);
    QTimer::singleShot(0, config_, [config, file, petrol] {
        if (config == nullptr)
            return;
        MapTools* tools = nullptr;
        if (petrol) {
            if (auto* p = config->TabMappaBenzina()->findChild<PetrolMapPage*>())
                tools = p->Tools();
        } else if (auto* p = config->TabMappa()->findChild<GasMapPage*>()) {
            tools = p->Tools();
        }
        if (tools != nullptr)
            tools->CompareWith(file);
    });
    config_->SelectPage(page);
    ctx_.dialogs->Exec(config_);
}

} // namespace vapora
