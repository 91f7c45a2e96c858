// The installed program: the port choice and what the connection says about the
// port, files given on the command line or handed over by a second copy, and the
// user's main folder made from the template.
#include "MainFixture.h"

#include "LinkObject.h"
#include "app/Program.h"
#include "app/TFormMain.h"
#include "app/TFormPortaSeriale.h"
#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "model/MainFolder.h"
#include "services/AppMessages.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/platform/SingleInstance.h"
#include "sim/SimUnit.h"
#include "wire/LinkChoice.h"
#include "wire/SerialPorts.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QTreeWidget>
#include <QUuid>

#include <cstdlib>

using namespace vapora;
using namespace vapora::test;

namespace {

QString UniqueName() { return QStringLiteral("MURTest-") + QUuid::createUuid().toString(QUuid::Id128); }

// VAPORA_LINK for one test.
class LinkEnvironment {
public:
    LinkEnvironment()
    {
        if (const char* old = std::getenv("VAPORA_LINK"))
            saved_ = old;
        unsetenv("VAPORA_LINK");
    }
    ~LinkEnvironment() { Set(saved_); }
    static void Set(const std::string& text)
    {
        if (text.empty())
            unsetenv("VAPORA_LINK");
        else
            setenv("VAPORA_LINK", text.c_str(), 1);
    }

private:
    std::string saved_;
};

class InstalledProgram : public ::testing::Test {
protected:
    // The main window on the simulated unit, the link library's folder holding conf.
    void Build(int language, const QString& conf = {})
    {
        TearDown();
        folder = std::make_unique<WorkFolder>();
        QDir(folder->Path()).mkpath(QStringLiteral("lib"));
        ctx.libraryFolder = folder->Path() + QStringLiteral("/lib");
        if (!conf.isEmpty()) {
            QFile file(ctx.libraryFolder + QStringLiteral("/SerNoxDL.conf"));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(conf.toUtf8());
        }
        link = std::make_unique<sernox::LinkObject>(std::make_unique<sernox::SimUnit>());
        car = std::make_unique<ConfCar>("default.mur", link.get(), clock);
        settings = std::make_unique<GlobalData>(QStringLiteral("Murazzoni\\VaporaPortTest"), dialogs, folder->Path());
        settings->SetValue(GlobalData::kLanguage, language);
        ctx.link = link.get();
        ctx.car = car.get();
        ctx.settings = settings.get();
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        form = std::make_unique<TFormMain>(ctx);
        screen.SetMainWindow(form.get());
        link->AttachScreen(&screen);
        dictionary = std::make_unique<TDataModuleMur>(dialogs);
        ctx.dictionary = dictionary.get();
        dialogs.messages.clear();
    }
    void Show()
    {
        form->show();
        for (int i = 0; i < 100 && !form->ShowHandled(); ++i)
            QCoreApplication::processEvents();
        ASSERT_TRUE(form->ShowHandled());
        QCoreApplication::processEvents();
        dialogs.execTitles.clear(); // the start's fuel choice
    }
    void TearDown() override
    {
        form.reset();
        dictionary.reset();
        settings.reset();
        car.reset();
        link.reset();
        folder.reset();
    }
    bool Connected() const { return link->IsConnected() != 0; }

    LinkEnvironment environment;
    FakeClock clock;
    ScriptedDialogs dialogs;
    AppScreen screen;
    std::unique_ptr<WorkFolder> folder;
    std::unique_ptr<sernox::LinkObject> link;
    std::unique_ptr<ConfCar> car;
    std::unique_ptr<GlobalData> settings;
    AppContext ctx;
    std::unique_ptr<TFormMain> form;
    std::unique_ptr<TDataModuleMur> dictionary;
};

TEST_F(InstalledProgram, FirstStartWithoutAChosenPortSaysWhereToChooseOne)
{
    const char* expected[] = {"sceglierla dal menu Impostazioni > Porta Seriale",
                              "choose one in the Settings > Serial port menu"};
    for (int language : {0, 1}) {
        Build(language, QStringLiteral("default=none\n"));
        Show();
        EXPECT_FALSE(Connected()) << "no unit, not the simulated one";
        ASSERT_FALSE(dialogs.messages.empty());
        const QString& text = dialogs.messages[0].text;
        EXPECT_TRUE(text.startsWith(form->Messages().NoConnection() + QStringLiteral("\n\n"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected[language]))) << text.toStdString();
        // The menu that text names is there, in the window's language.
        QAction* item = form->findChild<QAction*>(QStringLiteral("MenuComPort"));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isVisible());
        EXPECT_TRUE(form->findChild<QMenu*>(QStringLiteral("MenuConfig"))->menuAction()->isVisible());
        EXPECT_EQ(item->text(), language == 0 ? "&Porta Seriale" : "&Serial port");
    }
}

// Each row: the user's choice, VAPORA_LINK, what the message must contain ("" none), connected after.
TEST_F(InstalledProgram, PortProblemsAreToldBeforeTheLinkOpens)
{
    Build(1, QStringLiteral("default=none\n"));
    Show();
    const QString missing = folder->Path() + QStringLiteral("/ttyUSB7");
    struct Row {
        QString choice;
        std::string environment;
        QString says;
        bool connects;
    };
    const Row rows[] = {
        {QString(), "", QStringLiteral("No serial port chosen"), false},
        {QStringLiteral("serial:") + missing, "", QStringLiteral("The serial port %1 does not exist").arg(missing), false},
        {QStringLiteral("serial:") + missing, "sim", QString(), true}, // the environment comes first
        {QStringLiteral("sim"), "", QString(), true},
        {QStringLiteral("sim"), "none", QStringLiteral("No serial port chosen"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.choice.toStdString() + " / " + row.environment);
        link->Disconnect();
        QCoreApplication::processEvents(); // the link's state message enables Connect again
        ASSERT_TRUE(settings->SetLinkChoice(row.choice));
        LinkEnvironment::Set(row.environment);
        dialogs.messages.clear();
        form->findChild<QAction*>(QStringLiteral("ActionConnetti"))->trigger();
        EXPECT_EQ(Connected(), row.connects);
        if (row.says.isEmpty()) {
            EXPECT_TRUE(form->Connector().LastPortProblem().isEmpty());
            continue;
        }
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(form->Messages().Text(QStringLiteral("MessErrConn")) +
                                                        QStringLiteral("\n\n")));
        EXPECT_TRUE(dialogs.messages[0].text.contains(row.says)) << dialogs.messages[0].text.toStdString();
    }
}

std::vector<sernox::wire::SerialPortInfo> TwoPorts()
{
    sernox::wire::SerialPortInfo usb{"/dev/ttyUSB0", "ttyUSB0", "FTDI FT232R USB UART (0403:6001)", true};
    sernox::wire::SerialPortInfo builtIn{"/dev/ttyS0", "ttyS0", "", false};
    return {usb, builtIn};
}

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + QStringLiteral(" | ") + list->topLevelItem(i)->text(1);
    return rows;
}

TEST_F(InstalledProgram, PortWindowOffersThePortsTheSimulationAndAChosenPortThatIsAway)
{
    for (int language : {0, 1}) {
        Build(language);
        Show();
        const QString builtIn = language == 0 ? "Porta seriale del computer" : "Serial port of the computer";
        const QString absent = language == 0 ? "(non presente)" : "(not present)";
        const QString simulated =
            language == 0 ? "Centralina simulata (dimostrazione)" : "Simulated unit (demonstration)";
        TFormPortaSeriale window(dictionary.get(), {QStringLiteral("serial:/dev/ttyUSB7@19200"), {}, {}}, &TwoPorts);
        EXPECT_EQ(window.windowTitle(), language == 0 ? "Porta seriale" : "Serial port");
        EXPECT_EQ(Rows(window.List()), QStringList({"/dev/ttyUSB0 | FTDI FT232R USB UART (0403:6001)",
                                                    "/dev/ttyS0 | " + builtIn, "/dev/ttyUSB7 | " + absent,
                                                    "sim | " + simulated}));
        EXPECT_EQ(window.Chosen(), "serial:/dev/ttyUSB7@19200") << "the choice so far is selected";
        window.List()->setCurrentItem(window.List()->topLevelItem(1));
        EXPECT_EQ(window.Chosen(), "serial:/dev/ttyS0");
        EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("LabelNotaPorta"))->text().isEmpty());
    }
    TFormPortaSeriale fixed(dictionary.get(), {{}, QStringLiteral("VAPORA_LINK"), QStringLiteral("serial:/dev/pts/3")},
                            [] { return std::vector<sernox::wire::SerialPortInfo>(); });
    const QString note = fixed.findChild<QLabel*>(QStringLiteral("LabelNotaPorta"))->text();
    EXPECT_TRUE(note.contains("VAPORA_LINK (serial:/dev/pts/3)")) << note.toStdString();
    EXPECT_TRUE(note.contains("No serial port found")) << note.toStdString();
    EXPECT_EQ(fixed.Chosen(), "sim") << "only the simulation to choose";
}

TEST_F(InstalledProgram, TheMenuStoresTheChoiceWhereTheLinkLibraryReadsIt)
{
    Build(0, QStringLiteral("default=none\n"));
    Show();
    dialogs.windows.push_back([](QDialog* shown) {
        auto* list = shown->findChild<QTreeWidget*>(QStringLiteral("ListPorte"));
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0) == "sim")
                list->setCurrentItem(list->topLevelItem(i));
        return int(QDialog::Accepted);
    });
    form->findChild<QAction*>(QStringLiteral("MenuComPort"))->trigger();
    ASSERT_EQ(dialogs.execTitles.size(), 1u);
    EXPECT_EQ(dialogs.execTitles[0], "Porta seriale");
    EXPECT_EQ(settings->LinkChoice(), "sim");
    EXPECT_EQ(sernox::wire::ReadUserLinkChoice(settings->SettingsFile().toStdString()), "sim");
    form->findChild<QAction*>(QStringLiteral("ActionConnetti"))->trigger();
    EXPECT_TRUE(Connected()) << "the choice works without a restart";

    // Cancelled: nothing changes.
    dialogs.windows.push_back([](QDialog*) { return int(QDialog::Rejected); });
    form->ChoosePort();
    EXPECT_EQ(settings->LinkChoice(), "sim");
}

// A configuration file named `name` whose configuration is called the same.
QString ConfigurationFile(const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    ConfCar car("default.mur", nullptr);
    car.SetConfigName(name.toStdString());
    const QString path = QDir(folder).filePath(name + QStringLiteral(".vap"));
    EXPECT_TRUE(car.SaveToFile(path.toStdString(), 0));
    return path;
}

bool BuiltLibraryExists()
{
    return QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/libSerNoxDL.so"));
}

// Started elsewhere than a main folder with a template installed: works in the user's
// folder made from it, opens the file of its command line after the start and the file a
// second copy hands over; a file that cannot be handed over is told.
TEST(InstalledStart, UserFolderFromTheTemplateAndFilesFromTheCommandLineAndASecondCopy)
{
    if (!BuiltLibraryExists())
        GTEST_SKIP() << "the link library is not built beside the tests";
    LinkEnvironment environment;
    WorkFolder work(false);
    const QString templateFolder = work.Path() + QStringLiteral("/share/vapora");
    QDir().mkpath(templateFolder + QStringLiteral("/Configurazioni"));
    QString error;
    ASSERT_TRUE(WriteDictionary(templateFolder + QStringLiteral("/DizVapora.dbf"),
                                {QStringLiteral("IDENTIF"), QStringLiteral("ITALIANO"), QStringLiteral("ENGLISH")},
                                MainDictionaryRows(), &error))
        << error.toStdString();
    const QString first = ConfigurationFile(work.Path() + QStringLiteral("/in"), QStringLiteral("Prima"));
    const QString second = ConfigurationFile(work.Path() + QStringLiteral("/in"), QStringLiteral("Seconda"));
    const QString userFolder = work.Path() + QStringLiteral("/data/Vapora");

    ScriptedDialogs dialogs;
    FakeClock clock;
    ProgramOptions options;
    options.instanceName = UniqueName();
    options.settingsKey = QStringLiteral("Murazzoni\\VaporaInstalledTest");
    options.templateFolder = templateFolder;
    options.userFolder = userFolder;
    options.files = {first};
    Program program(dialogs, clock, options);
    ASSERT_EQ(program.Start(), Program::Outcome::Started);
    EXPECT_EQ(QDir::currentPath(), userFolder);
    EXPECT_TRUE(QFile::exists(userFolder + QStringLiteral("/DizVapora.dbf")));
    EXPECT_TRUE(QFile::exists(userFolder + QStringLiteral("/") + QString::fromLatin1(kTemplateManifest)));

    TFormMain* form = program.MainForm();
    ConfCar& car = *program.Context().car;
    EXPECT_NE(car.GetConfigName(), "Prima") << "not before the start is over";
    form->show();
    for (int i = 0; i < 200 && car.GetConfigName() != "Prima"; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(form->ShowHandled());
    EXPECT_EQ(car.GetConfigName(), "Prima");
    EXPECT_EQ(program.Context().mainFolder, userFolder);

    ScriptedDialogs secondDialogs;
    ProgramOptions again = options;
    again.files = {second};
    {
        Program copy(secondDialogs, clock, again);
        EXPECT_EQ(copy.Start(), Program::Outcome::SecondCopy);
    }
    for (int i = 0; i < 200 && car.GetConfigName() != "Seconda"; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(car.GetConfigName(), "Seconda") << "handed over and opened by the running copy";
    EXPECT_TRUE(secondDialogs.messages.empty());

    form->close();
}

// A running copy that takes no request (hung): the second copy withdraws its request
// after a while and says the file did not reach it.
TEST(InstalledStart, AFileThatCannotBeHandedOverIsTold)
{
    WorkFolder work;
    const QString name = UniqueName();
    const QString user = qEnvironmentVariable("USER").isEmpty() ? name : name + "-" + qEnvironmentVariable("USER");
    QLockFile hung(QDir::temp().filePath(user + QStringLiteral(".lock")));
    ASSERT_TRUE(hung.tryLock(0));
    const QString requests = QDir::temp().filePath(user + QStringLiteral(".requests"));
    ASSERT_TRUE(QDir().mkpath(requests));

    ScriptedDialogs dialogs;
    FakeClock clock;
    ProgramOptions options;
    options.instanceName = name;
    options.files = {work.Path() + QStringLiteral("/Auto.vap")};
    {
        Program copy(dialogs, clock, options);
        EXPECT_EQ(copy.Start(), Program::Outcome::SecondCopy);
    }
    EXPECT_GE(clock.now, SingleInstance::kForwardTimeoutMs);
    EXPECT_TRUE(QDir(requests).isEmpty()) << "the request is withdrawn";
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(options.files[0])) << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.contains("non ha potuto ricevere il file"));
    QDir(requests).removeRecursively();
}

} // namespace
