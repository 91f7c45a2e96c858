#include "TFormMain.h"
#include "services/ui/Scaling.h"

#include "GuideHelp.h"

#include "services/AppContext.h"
#include "Firmware.h"
#include "TFormScarica.h"
#include "files/TFormGestioneFile.h"
#include "TFormMainStatusBar.h"
#include "TFormSplash.h"
#include "services/i18n/TDataModuleMur.h"
#include "link/SerialLink.h"
#include "model/Clock.h"
#include "model/ConfCar.h"
#include "calib/forms/RunCalibration.h"
#include "calib/forms/TFormDiagnosi.h"
#include "calib/forms/TFormVisualizza.h"
#include "services/ui/DialogService.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

namespace vapora {
namespace {

struct EntryDef {
    const char* label;
    const char* caption;
};

const EntryDef kEntryDefs[TFormMain::kEntries] = {
    {"LabelConfig", "CONFIGURAZIONE VETTURA"},
    {"LabelVisualizza", "VISUALIZZAZIONE PARAMETRI"},
    {"LabelCalibrazione", "CALIBRAZIONE CARBURAZIONE"},
    {"LabelDiagnosi", "DIAGNOSI"},
    {"LabelFile", "GESTIONE FILE"},
    {"LabelRiprogramma", "PROGRAMMAZIONE CENTRALINA"},
    {"LabelTermina", "ESCI"},
};

const QColor kNavy(0, 0, 128);
const QColor kTitleColour(255, 255, 0);

} // namespace

TFormMain::TFormMain(AppContext& context, QWidget* parent)
    : QMainWindow(parent), ctx_(context), connection_(context, *this, this),
      files_(context, *this, this, textEditor_,
             [this] { return ConfigFileDialogs{openFolder_, saveFolder_, openTitle_, saveTitle_}; })
{
    ctx_.messages = &messages_;
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Vapora Murazzoni"));
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);

    const QScreen* screen = QGuiApplication::primaryScreen();
    scale_ = ScreenScale();
    UseWindowFont(this, scale_, 13);

    // The splash shows while the window builds and makes its first connection.
    splash_ = new TFormSplash(scale_);
    splash_->show();
    splash_->repaint();
    splashStart_ = ctx_.clock != nullptr ? ctx_.clock->TickCount() : 0;

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setAutoFillBackground(true);
    QPalette pal = client_->palette();
    pal.setColor(QPalette::Window, kNavy);
    client_->setPalette(pal);
    setCentralWidget(client_);

    guide_ = new GuideHelp(ctx_, this);
    CreateLabels();
    CreateActions();
    CreateMenus();

    statusBar_ = new StatusBarMain([this] {
        StatusBarMain::State s;
        s.connected = ctx_.link != nullptr && ctx_.link->IsConnected() != 0;
        if (ctx_.car != nullptr) {
            s.official = ctx_.car->GetStatusFlag(ConfCar::kOfficial);
            s.methane = ctx_.car->GetStatusFlag(ConfCar::kMethane);
        }
        if (ctx_.dictionary != nullptr)
            s.officialImage = ctx_.dictionary->OfficialImage();
        return s;
    });
    QFont barFont(QStringLiteral("DejaVu Sans"));
    barFont.setBold(true);
    // Rounded down: the texts must not grow faster than the panels they are drawn in.
    barFont.setPixelSize(std::max(1, static_cast<int>(13 * scale_)));
    statusBar_->setFont(barFont);
    statusBar_->setFixedHeight(QFontMetrics(barFont).height() + 8);
    const int widths[StatusBarMain::kPanels] = {230, 280, 215, 60};
    for (int i = 0; i < StatusBarMain::kPanels; ++i)
        statusBar_->SetPanelWidth(i, Scaled(scale_, widths[i]));
    setStatusBar(statusBar_);

    setFocusPolicy(Qt::StrongFocus);
    // Laid out for the whole screen before the first show, so the label menu
    // is placed for the size the window will have.
    if (screen != nullptr)
        setGeometry(screen->availableGeometry());
}

TFormMain::~TFormMain()
{
    if (splash_ != nullptr) {
        delete splash_.data();
        QGuiApplication::restoreOverrideCursor();
    }
    if (ctx_.messages == &messages_)
        ctx_.messages = nullptr;
}

void TFormMain::CreateLabels()
{
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setBold(true);
    big.setStretch(QFont::Condensed); // a narrow face, where one is installed
    big.setPixelSize(Scaled(scale_, 39));
    QFont title = big;
    title.setPixelSize(Scaled(scale_, 48));

    labelMenu_ = new QLabel(QStringLiteral("MENU' PRINCIPALE"), client_);
    labelMenu_->setObjectName(QStringLiteral("LabelMenu"));
    labelMenu_->setFont(title);
    QPalette pal = labelMenu_->palette();
    pal.setColor(QPalette::WindowText, kTitleColour);
    labelMenu_->setPalette(pal);
    labelMenu_->adjustSize();

    for (int i = 0; i < kEntries; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kEntryDefs[i].caption), client_);
        label->setObjectName(QString::fromLatin1(kEntryDefs[i].label));
        label->setProperty("Tag", i);
        label->setFont(big);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        entries_[i] = label;
    }

    arrow_ = new QLabel(QString(QChar(0x279C)), client_); // a heavy right arrow
    arrow_->setObjectName(QStringLiteral("LabelFreccia"));
    arrow_->setFont(big);
    pal = arrow_->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    arrow_->setPalette(pal);
    arrow_->adjustSize();
    arrow_->setProperty("Tag", 0);
    Highlight(0);
}

QAction* TFormMain::NewAction(const char* name, const QString& caption, const QKeySequence& shortcut)
{
    auto* list = findChild<QObject*>(QStringLiteral("ActionList1"), Qt::FindDirectChildrenOnly);
    auto* action = new QAction(caption, list);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    addAction(action); // shortcuts work while the window is active
    return action;
}

void TFormMain::CreateActions()
{
    auto* list = new QObject(this);
    list->setObjectName(QStringLiteral("ActionList1"));

    QAction* apri = NewAction("ActionApri", QStringLiteral("&Apri"));
    QAction* salva = NewAction("ActionSalva", QStringLiteral("&Salva"));
    QAction* stampa = NewAction("ActionStampa", QStringLiteral("Stam&pa"));
    stampa->setEnabled(false); // no handler: shows disabled
    QAction* bloccoNote = NewAction("ActionBloccoNote", QStringLiteral("&Apri in blocco note"));
    QAction* puntiRipristino = NewAction("ActionPuntiRipristino", QStringLiteral("Punti di &ripristino..."));
    QAction* programma =
        NewAction("ActionProgramma", QStringLiteral("&Programma centralina"), QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction* esci = NewAction("ActionEsci", QStringLiteral("&Esci"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QAction* connetti =
        NewAction("ActionConnetti", QStringLiteral("&Connetti"), QKeySequence(Qt::CTRL | Qt::Key_C));
    QAction* disconnetti =
        NewAction("ActionDisconnetti", QStringLiteral("&Disconnetti"), QKeySequence(Qt::CTRL | Qt::Key_D));
    disconnetti->setEnabled(false);
    QAction* reset = NewAction("ActionResetCpu", QStringLiteral("&Reset centralina"));
    reset->setEnabled(false);
    QAction* conf = NewAction("ActionConf", QString::fromLatin1(kEntryDefs[0].caption));
    QAction* visualizza = NewAction("ActionVisualizza", QString::fromLatin1(kEntryDefs[1].caption));
    QAction* calibrazione = NewAction("ActionCalibrazione", QString::fromLatin1(kEntryDefs[2].caption));
    QAction* diagnosi = NewAction("ActionDiagnosi", QString::fromLatin1(kEntryDefs[3].caption));
    QAction* gestioneFile = NewAction("ActionGestioneFile", QString::fromLatin1(kEntryDefs[4].caption));
    NewAction("ActionIndicOrig", QStringLiteral("&Indicatore originale"))->setEnabled(false); // no handler

    connect(apri, &QAction::triggered, this, [this] {
        files_.Open();
        ShowMatchMark();
    });
    connect(salva, &QAction::triggered, this, [this] { files_.Save(); });
    connect(bloccoNote, &QAction::triggered, this, [this] { files_.OpenInEditor(); });
    connect(puntiRipristino, &QAction::triggered, this, &TFormMain::ShowRestorePoints);
    connect(programma, &QAction::triggered, this, [this] {
        if (scarica_ != nullptr)
            ProgramFirmware(ctx_, *scarica_, connection_, this);
    });
    connect(gestioneFile, &QAction::triggered, this, [this] {
        TFormGestioneFile form(ctx_, this, ctx_.mainFolder);
        ctx_.dialogs->Exec(&form);
        ShowMatchMark();
    });
    connect(esci, &QAction::triggered, this, &QWidget::close);
    connect(connetti, &QAction::triggered, this, [this] {
        connection_.Connect(true, true);
        ShowMatchMark();
    });
    connect(disconnetti, &QAction::triggered, this, [this] { connection_.Disconnect(); });
    connect(reset, &QAction::triggered, this, [this] {
        connection_.ResetUnit();
        ShowMatchMark();
    });
    connect(conf, &QAction::triggered, this, &TFormMain::ShowConfig);
    connect(visualizza, &QAction::triggered, this, [this] {
        TFormVisualizza form(ctx_, this);
        ctx_.dialogs->Exec(&form);
    });
    connect(diagnosi, &QAction::triggered, this, [this] {
        TFormDiagnosi form(ctx_, this);
        ctx_.dialogs->Exec(&form);
    });
    connect(calibrazione, &QAction::triggered, this, [this] { RunCalibration(ctx_, this); });

    const char* entryActions[kEntries] = {"ActionConf",      "ActionVisualizza",   "ActionCalibrazione",
                                          "ActionDiagnosi", "ActionGestioneFile", "ActionProgramma",
                                          "ActionEsci"};
    for (int i = 0; i < kEntries; ++i)
        entryActions_[i] = list->findChild<QAction*>(QString::fromLatin1(entryActions[i]));
}

void TFormMain::SyncMenuItem(QAction* item, QAction* action)
{
    // A menu item shows its action's caption, shortcut and state; the action
    // alone owns the shortcut, so the key is not bound twice.
    QString text = action->text();
    if (!action->shortcut().isEmpty())
        text += QLatin1Char('\t') + action->shortcut().toString(QKeySequence::NativeText);
    item->setText(text);
    item->setEnabled(action->isEnabled());
}

QAction* TFormMain::NewMenuItem(QMenu* menu, const char* name, QAction* action)
{
    auto* item = new QAction(menu);
    item->setObjectName(QString::fromLatin1(name));
    menu->addAction(item);
    if (action != nullptr) {
        menuLinks_.emplace_back(item, action);
        SyncMenuItem(item, action);
        connect(action, &QAction::changed, item, [this, item, action] { SyncMenuItem(item, action); });
        connect(item, &QAction::triggered, action, &QAction::trigger);
    }
    return item;
}

void TFormMain::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    auto newMenu = [bar](const char* name, const QString& title) {
        QMenu* m = bar->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    QMenu* file = newMenu("MenuFile", QStringLiteral("&File"));
    NewMenuItem(file, "MenuApri", action("ActionApri"));
    NewMenuItem(file, "MenuSalva", action("ActionSalva"));
    NewMenuItem(file, "MenuStampa", action("ActionStampa"));
    NewMenuItem(file, "Apriinblocconote1", action("ActionBloccoNote"));
    NewMenuItem(file, "MenuPuntiRipristino", action("ActionPuntiRipristino"));
    file->addSeparator();
    NewMenuItem(file, "MenuProgramma", action("ActionProgramma"));
    file->addSeparator();
    NewMenuItem(file, "MenuEsci", action("ActionEsci"));

    // Reachable through the label menu only.
    QMenu* view = newMenu("MenuVisualizza", QStringLiteral("&Visualizza"));
    NewMenuItem(view, "MenuVettura", action("ActionConf"));
    NewMenuItem(view, "Visualizzazioneparametri1", action("ActionVisualizza"));
    NewMenuItem(view, "Calibrazione1", action("ActionCalibrazione"));
    NewMenuItem(view, "MenuDiagnosi", action("ActionDiagnosi"));
    NewMenuItem(view, "MenuDati", action("ActionGestioneFile"));
    view->menuAction()->setVisible(false);

    QMenu* cpu = newMenu("MenuCpu", QStringLiteral("&Connessione"));
    NewMenuItem(cpu, "MenuConnetti", action("ActionConnetti"));
    NewMenuItem(cpu, "MenuDisconnetti", action("ActionDisconnetti"));
    NewMenuItem(cpu, "MenuResetCpu", action("ActionResetCpu"));
    QAction* rileggi = NewMenuItem(cpu, "MenuRileggi", nullptr);
    rileggi->setText(QStringLiteral("&Ricarica tutti i dati"));
    rileggi->setVisible(false);
    rileggi->setEnabled(false);
    QAction* carb = NewMenuItem(cpu, "MenuCambiaCarb", nullptr);
    carb->setText(QStringLiteral("Cambia tipo carburante"));
    connect(carb, &QAction::triggered, this, [this] {
        connection_.ChooseFuel();
        ShowMatchMark();
    });

    QMenu* settings = newMenu("MenuConfig", QStringLiteral("&Impostazioni"));
    QAction* port = NewMenuItem(settings, "MenuComPort", nullptr);
    port->setText(QStringLiteral("&Porta Seriale"));
    connect(port, &QAction::triggered, this, &TFormMain::ChoosePort);

    QMenu* help = newMenu("MenuAiuto", QStringLiteral("&Aiuto"));
    QAction* guida = NewMenuItem(help, "MenuGuida", nullptr);
    guida->setText(QStringLiteral("&Guida"));
    connect(guida, &QAction::triggered, this, [this] { guide_->Open(ContentsTopic(), this); });
    QAction* about = NewMenuItem(help, "MenuAbout", nullptr);
    about->setText(QStringLiteral("&Informazioni su..."));
    connect(about, &QAction::triggered, this, &TFormMain::ShowAbout);
}

void TFormMain::SetPanelText(int panel, const QString& text) { statusBar_->SetPanelText(panel, text); }

QString TFormMain::PanelText(int panel) const { return statusBar_->PanelText(panel); }

void TFormMain::RepaintStatusBar() { statusBar_->repaint(); }

} // namespace vapora
