// The main window under the offscreen platform: label menu, keys and mouse,
// layouts, language change, state messages, status bar, start without a unit.
#include "services/AppMessages.h"
#include "MainFixture.h"
#include "editor/TFormConfig.h"
#include "app/TFormMain.h"
#include "app/TFormMainStatusBar.h"
#include "app/TAboutBox.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "support/FakeLink.h"

#include "LinkObject.h"
#include "sim/SimUnit.h"

#include <QAction>
#include <QPaintEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <functional>

using namespace vapora;
using namespace vapora::test;

namespace {

// The simulated unit's link, counting the reads that reach it.
class CountingLink final : public SerialLink {
public:
    sernox::LinkObject inner;
    int reads = 0;

    void Init(int32_t m) override { inner.Init(m); }
    void Configure(int32_t o) override { inner.Configure(o); }
    void AttachScreen(LinkScreen* s) override { inner.AttachScreen(s); }
    int32_t IsConnected() override { return inner.IsConnected(); }
    void Connect() override { inner.Connect(); }
    void Disconnect() override { inner.Disconnect(); }
    uint8_t GetStatusFlags() override { return inner.GetStatusFlags(); }
    void EndProgramming() override { inner.EndProgramming(); }
    void BeginProgramming() override { inner.BeginProgramming(); }
    bool ReadParam(int32_t id, int32_t* d) override { return ++reads, inner.ReadParam(id, d); }
    bool ReadParamRow(int32_t id, int32_t* d, int32_t r) override { return ++reads, inner.ReadParamRow(id, d, r); }
    bool ReadLive(int32_t b, uint8_t* buf, int32_t* n) override { return inner.ReadLive(b, buf, n); }
    bool WriteParam(int32_t id, const int32_t* s) override { return inner.WriteParam(id, s); }
    bool WriteValue(int32_t id, int32_t v) override { return inner.WriteValue(id, v); }
    bool WriteElement(int32_t id, int32_t i, int32_t v) override { return inner.WriteElement(id, i, v); }
    bool WriteCell(int32_t id, int32_t r, int32_t c, int32_t v) override { return inner.WriteCell(id, r, c, v); }
    bool WriteParamRow(int32_t id, const int32_t* s, int32_t r) override { return inner.WriteParamRow(id, s, r); }
    bool Identify(uint8_t* b) override { return inner.Identify(b); }
    bool OpenLink() override
    {
        if (onOpen)
            onOpen();
        return inner.OpenLink();
    }
    std::function<void()> onOpen; // runs as the connection starts its blocking work
    int32_t ProgramFirmware(const char* p, int32_t a, int32_t b, int32_t c) override
    {
        return inner.ProgramFirmware(p, a, b, c);
    }
};

class MainWindow : public ::testing::Test {
protected:
    void Build(SerialLink& link, bool withDictionary = true, int storedLanguage = 0)
    {
        folder.reset(); // back in the original folder before the next one
        folder = std::make_unique<WorkFolder>(withDictionary);
        car = std::make_unique<ConfCar>("default.mur", &link, clock);
        car->SetProgressSink([](int32_t amount, bool add) { SendProgress(amount, add); });
        settings = std::make_unique<GlobalData>(QStringLiteral("Murazzoni\\VaporaTest"), dialogs, folder->Path());
        settings->SetValue(GlobalData::kLanguage, storedLanguage);
        ctx.link = &link;
        ctx.car = car.get();
        ctx.settings = settings.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        form = std::make_unique<TFormMain>(ctx);
        screen.SetMainWindow(form.get());
        link.AttachScreen(&screen);
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ctx.dictionary = dictionary.get();
        config = std::make_unique<TFormConfig>(ctx);
        form->SetConfigForm(config.get());
        dialogs.messages.clear(); // the settings' first-start message
    }
    // Shows the window and lets its show handler run.
    void ShowAndHandle()
    {
        form->show();
        for (int i = 0; i < 100 && !form->ShowHandled(); ++i)
            QCoreApplication::processEvents();
        ASSERT_TRUE(form->ShowHandled());
    }
    // The same, then lets the splash go and forgets what the start showed.
    void Show()
    {
        ShowAndHandle();
        QCoreApplication::processEvents();
        dialogs.messages.clear();
        dialogs.execTitles.clear();
    }
    void TearDown() override
    {
        form.reset();
        config.reset();
        dictionary.reset();
        settings.reset();
        car.reset();
    }
    QAction* Action(const char* name) const { return form->findChild<QAction*>(QString::fromLatin1(name)); }
    QLabel* Label(const char* name) const { return form->findChild<QLabel*>(QString::fromLatin1(name)); }
    // The hidden item is disabled while hidden; show it to read the state it keeps.
    bool RileggiEnabled() const
    {
        QAction* item = Action("MenuRileggi");
        item->setVisible(true);
        const bool enabled = item->isEnabled();
        item->setVisible(false);
        return enabled;
    }
    StatusBarMain* Bar() const { return form->findChild<StatusBarMain*>(QStringLiteral("StatusBarMain")); }
    void State(int lParam)
    {
        StateEvent e(lParam);
        QCoreApplication::sendEvent(form.get(), &e);
    }
    QColor PanelColour(int panel) const
    {
        const QImage image = Bar()->grab().toImage();
        const QRect r = Bar()->PanelRect(panel);
        return image.pixelColor(r.right() - 3, r.center().y());
    }

    FakeClock clock;
    FakeLink fakeLink;
    ScriptedDialogs dialogs;
    AppScreen screen;
    std::unique_ptr<WorkFolder> folder;
    std::unique_ptr<ConfCar> car;
    std::unique_ptr<GlobalData> settings;
    AppContext ctx;
    std::unique_ptr<TFormMain> form;
    std::unique_ptr<TDataModuleMur> dictionary;
    std::unique_ptr<TFormConfig> config;
};

TEST_F(MainWindow, StartWithoutUnitWarnsAsksForFuelAndKeepsTheSplashThreeSeconds)
{
    Build(fakeLink);
    ShowAndHandle();
    ASSERT_FALSE(form->Terminated());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages[0].text, MessageTable().NoConnection());
    EXPECT_EQ(dialogs.messages[0].title, "Vapora");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    ASSERT_FALSE(dialogs.execTitles.empty());
    EXPECT_EQ(dialogs.execTitles[0], "Scegli il tipo di carburante");
    // The minimum splash time passed on the fake clock only.
    EXPECT_GE(clock.now, 3000u);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Splash(), nullptr); // gone at the first idle moment after the handler
    EXPECT_EQ(form->Highlighted(), 0);
    EXPECT_EQ(Bar()->PanelText(0), "Centralina non connessa");
    EXPECT_EQ(PanelColour(0), StatusBarMain::kNotConnected);
}

TEST_F(MainWindow, MissingDictionaryEndsTheProgramAtShow)
{
    Build(fakeLink, false);
    ShowAndHandle();
    EXPECT_TRUE(form->Terminated());
    ASSERT_EQ(dialogs.messages.size(), 1u); // the dictionary's own message, nothing after it
    EXPECT_TRUE(dialogs.execTitles.empty());
}

TEST_F(MainWindow, ArrowKeysStopAtTheEndsAndEnterRunsTheHighlightedEntry)
{
    Build(fakeLink);
    Show();
    QLabel* first = Label("LabelConfig");
    QLabel* arrow = Label("LabelFreccia");
    const QPoint arrowAtFirst = arrow->pos();

    QTest::keyClick(form.get(), Qt::Key_Up);
    EXPECT_EQ(form->Highlighted(), 0);
    EXPECT_EQ(arrow->pos(), arrowAtFirst);
    EXPECT_TRUE(first->font().underline());

    QTest::keyClick(form.get(), Qt::Key_Down);
    EXPECT_EQ(form->Highlighted(), 1);
    EXPECT_EQ(arrow->y(), Label("LabelVisualizza")->y());
    EXPECT_FALSE(first->font().underline());
    EXPECT_EQ(Label("LabelVisualizza")->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(first->palette().color(QPalette::WindowText), QColor(Qt::white));

    QSignalSpy display(Action("ActionVisualizza"), &QAction::triggered);
    QTest::keyClick(form.get(), Qt::Key_Return);
    EXPECT_EQ(display.count(), 1);

    for (int i = 0; i < 10; ++i)
        QTest::keyClick(form.get(), Qt::Key_Down);
    EXPECT_EQ(form->Highlighted(), TFormMain::kEntries - 1);
    const QPoint arrowAtLast = arrow->pos();
    QTest::keyClick(form.get(), Qt::Key_Down);
    EXPECT_EQ(form->Highlighted(), TFormMain::kEntries - 1);
    EXPECT_EQ(arrow->pos(), arrowAtLast);

    // Back to the first entry: Enter opens the configuration window.
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(form.get(), Qt::Key_Up);
    QTest::keyClick(form.get(), Qt::Key_Enter);
    ASSERT_EQ(dialogs.execTitles.size(), 2u); // the display, then the configuration
    EXPECT_EQ(dialogs.execTitles[1], "Configurazione veicolo");
}

TEST_F(MainWindow, EntriesOpenTheirWindows)
{
    Build(fakeLink);
    Show();
    dialogs.execTitles.clear();
    for (const char* name : {"ActionVisualizza", "ActionDiagnosi", "ActionCalibrazione", "MenuPuntiRipristino"}) {
        SCOPED_TRACE(name);
        const size_t before = dialogs.execTitles.size();
        Action(name)->trigger();
        ASSERT_EQ(dialogs.execTitles.size(), before + 1);
        EXPECT_FALSE(dialogs.execTitles.back().isEmpty());
    }
}

TEST_F(MainWindow, HoverMovesTheHighlightAndClickRunsTheEntry)
{
    Build(fakeLink);
    Show();
    QLabel* diagnosis = Label("LabelDiagnosi");
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(diagnosis, &enter);
    EXPECT_EQ(form->Highlighted(), 3);
    EXPECT_EQ(Label("LabelFreccia")->y(), diagnosis->y());
    EXPECT_TRUE(diagnosis->font().underline());

    QSignalSpy run(Action("ActionDiagnosi"), &QAction::triggered);
    QTest::mouseClick(diagnosis, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(run.count(), 1);
}

TEST_F(MainWindow, AltQClosesAndDisconnectsAConnectedUnit)
{
    Build(fakeLink);
    Show();
    fakeLink.connected = true;
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::AltModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(fakeLink.connected);
}

TEST_F(MainWindow, LabelMenuIsLaidOutInRowsAndCentred)
{
    Build(fakeLink);
    Show();
    const QWidget* client = form->centralWidget();
    const int h = client->height() / 10;
    ASSERT_GT(h, 0);
    EXPECT_EQ(Label("LabelMenu")->y(), h / 2);
    for (int i = 0; i < TFormMain::kEntries - 1; ++i)
        EXPECT_EQ(form->Entry(i)->y(), h / 2 + h + i * h) << i;
    EXPECT_EQ(Label("LabelTermina")->y(), Label("LabelRiprogramma")->y() + static_cast<int>(1.2 * h));

    int widest = 0;
    for (int i = 0; i < TFormMain::kEntries; ++i)
        widest = std::max(widest, form->Entry(i)->width());
    const int left = (client->width() - widest) / 2;
    for (int i = 0; i < TFormMain::kEntries; ++i)
        EXPECT_EQ(form->Entry(i)->x(), left) << i;
    EXPECT_EQ(Label("LabelFreccia")->x(), left - 50);
    EXPECT_EQ(Label("LabelMenu")->x(), (client->width() - Label("LabelMenu")->width()) / 2);
}

TEST_F(MainWindow, LanguageChangeReloadsTextsAndRecentresWithoutMovingRows)
{
    Build(fakeLink);
    Show();
    form->SetPanelText(2, QStringLiteral("Versione software: 18.65"));
    std::vector<int> rows;
    for (int i = 0; i < TFormMain::kEntries; ++i)
        rows.push_back(form->Entry(i)->y());
    const int oldLeft = form->Entry(0)->x();

    QAction* english = dictionary->PopupMenuLingue()->actions().value(1);
    ASSERT_NE(english, nullptr);
    english->trigger();

    EXPECT_EQ(settings->GetValue(GlobalData::kLanguage), 1);
    EXPECT_TRUE(english->isChecked());
    EXPECT_EQ(Label("LabelConfig")->text(), "CAR SETUP");
    EXPECT_EQ(Label("LabelDiagnosi")->text(), QString("DIAGNOSIS DIAGNOSIS DIAGNOSIS DIAGNOSIS").left(30));
    EXPECT_EQ(form->windowTitle(), "Vapora Murazzoni EN");
    EXPECT_EQ(config->windowTitle(), "Vehicle setup");
    EXPECT_EQ(Action("MenuConnetti")->text(), "&Connect\t" + QKeySequence(Qt::CTRL | Qt::Key_C).toString(QKeySequence::NativeText));
    EXPECT_EQ(form->findChild<QMenu*>("MenuCpu")->title(), "&Connection");
    EXPECT_EQ(form->Messages().Text("MessConn"), "EN Centralina connessa");
    EXPECT_EQ(form->OpenDialogTitle(), "Open file");
    EXPECT_EQ(Bar()->PanelText(0), "EN Centralina non connessa");
    EXPECT_EQ(Bar()->PanelText(1), "EN Configurazione: " + QString::fromStdString(car->GetConfigName()));
    EXPECT_EQ(Bar()->PanelText(2), "Software version: 18.65");
    EXPECT_EQ(Bar()->PanelText(3), "EN GPL");

    int widest = 0;
    for (int i = 0; i < TFormMain::kEntries; ++i) {
        EXPECT_EQ(form->Entry(i)->y(), rows[i]) << i;
        widest = std::max(widest, form->Entry(i)->width());
    }
    const int left = (form->centralWidget()->width() - widest) / 2;
    EXPECT_EQ(form->Entry(0)->x(), left);
    EXPECT_NE(left, oldLeft);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, StoredLanguageIsSelectedAtShowAndAnUnknownOneFallsBackToTheFirst)
{
    Build(fakeLink, true, 1);
    Show();
    EXPECT_EQ(Label("LabelTermina")->text(), "EXIT");
    EXPECT_TRUE(dictionary->PopupMenuLingue()->actions().value(1)->isChecked());
    TearDown();

    Build(fakeLink, true, 7);
    Show();
    EXPECT_EQ(Label("LabelTermina")->text(), "ESCI");
    EXPECT_TRUE(dictionary->PopupMenuLingue()->actions().value(0)->isChecked());
}

TEST_F(MainWindow, StateMessagesUpdatePanelsAndActions)
{
    Build(fakeLink);
    Show();
    EXPECT_TRUE(Action("ActionConnetti")->isEnabled());
    EXPECT_FALSE(Action("ActionDisconnetti")->isEnabled());
    EXPECT_FALSE(Action("MenuRileggi")->isVisible());

    car->SetConfigName("BERLINA 1.2");
    State(kStateLinkUp);
    EXPECT_EQ(Bar()->PanelText(0), "Centralina connessa");
    EXPECT_EQ(Bar()->PanelText(1), "Configurazione: BERLINA 1.2");
    EXPECT_FALSE(Action("ActionConnetti")->isEnabled());
    EXPECT_TRUE(Action("ActionDisconnetti")->isEnabled());
    EXPECT_TRUE(Action("ActionResetCpu")->isEnabled());
    EXPECT_TRUE(RileggiEnabled());
    EXPECT_TRUE(Action("MenuDisconnetti")->isEnabled());

    car->SetConfigName("FAMILIARE");
    State(kStateNameChanged);
    EXPECT_EQ(Bar()->PanelText(1), "Configurazione: FAMILIARE");
    EXPECT_TRUE(Action("ActionDisconnetti")->isEnabled());

    form->SetPanelText(2, QStringLiteral("Versione software: 18.65"));
    State(kStateLinkDown);
    EXPECT_EQ(Bar()->PanelText(0), "Centralina non connessa");
    EXPECT_EQ(Bar()->PanelText(2), "");
    EXPECT_TRUE(Action("ActionConnetti")->isEnabled());
    EXPECT_FALSE(Action("ActionDisconnetti")->isEnabled());
    EXPECT_FALSE(Action("ActionResetCpu")->isEnabled());
    EXPECT_FALSE(RileggiEnabled());

    QSignalSpy save(Action("ActionSalva"), &QAction::triggered);
    State(kStateSaveRequest);
    EXPECT_EQ(save.count(), 1);

    State(99); // unknown: only the common tail
    EXPECT_EQ(Bar()->PanelText(0), "Centralina non connessa");
}

TEST_F(MainWindow, StatusBarColoursFollowConnectionFuelAndOfficialFlag)
{
    Build(fakeLink);
    Show();
    EXPECT_EQ(PanelColour(0), StatusBarMain::kNotConnected);
    EXPECT_EQ(PanelColour(3), StatusBarMain::kLpg);
    const QRect official = Bar()->PanelRect(1);
    const QImage plain = Bar()->grab().toImage();

    fakeLink.connected = true;
    car->SetStatusFlag(ConfCar::kMethane, true);
    car->SetStatusFlag(ConfCar::kOfficial, true);
    EXPECT_NE(PanelColour(0), StatusBarMain::kNotConnected);
    EXPECT_EQ(PanelColour(3), StatusBarMain::kMethane);
    const QImage marked = Bar()->grab().toImage();
    // The official mark sits at the left of panel 1.
    EXPECT_NE(marked.pixelColor(official.left() + 10, official.center().y()),
              plain.pixelColor(official.left() + 10, official.center().y()));
}

TEST_F(MainWindow, MenusCarryTheirCaptionsShortcutsAndInitialStates)
{
    Build(fakeLink);
    EXPECT_EQ(Action("ActionProgramma")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(Action("ActionEsci")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(Action("ActionConnetti")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(Action("ActionDisconnetti")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_FALSE(Action("MenuStampa")->isEnabled());
    EXPECT_TRUE(Action("Apriinblocconote1")->isEnabled());
    EXPECT_FALSE(Action("MenuResetCpu")->isEnabled());
    EXPECT_FALSE(form->findChild<QMenu*>("MenuVisualizza")->menuAction()->isVisible());
    // Settings carries the serial port choice.
    EXPECT_TRUE(form->findChild<QMenu*>("MenuConfig")->menuAction()->isVisible());
    EXPECT_TRUE(form->findChild<QMenu*>("MenuAiuto")->menuAction()->isVisible());
    // A menu item follows its action.
    Action("ActionResetCpu")->setEnabled(true);
    EXPECT_TRUE(Action("MenuResetCpu")->isEnabled());
}

TEST_F(MainWindow, AboutShowsTheCaptionAndVersion)
{
    Build(fakeLink);
    Show();
    QString product, version, title;
    dialogs.windows.push_back([&](QDialog* d) {
        title = d->windowTitle();
        product = d->findChild<QLabel*>("ProductName")->text();
        version = d->findChild<QLabel*>("Version")->text();
        return int(QDialog::Accepted);
    });
    Action("MenuAbout")->trigger();
    EXPECT_EQ(title, "Vapora Murazzoni");
    EXPECT_EQ(product, "Vapora Murazzoni");
    EXPECT_EQ(version, "Versione 4.5");
}

// Counts the paint events that reach a window or its children.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && w != nullptr && w->window() == window_)
            ++count;
        return false;
    }

private:
    QWidget* window_;
};

TEST_F(MainWindow, WindowAndConnectingTextAreOnTheScreenBeforeTheLineIsOpened)
{
    CountingLink link;
    Build(link);
    ASSERT_NE(form->Splash(), nullptr);
    PaintCounter mainPaints(form.get());
    PaintCounter splashPaints(form->Splash());
    bool opened = false;
    link.onOpen = [&] {
        if (opened)
            return;
        opened = true;
        EXPECT_TRUE(form->windowHandle() != nullptr && form->windowHandle()->isExposed());
        EXPECT_GT(mainPaints.count, 0) << "the main window is painted";
        QLabel* connecting = form->Splash()->Label2();
        EXPECT_TRUE(connecting->isVisible());
        EXPECT_EQ(connecting->text(), "Connessione in corso...");
        EXPECT_GT(splashPaints.count, 0);
    };
    ShowAndHandle();
    EXPECT_TRUE(opened);
}

TEST_F(MainWindow, FirstConnectionReportsOnTheSplashAndReconnectDoesNotRead)
{
    CountingLink link;
    Build(link);
    ASSERT_NE(form->Splash(), nullptr);
    QSignalSpy progress(form->Splash()->ProgressBar1(), &QProgressBar::valueChanged);
    ShowAndHandle();
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toInt(), 100);
    EXPECT_EQ(link.IsConnected(), 1);
    QCoreApplication::processEvents(); // the link's state message
    EXPECT_EQ(Bar()->PanelText(0), "Centralina connessa");
    EXPECT_TRUE(Bar()->PanelText(2).startsWith("Versione software: "));
    const int fullRead = link.reads;

    link.Disconnect();
    QCoreApplication::processEvents();
    EXPECT_EQ(Bar()->PanelText(0), "Centralina non connessa");
    link.reads = 0;
    State(kStateReconnect);
    EXPECT_EQ(link.IsConnected(), 1);
    EXPECT_LT(link.reads * 10, fullRead); // identification and checks only
    QCoreApplication::processEvents();
    EXPECT_EQ(Bar()->PanelText(0), "Centralina connessa");
}

TEST_F(MainWindow, AReadCutByTheLinkMarksTheConfigurationUntilItIsReadAgain)
{
    auto sim = std::make_unique<sernox::SimUnit>();
    sernox::SimUnit* unit = sim.get();
    sernox::LinkObject link(std::move(sim));
    Build(link);
    Show();
    ASSERT_EQ(link.IsConnected(), 1);
    const QString title = form->windowTitle();
    const QString mark = QStringLiteral(" - non corrisponde alla centralina");
    EXPECT_FALSE(title.endsWith(mark));

    link.Disconnect();
    QCoreApplication::processEvents();
    int32_t pos = 0;
    car->SetProgressSink([&](int32_t amount, bool add) {
        pos = add ? pos + amount : amount;
        if (pos >= 40 && pos < 100)
            unit->DropLink();
    });
    Action("ActionConnetti")->trigger();
    QCoreApplication::processEvents();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.front().text.startsWith("Collegamento perso: letti "));
    EXPECT_EQ(form->windowTitle(), title + mark);
    EXPECT_TRUE(Bar()->PanelText(1).endsWith(mark)) << Bar()->PanelText(1).toStdString();

    // An edit offline keeps the mark: the record still is not the unit's.
    car->SetParam(3, 4);
    State(kStateNameChanged);
    EXPECT_EQ(form->windowTitle(), title + mark);

    // The link comes back without a reload: a read is offered, and done.
    unit->RestoreLink();
    car->SetProgressSink([](int32_t, bool) {});
    dialogs.messages.clear();
    dialogs.answers.push_back(MsgResult::Yes);
    State(kStateReconnect);
    QCoreApplication::processEvents();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.front().text.contains("Rileggere la configurazione"))
        << dialogs.messages.front().text.toStdString();
    EXPECT_TRUE(car->LastTransfer().Complete());
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_FALSE(Bar()->PanelText(1).endsWith(mark));
}

TEST_F(MainWindow, AReadTheUnitRefusesIsToldMarkedAndOfferedAgainLikeACutOne)
{
    auto sim = std::make_unique<sernox::SimUnit>();
    sernox::SimUnit* unit = sim.get();
    sernox::LinkObject link(std::move(sim));
    Build(link);
    Show();
    const QString title = form->windowTitle();
    const QString mark = QStringLiteral(" - non corrisponde alla centralina");
    auto expectRefusalAsked = [](const ShownMessage& m) {
        EXPECT_TRUE(m.text.startsWith("La centralina ha rifiutato la lettura di 1 di ")) << m.text.toStdString();
        EXPECT_TRUE(m.text.contains(": Mappa3_0..Mappa3_19. ")) << m.text.toStdString();
        EXPECT_TRUE(m.text.endsWith("\n\nRileggere ora la configurazione dalla centralina?")) << m.text.toStdString();
        EXPECT_EQ(m.buttons, MsgButtons::YesNo);
        EXPECT_EQ(m.defaultButton, MsgResult::Yes);
    };

    // Connect: gas map row 3 refused; read again once (refused again), then leave it.
    link.Disconnect();
    QCoreApplication::processEvents();
    unit->RefuseReadsOf(14, 3);
    dialogs.messages.clear();
    dialogs.execTitles.clear();
    dialogs.answers = {MsgResult::Yes, MsgResult::No};
    Action("ActionConnetti")->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const ShownMessage& m : dialogs.messages)
        expectRefusalAsked(m);
    EXPECT_FALSE(car->LastTransfer().Complete());
    EXPECT_TRUE(dialogs.execTitles.empty()) << "no fuel choice on a configuration read in part";
    EXPECT_EQ(link.IsConnected(), 1);
    EXPECT_EQ(form->windowTitle(), title + mark);
    EXPECT_TRUE(Bar()->PanelText(1).endsWith(mark)) << Bar()->PanelText(1).toStdString();
    EXPECT_TRUE(Bar()->PanelText(2).startsWith("Versione software: ")) << Bar()->PanelText(2).toStdString();

    // The read again after a cut one: refused, read again at once, and whole.
    link.Disconnect();
    QCoreApplication::processEvents();
    int reads = 0;
    int32_t pos = 0;
    car->SetProgressSink([&](int32_t amount, bool add) {
        pos = add ? pos + amount : amount;
        if (!add && amount == 0 && ++reads == 3)
            unit->RefuseReadsOf(14, 3, false); // the third read comes whole
        if (reads == 1 && pos >= 40 && pos < 100)
            unit->DropLink();
    });
    dialogs.answers.clear();
    Action("ActionConnetti")->trigger();
    QCoreApplication::processEvents();
    unit->RestoreLink();
    dialogs.messages.clear();
    dialogs.answers = {MsgResult::Yes, MsgResult::Yes};
    State(kStateReconnect);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("Rileggere la configurazione")) << dialogs.messages[0].text.toStdString();
    expectRefusalAsked(dialogs.messages[1]);
    EXPECT_EQ(reads, 3);
    EXPECT_TRUE(car->LastTransfer().Complete());
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_FALSE(Bar()->PanelText(1).endsWith(mark));

    // A whole read on connect goes on to the fuel choice.
    link.Disconnect();
    QCoreApplication::processEvents();
    dialogs.execTitles.clear();
    Action("ActionConnetti")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(car->LastTransfer().Complete());
    EXPECT_FALSE(dialogs.execTitles.empty());
}

} // namespace
